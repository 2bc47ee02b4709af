// The game window as a child plays it, from the window's load to the end of
// the program: the rules of the game (Form1) and, beside them, what the game
// adds around its rules: the sounds that answer its moments, the sound
// toggle and the pause. None of it changes a rule: the rules say what each
// click and tick did, and the session answers that outcome in one place; a
// pause holds the window's timers and hides the sums until the child goes on.
// Both editions drive the game window through this.
#pragma once

#include "cue.h"
#include "form1.h"
#include "outcome.h"

#include "forms/form_logic.h"

#include <functional>
#include <string>
#include <vector>

namespace game {

// What the end of a game sounds like for a final score: the lowest
// verdicts, the middling ones, the top ones.
Cue endCue(Integer lastscore);

class Session final : public forms::FormLogic {
public:
    // Hears each cue while the sound is on.
    using Listener = std::function<void(Cue)>;

    Session(RandomSource& random, bool soundOn, Listener listener = {});

    forms::FormModel& model() override { return rules_.model(); }
    const forms::FormModel& model() const { return rules_.model(); }
    void load() override;
    void click(ControlId control) override;
    void tick(ControlId timer) override;
    // A window out of sight pauses its game, which waits for the child.
    void hidden() override;

    const Form1& rules() const { return rules_; }
    Phase phase() const { return paused_ ? Phase::Paused : rules_.phase(); }
    bool soundOn() const { return soundOn_; }

    // The controls the game adds beside the design.
    struct Controls {
        ControlId oto;           // the sound toggle
        ControlId yasumi;        // the pause toggle
        ControlId tsuzukeru;     // "go on", shown while paused
        ControlId yasumihyouji;  // the pause's message
    };
    const Controls& controls() const { return c_; }
    // Names of controls the session or its rules asked for that the
    // window's table lacks.
    std::vector<std::string> unresolvedNames() const;

private:
    void answer(const Outcome& outcome);
    void setPaused(bool paused);
    void setSoundOn(bool on);
    void hear(Cue cue) const;

    Form1 rules_;
    Listener listener_;
    bool soundOn_;
    bool paused_ = false;
    Controls c_;
    std::vector<ControlId> covered_;  // what a pause hides: the sums and their answers
    std::vector<std::string> unresolved_;
};

}  // namespace game
