// The game window as a child plays it, from the window's load to the end of
// the program: the rules of the game (Form1) and, beside them, what the game
// adds around its rules: a teacher's courses, the sounds that answer its
// moments, the sound toggle, the pause, and the look back at the sums a
// child missed. None of it changes a rule: the rules say what each click and
// tick did, and the session answers that outcome in one place; a pause holds
// the window's timers and hides the sums until the child goes on. Both
// editions drive the game window through this.
#pragma once

#include "cue.h"
#include "form1.h"
#include "outcome.h"
#include "practice.h"
#include "sums.h"

#include "forms/form_logic.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace game {

// What the end of a game sounds like for its points a minute: the lowest
// verdicts, the middling ones, the top ones.
Cue endCue(Integer perMinute);

class Session final : public forms::FormLogic {
public:
    // Hears each cue while the sound is on.
    using Listener = std::function<void(Cue)>;

    Session(RandomSource& random, bool soundOn, Listener listener = {}, Practice practice = {});

    forms::FormModel& model() override { return rules_.model(); }
    const forms::FormModel& model() const { return rules_.model(); }
    void load() override;
    void click(ControlId control) override;
    void tick(ControlId timer) override;
    // A window out of sight pauses its game, which waits for the child.
    void hidden() override;

    const Form1& rules() const { return rules_; }
    const Practice& practice() const { return practice_; }
    Phase phase() const { return paused_ ? Phase::Paused : rules_.phase(); }
    bool soundOn() const { return soundOn_; }

    // A sum the child missed in the last game: answered wrongly (with the
    // first value given) or fallen to the bottom unanswered.
    struct Miss {
        Sum sum;
        bool fell = false;
        double given = 0;
    };
    const std::vector<Miss>& missed() const { return missed_; }
    bool reviewing() const { return reviewing_; }
    // The line of the list for a miss: "7 + 5 = 12　（こたえた 13）".
    static std::string missText(const Miss& miss);

    // The controls the game adds beside the design.
    struct Controls {
        ControlId oto;             // the sound toggle
        ControlId yasumi;          // the pause toggle
        ControlId tsuzukeru;       // "go on", shown while paused
        ControlId yasumihyouji;    // the pause's message
        ControlId minaoshi;        // opens the list of missed sums
        ControlId minaoshihyouji;  // the list's heading
        std::array<ControlId, 9> machigai;  // its lines, 1 to 8
        ControlId mae, tsugi;      // its pages
        ControlId mouichido;       // plays the missed sums again
        ControlId tojiru;          // closes the list
        ControlId shirase;         // what a screen reader is told of the game
    };
    const Controls& controls() const { return c_; }
    static constexpr int kLinesPerPage = 8;
    // Names of controls the session or its rules asked for that the
    // window's table lacks.
    std::vector<std::string> unresolvedNames() const;

private:
    void answer(const Outcome& outcome);
    void setPaused(bool paused);
    void setSoundOn(bool on);
    void hear(Cue cue) const;
    void showReview(bool open);
    void say(std::string_view words);
    // A new sum in column n: its answers named for a screen reader, and said.
    void newSum(int n);
    void showPage(int page);
    void playAgain();

    Practice practice_;
    std::optional<CourseSums> courseSums_;
    std::optional<ReviewSums> again_;  // while the missed sums are played again
    Form1 rules_;
    Listener listener_;
    bool soundOn_;
    bool paused_ = false;
    bool reviewing_ = false;
    int page_ = 0;
    Controls c_;
    std::vector<ControlId> sums_;  // the sums, their written calculations and their answers
    std::vector<Miss> missed_;
    std::array<bool, 4> listed_{};  // problem n's sum on screen is already in the list
    std::vector<std::string> unresolved_;
};

}  // namespace game
