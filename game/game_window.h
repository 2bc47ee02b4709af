// The game window as a child plays it: the rules of the game (Form1) and,
// beside them, what the game adds around its rules: the sounds that answer
// its moments, the sound toggle and the pause. None of it changes a rule: a
// sound reacts to an event the rules have just handled, and a pause holds
// the window's timers and hides the sums until the child goes on.
#pragma once

#include "cue.h"
#include "form1.h"

#include <functional>
#include <vector>

namespace game {

// What the end of a game sounds like for a final score: the lowest
// verdicts, the middling ones, the top ones.
Cue endCue(Integer lastscore);

class GameWindow final : public screens::FormLogic {
public:
    // Hears each cue while the sound is on.
    using Listener = std::function<void(Cue)>;

    GameWindow(RandomSource& random, bool soundOn, Listener listener = {});

    screens::FormModel& model() override { return rules_.model(); }
    const screens::FormModel& model() const { return rules_.model(); }
    void load() override;
    void click(ControlId control) override;
    void tick(ControlId timer) override;
    // A window out of sight pauses its game, which waits for the child.
    void hidden() override;

    const Form1& rules() const { return rules_; }
    bool playing() const;
    bool paused() const { return paused_; }
    bool soundOn() const { return soundOn_; }

    struct Controls {
        ControlId oto, yasumi, tsuzukeru, yasumihyouji;
    };
    const Controls& controls() const { return c_; }

private:
    void setPaused(bool paused);
    void setSoundOn(bool on);
    void hear(Cue cue) const;
    void showToggles();

    Form1 rules_;
    Listener listener_;
    bool soundOn_;
    bool paused_ = false;
    Controls c_;
    std::vector<ControlId> covered_;  // what a pause hides: the sums and their answers
};

}  // namespace game
