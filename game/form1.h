// The game window's rules: its state, the cycle of a game, the problem
// generator, the falling sums and the judging of answers. Everything here
// is driven by events (load, clicks, timer ticks), writes its results into
// the window's control model, and says what each event did.
#pragma once

#include "integer.h"
#include "outcome.h"
#include "random.h"
#include "sums.h"

#include "forms/form_model.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace game {

using forms::ControlId;

// The one-line verdict on a final score.
std::string_view evaluation(Integer lastscore);

// What a teacher's link may change of every game: its length, the pace of
// the falling sums, how many courses there are, the line past which a
// right answer is slow, whether a wrong answer keeps the score, and
// whether the answers are typed on a number pad. The defaults are the
// design's.
struct GameSettings {
    Integer seconds = 60;
    double pace = 1;
    int courses = 6;
    int slowMillis = 3000;
    bool keepScore = false;  // a wrong answer costs only its sum's points
    bool typed = false;      // answer=type: no answer buttons, a number pad
};

class Form1 final {
public:
    using Settings = GameSettings;

    explicit Form1(RandomSource& random, Settings settings = {});

    // Where the sums of a course's games are drawn: a teacher's courses, or
    // none for the animals' own.
    void setCourseSums(SumSource* sums) { courseSums_ = sums; }
    const Settings& settings() const { return settings_; }
    // A score as points a minute, by which the verdict judges a game of any
    // length.
    Integer perMinute(Integer score) const;

    forms::FormModel& model() { return model_; }
    const forms::FormModel& model() const { return model_; }
    Phase phase() const { return phase_; }

    // Events. A click on a control that takes no click, or a tick of a
    // stopped timer, does nothing.
    void load();
    Outcome click(ControlId control);
    Outcome tick(ControlId timer);

    Outcome rebelClick(int k);
    // A game of the last course chosen on these sums alone (the sums a
    // child missed, played again); nothing before a course was chosen.
    Outcome replay(SumSource& sums);
    Outcome kotaeClick(int n, int k);  // button k of the answers of problem n
    // A typed game's pad: digit d typed, the last digit deleted, the
    // number sent. The number answers the lowest sum whose result it is.
    Outcome suujiClick(int d);
    Outcome kesuClick();
    Outcome okuruClick();
    // The digits typed and not yet sent.
    const std::string& typed() const { return typed_; }
    Outcome timerTick(int t);          // Timer1 .. Timer4
    // Ends the game now, as its last second would: a game played again
    // ends once every sum of it is done. Nothing when no game runs.
    Outcome stop();

    // Methods the handlers call.
    void syokika();
    void siki(int n);
    double pm();
    void narabikae();

    // The window's variables. Arrays are indexed 1 to 3; element 0 is unused.
    struct Variables {
        Integer speed = 0;
        std::array<Integer, 4> num1{};
        std::array<Integer, 4> num2{};
        std::array<Integer, 4> answer{};
        Integer i = 0;
        Integer slot1 = 0, slot2 = 0, slot3 = 0;
        Integer score = 0;
        Integer level = 0;
        Integer timeleft = 0;
        Integer kind = 0;
        Integer tens = 0, ones = 0;
        double wrong = 0;
        Integer lastscore = 0;
        Integer record = 0;
        std::string sign;
    };
    const Variables& vars() const { return v_; }

    // Controls by their names.
    struct Controls {
        std::array<ControlId, 5> timer{};      // Timer1 .. Timer4
        std::array<ControlId, 4> mondai{};     // 1 .. 3
        std::array<std::array<ControlId, 4>, 4> kotae{};  // [problem][button], 1 .. 3
        std::array<std::array<ControlId, 3>, 4> hissan{}; // [problem][row], 1 .. 2
        std::array<ControlId, 4> kigou{};      // 1 .. 3
        std::array<ControlId, 7> rebel{};      // 1 .. 6
        std::array<ControlId, 6> label1{};     // 0 .. 5
        ControlId tokuten, seigenjikan, hyouka, kirokuhyouji;
        std::array<ControlId, 10> suuji{};     // 0 .. 9, a typed game's pad
        ControlId kesu, okuru, nyuuryoku;
    };
    const Controls& controls() const { return c_; }

    // What problem n shows: its sum and the value on each of its answer
    // buttons (1 to 3), as the rules put them there.
    struct Shown {
        Sum sum;
        std::array<Answer, 4> values{};
    };
    const Shown& shown(int n) const { return shown_[static_cast<std::size_t>(isProblem(n) ? n : 0)]; }
    // Names of controls the rules asked for that the window's table lacks.
    const std::vector<std::string>& unresolvedNames() const { return unresolved_; }

    static constexpr float kStartTop = 19;
    static constexpr float kFastDropLine = 300;
    static constexpr float kBottomLine = 500;
    static constexpr int kFastInterval = 1;
    static constexpr int kPaceUnit = 10;

private:
    static bool isProblem(int n) { return n >= 1 && n <= 3; }
    void fallSpeedDraws();
    void drawPace(int n);
    void drawOperands(int n, bool& subtraction);
    void placeWrongValue(int n, Integer slot);
    void placeDrawn(int n, const Drawn& drawn);
    void placeSum(int n, const Sum& sum);
    void placeValue(int n, Integer slot, Answer value);
    Outcome start(int k, SumSource* sums);
    int paceInterval(Integer speed) const;
    void setAnswerButtons(bool enabled);
    void showPad();
    Outcome endGame();
    // The answer `given` to problem n, right or not, with the game's rules.
    Outcome judged(int n, Answer given, bool right);
    Outcome typedOutcome(int digit);
    void setTyped(std::string digits);

    forms::FormModel model_;
    RandomSource& random_;
    Settings settings_;
    SumSource* courseSums_ = nullptr;
    SumSource* sums_ = nullptr;  // this game's
    Variables v_;
    Controls c_;
    std::vector<std::string> unresolved_;
    Phase phase_ = Phase::Rest;
    std::array<Shown, 4> shown_{};  // what each problem shows, 1 .. 3
    // When each problem's sum appeared and when the last answer was given,
    // in the timers' time: a sum is timed from the later of the two.
    std::array<std::int64_t, 4> shownAt_{};
    std::int64_t answeredAt_ = 0;
    std::array<bool, 4> spoiled_{};  // answered wrongly: earns nothing more (miss=keep)
    std::string typed_;              // the digits typed and not yet sent (answer=type)
};

}  // namespace game
