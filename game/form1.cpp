#include "form1.h"

#include "course.h"
#include "form1_table.h"

#include "forms/names.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace game {

namespace colours = forms::colours;

std::string_view evaluation(Integer lastscore)
{
    struct Band {
        Integer below;
        std::string_view message;
    };
    static constexpr std::array<Band, 10> kBands{{
        {10, "どうした？"},
        {20, "がんばれ!　がんばれ!"},
        {30, "まだ まだ!"},
        {40, "もう ひとがんばり!"},
        {50, "もっと　がんばれるぞ!"},
        {60, "なかなか　やるなあ!"},
        {70, "おっ!　これは？"},
        {80, "これは　きたいできるぞ!"},
        {90, "もうすこしで　たつじん　じゃ!"},
        {100, "きみは　計算の　たつじん!"},
    }};
    for (const Band& band : kBands) {
        if (lastscore < band.below)
            return band.message;
    }
    return "先生も　まいった!!";
}

Form1::Form1(RandomSource& random, Settings settings)
    : model_(form1Table()), random_(random), settings_(settings)
{
    settings_.courses = std::clamp(settings_.courses, 1, 6);
    forms::Names name(model_.spec());
    static constexpr std::array<std::string_view, 5> kTimers{"", "Timer1", "Timer2", "Timer3", "Timer4"};
    static constexpr std::array<std::string_view, 4> kKotae{"", "kotae1", "kotae2", "kotae3"};
    static constexpr std::array<std::string_view, 4> kHissan{"", "hissan1", "hissan2", "hissan3"};
    static constexpr std::array<std::string_view, 4> kKigou{"", "kigou1", "kigou2", "kigou3"};
    for (int t = 1; t <= 4; ++t)
        c_.timer[t] = name(kTimers[t]);
    for (int n = 1; n <= 3; ++n) {
        c_.mondai[n] = name("mondai", n);
        c_.kigou[n] = name(kKigou[n]);
        for (int k = 1; k <= 3; ++k)
            c_.kotae[n][k] = name(kKotae[n], k);
        for (int row = 1; row <= 2; ++row)
            c_.hissan[n][row] = name(kHissan[n], row);
    }
    for (int k = 1; k <= 6; ++k) {
        c_.rebel[k] = name("rebel", k);
        c_.label1[k - 1] = name("Label1", k - 1);
    }
    c_.tokuten = name("tokuten");
    c_.seigenjikan = name("seigenjikan");
    c_.hyouka = name("hyouka");
    c_.kirokuhyouji = name("kirokuhyouji");
    for (int d = 0; d <= 9; ++d)
        c_.suuji[static_cast<std::size_t>(d)] = name("suuji", d);
    c_.kesu = name("kesu");
    c_.okuru = name("okuru");
    c_.nyuuryoku = name("nyuuryoku");
    unresolved_ = name.missing();
}

// --- Events -----------------------------------------------------------------

void Form1::load()
{
    fallSpeedDraws();
    model_.setCaption(c_.tokuten, "0");
    v_.timeleft = settings_.seconds;
    if (settings_.seconds != 60)
        model_.setCaption(c_.seigenjikan, numberText(v_.timeleft));
    if (settings_.typed)
        showPad();
    setAnswerButtons(false);
    // A teacher's link may give fewer courses than the six animals.
    for (int k = settings_.courses + 1; k <= 6; ++k) {
        model_.setVisible(c_.rebel[k], false);
        model_.setVisible(c_.label1[k - 1], false);
    }
}

Integer Form1::perMinute(Integer score) const
{
    return saturate(static_cast<long long>(score) * 60 / settings_.seconds);
}

int Form1::paceInterval(Integer speed) const
{
    if (settings_.pace == 1)
        return mul(speed, kPaceUnit);
    return static_cast<int>(std::lround(speed * kPaceUnit / settings_.pace));
}

Outcome Form1::click(ControlId control)
{
    if (!model_.clickable(control))
        return {};
    for (int k = 1; k <= 6; ++k) {
        if (c_.rebel[k] == control)
            return rebelClick(k);
    }
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k) {
            if (c_.kotae[n][k] == control)
                return kotaeClick(n, k);
        }
    }
    for (int d = 0; d <= 9; ++d) {
        if (c_.suuji[static_cast<std::size_t>(d)] == control)
            return suujiClick(d);
    }
    if (control == c_.kesu)
        return kesuClick();
    return control == c_.okuru ? okuruClick() : Outcome{};
}

Outcome Form1::tick(ControlId timer)
{
    for (int t = 1; t <= 4; ++t) {
        if (c_.timer[t] == timer && model_[timer].enabled)
            return timerTick(t);
    }
    return {};
}

Outcome Form1::rebelClick(int k)
{
    if (k < 1 || k > 6)
        return {};
    return start(k, courseSums_);
}

Outcome Form1::replay(SumSource& sums)
{
    if (v_.level < 1 || v_.level > 6 || phase_ == Phase::Playing)
        return {};
    return start(v_.level, &sums);
}

Outcome Form1::start(int k, SumSource* sums)
{
    sums_ = sums;
    syokika();
    for (int t = 1; t <= 4; ++t)
        model_.setEnabled(c_.timer[t], true);
    v_.level = static_cast<Integer>(k);

    for (v_.i = 1; v_.i <= 6; ++v_.i)
        model_.setVisible(c_.rebel[v_.i], false);
    model_.setVisible(c_.rebel[k], true);
    model_.setEnabled(c_.rebel[k], false);

    for (v_.i = 1; v_.i <= 6; ++v_.i) {
        model_.setBack(c_.rebel[v_.i], colours::white);
        model_.setFore(c_.label1[v_.i - 1], colours::white);
    }
    model_.setBack(c_.rebel[k], colours::lightGreen);
    model_.setFore(c_.label1[k - 1], colours::black);

    answeredAt_ = model_.timersTime();
    siki(1);
    siki(2);
    siki(3);
    phase_ = Phase::Playing;
    return {.kind = Outcome::Kind::Started, .course = k, .score = v_.score};
}

Outcome Form1::timerTick(int t)
{
    if (t == 4) {
        v_.timeleft = sub(v_.timeleft, 1);
        model_.setCaption(c_.seigenjikan, numberText(v_.timeleft));
        if (v_.timeleft > 0)
            return {.kind = Outcome::Kind::Second, .score = v_.score, .seconds = v_.timeleft};
        return endGame();
    }
    if (!isProblem(t))
        return {};
    const ControlId mondai = c_.mondai[t];
    model_.setTop(mondai, model_[mondai].top + 1.0f);
    if (model_[mondai].top > kFastDropLine)
        model_.setInterval(c_.timer[t], kFastInterval);
    if (model_[mondai].top > kBottomLine) {
        const Sum missed = shown_[static_cast<std::size_t>(t)].sum;
        model_.setTop(mondai, kStartTop);
        siki(t);
        drawPace(t);
        return {.kind = Outcome::Kind::Missed, .problem = t, .score = v_.score, .sum = missed};
    }
    return {.kind = Outcome::Kind::Moved, .problem = t, .score = v_.score};
}

Outcome Form1::stop()
{
    return phase_ == Phase::Playing ? endGame() : Outcome{};
}

// --- The game cycle -----------------------------------------------------------

void Form1::syokika()
{
    fallSpeedDraws();
    v_.score = 0;
    model_.setCaption(c_.tokuten, numberText(v_.score));
    v_.timeleft = settings_.seconds;
    model_.setCaption(c_.seigenjikan, numberText(v_.timeleft));
    for (int n = 1; n <= 3; ++n)
        model_.setTop(c_.mondai[n], kStartTop);
    setAnswerButtons(true);
    model_.setCaption(c_.hyouka, "");
}

Outcome Form1::endGame()
{
    for (int t = 1; t <= 4; ++t)
        model_.setEnabled(c_.timer[t], false);
    for (v_.i = 1; v_.i <= settings_.courses; ++v_.i)
        model_.setVisible(c_.rebel[v_.i], true);
    if (v_.level >= 1 && v_.level <= 6)
        model_.setEnabled(c_.rebel[v_.level], true);
    setAnswerButtons(false);

    v_.lastscore = v_.score;
    const Integer shown = v_.lastscore > v_.record ? v_.lastscore : v_.record;
    model_.setCaption(c_.kirokuhyouji, numberText(shown));
    v_.record = shown;

    model_.setCaption(c_.hyouka, evaluation(perMinute(v_.lastscore)));
    phase_ = Phase::Over;
    return {.kind = Outcome::Kind::Over, .score = v_.lastscore, .seconds = v_.timeleft, .record = v_.record,
            .perMinute = perMinute(v_.lastscore)};
}

void Form1::setAnswerButtons(bool enabled)
{
    for (v_.i = 1; v_.i <= 3; ++v_.i) {
        model_.setEnabled(c_.kotae[1][v_.i], enabled);
        model_.setEnabled(c_.kotae[2][v_.i], enabled);
        model_.setEnabled(c_.kotae[3][v_.i], enabled);
    }
    for (const ControlId key : c_.suuji)
        model_.setEnabled(key, enabled);
    model_.setEnabled(c_.kesu, enabled);
    model_.setEnabled(c_.okuru, enabled);
    setTyped({});
}

// The three paces of a game's start, after a single re-seed.
void Form1::fallSpeedDraws()
{
    random_.reseed();
    for (int n = 1; n <= 3; ++n) {
        v_.speed = saturate(drawWhole(1, 3, random_.next()));
        model_.setInterval(c_.timer[n], paceInterval(v_.speed));
    }
}

void Form1::drawPace(int n)
{
    random_.reseed();
    v_.speed = saturate(drawWhole(1, 3, random_.next()));
    model_.setInterval(c_.timer[n], paceInterval(v_.speed));
}

// --- The problem generator ----------------------------------------------------

void Form1::siki(int n)
{
    if (!isProblem(n) || v_.level < 1 || v_.level > 6)
        return;
    if (sums_)
        return placeDrawn(n, sums_->draw(v_.level, random_));

    random_.reseed();
    v_.kind = saturate(drawWhole(1, 2, random_.next()));

    random_.reseed();
    bool subtraction = false;
    drawOperands(n, subtraction);
    v_.answer[n] = subtraction ? sub(v_.num1[n], v_.num2[n]) : add(v_.num1[n], v_.num2[n]);

    placeSum(n, {v_.num1[n], v_.num2[n], subtraction ? Op::Minus : Op::Plus, v_.answer[n]});
    narabikae();
    placeValue(n, v_.slot1, {v_.answer[n]});
    placeWrongValue(n, v_.slot2);
    placeWrongValue(n, v_.slot3);
}

// A sum from another source, put on the screen as the animals' are.
void Form1::placeDrawn(int n, const Drawn& drawn)
{
    placeSum(n, drawn.sum);
    narabikae();
    placeValue(n, v_.slot1, drawn.sum.result());
    placeValue(n, v_.slot2, drawn.wrong[0]);
    placeValue(n, v_.slot3, drawn.wrong[1]);
}

// Problem n shows `sum`: its label, its written calculation and its sign.
void Form1::placeSum(int n, const Sum& sum)
{
    v_.num1[n] = sum.num1;
    v_.num2[n] = sum.num2;
    v_.answer[n] = sum.answer;
    Written written = writtenOf(sum);
    v_.sign = std::move(written.sign);
    shown_[static_cast<std::size_t>(n)].sum = sum;
    shownAt_[static_cast<std::size_t>(n)] = model_.timersTime();
    spoiled_[static_cast<std::size_t>(n)] = false;
    model_.setCaption(c_.mondai[n], sumText(sum));
    model_.setCaption(c_.hissan[n][1], written.top);
    model_.setCaption(c_.hissan[n][2], written.bottom);
    model_.setCaption(c_.kigou[n], v_.sign);
}

void Form1::placeValue(int n, Integer slot, Answer value)
{
    shown_[static_cast<std::size_t>(n)].values[static_cast<std::size_t>(slot)] = value;
    model_.setCaption(c_.kotae[n][slot], answerText(value));
}

void Form1::drawOperands(int n, bool& subtraction)
{
    auto whole = [this](int c, double k) { return saturate(drawWhole(c, k, random_.next())); };
    Integer& a = v_.num1[n];
    Integer& b = v_.num2[n];
    const bool second = v_.kind == 2;
    subtraction = second && v_.level != 1;

    switch (v_.level) {
    case 1:
        a = whole(1, 9);
        b = whole(1, 9);
        break;
    case 2:
        if (!second) {
            a = whole(1, 9);
            b = whole(1, 9);
        } else {
            a = whole(5, 5);
            b = whole(0, a);
        }
        break;
    case 3:
        a = whole(10, 50);
        b = whole(1, 9);
        break;
    case 4: {
        // Digits 1 to 8 in both columns, so that the second operand's digits
        // can be chosen to need no carry and no borrow.
        v_.tens = whole(1, 8);
        v_.ones = whole(1, 8);
        a = add(mul(10, v_.tens), v_.ones);
        const Integer onesRange = second ? v_.ones : sub(9, v_.ones);
        const Integer tensRange = second ? v_.tens : sub(9, v_.tens);
        const Integer unitsDigit = whole(1, onesRange);
        const Integer tensDigit = whole(1, tensRange);
        b = add(unitsDigit, mul(10, tensDigit));
        break;
    }
    case 5:
        if (!second) {
            a = whole(10, 40);
            b = whole(10, 40);
        } else {
            a = whole(20, 70);
            b = whole(10, 10);
        }
        break;
    default:  // 6
        if (!second) {
            a = whole(1, 90);
            b = whole(1, sub(99, a));
        } else {
            a = whole(20, 70);
            b = whole(1, a);
        }
        break;
    }
}

void Form1::placeWrongValue(int n, Integer slot)
{
    const double s = pm();
    const int d = drawWhole(1, 10, random_.next());
    v_.wrong = v_.answer[n] + s * d;
    if (v_.wrong < 0)
        v_.wrong = -v_.wrong;
    placeValue(n, slot, {saturate(std::llround(v_.wrong))});
}

double Form1::pm()
{
    random_.reseed();
    v_.i = saturate(drawWhole(1, 10, random_.next()));
    return v_.i < 5 ? -1.0 : 1.0;
}

void Form1::narabikae()
{
    static constexpr std::array<std::array<Integer, 3>, 7> kArrangements{{
        {0, 0, 0},
        {1, 2, 3},
        {1, 3, 2},
        {2, 1, 3},
        {2, 3, 1},
        {3, 1, 2},
        {3, 2, 1},
    }};
    random_.reseed();
    const int c = drawWhole(1, 6, random_.next());
    const auto& row = kArrangements[static_cast<std::size_t>(c)];
    v_.slot1 = row[0];
    v_.slot2 = row[1];
    v_.slot3 = row[2];
}

}  // namespace game
