// The game window as a child plays it, from the window's load to the end of
// the program: the rules of the game (Form1) and, beside them, what the game
// adds around its rules. None of it changes a rule: the rules say what each
// click and tick did, and the session hands that outcome to its readers,
// one room each: the sounds (cues), what a screen reader is told
// (announcer), the look back and its replay (look_back), the result card
// (result_card), a teacher's sums coming back (sums). The session itself keeps the sound toggle and the
// pause, which holds the window's timers and hides the sums until the child
// goes on. Both editions drive the game window through this.
#pragma once

#include "announcer.h"
#include "cues.h"
#include "form1.h"
#include "look_back.h"
#include "outcome.h"
#include "practice.h"
#include "result_card.h"
#include "sums.h"

#include "forms/form_logic.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace game {

class Session final : public forms::FormLogic {
public:
    // Hears each cue while the sound is on.
    using Listener = Cues::Listener;
    using Miss = LookBack::Miss;

    Session(RandomSource& random, bool soundOn, Listener listener = {}, Practice practice = {}, ResultCard::Now now = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

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

    bool reviewing() const { return lookBack_.reviewing(); }
    const std::vector<LookBack::Line>& lines() const { return lookBack_.lines(); }
    const std::vector<LookBack::Line>& slowLines() const { return lookBack_.slowLines(); }
    static std::string missText(const Miss& miss) { return LookBack::missText(miss); }
    // The result card of the last game, and the child's number on it.
    ResultCard& resultCard() { return resultCard_; }
    const ResultCard& resultCard() const { return resultCard_; }

    // The controls the game adds beside the design.
    struct Controls : LookBack::Controls, ResultCard::Controls {
        ControlId oto;           // the sound toggle
        ControlId yasumi;        // the pause toggle
        ControlId tsuzukeru;     // "go on", shown while paused
        ControlId yasumihyouji;  // the pause's message
        ControlId shirase;       // what a screen reader is told of the game
    };
    const Controls& controls() const { return c_; }
    static constexpr int kLinesPerPage = LookBack::kLinesPerPage;
    // Names of controls the session or its rules asked for that the
    // window's table lacks.
    std::vector<std::string> unresolvedNames() const;

private:
    void answer(const Outcome& outcome);
    void setPaused(bool paused);
    void setSoundOn(bool on);

    Practice practice_;
    std::optional<CourseSums> courseSums_;
    Form1 rules_;
    bool soundOn_;
    bool paused_ = false;
    std::vector<std::string> unresolved_;
    std::vector<ControlId> sums_;  // the sums, their written calculations and their answers
    std::vector<ControlId> underList_, underCard_;  // and the other's button, under the list and the card
    Controls c_;
    Cues cues_;
    Announcer announcer_;
    LookBack lookBack_;
    ResultCard resultCard_;
    // Who hears each outcome, in turn; the last, a teacher's course sums,
    // when there are any.
    std::array<OutcomeReader*, 5> readers_{&cues_, &announcer_, &lookBack_, &resultCard_, nullptr};
};

}  // namespace game
