// The judging of an answer, chosen on a button or typed on the number pad
// (answer=type): both come to one judged answer of a value for a sum.
#include "form1.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace game {

namespace {

// A typed number is at most this many digits, whatever the sums.
constexpr std::size_t kMostDigits = 6;

std::size_t digitsOf(Integer value)
{
    return numberText(value).size();
}

}  // namespace

Outcome Form1::kotaeClick(int n, int k)
{
    if (!isProblem(n) || k < 1 || k > 3)
        return {};
    const Shown& shown = shown_[static_cast<std::size_t>(n)];
    const Answer given = shown.values[static_cast<std::size_t>(k)];
    // The design's sums are judged by their caption read back as a number;
    // a drawn sum by the answer put on the button, which may carry a
    // remainder.
    const bool right = sums_ ? given == shown.sum.result() : captionValue(model_[c_.kotae[n][k]].caption) == v_.answer[n];
    return judged(n, given, right);
}

Outcome Form1::judged(int n, Answer given, bool right)
{
    const Sum answered = shown_[static_cast<std::size_t>(n)].sum;
    // Timed from its appearing, or from the answer before if that came
    // later: a child busy with another sum is not slow on this one.
    const std::int64_t now = model_.timersTime();
    const std::int64_t since = std::max(shownAt_[static_cast<std::size_t>(n)], answeredAt_);
    const auto millis = static_cast<int>(std::clamp<std::int64_t>(now - since, 0, std::numeric_limits<int>::max()));
    answeredAt_ = now;
    if (right) {
        const Integer points = spoiled_[static_cast<std::size_t>(n)] ? 0 : v_.level;
        v_.score = add(v_.score, points);
        model_.setCaption(c_.tokuten, numberText(v_.score));
        model_.setTop(c_.mondai[n], kStartTop);
        drawPace(n);
        siki(n);
        return {.kind = Outcome::Kind::Right, .problem = n, .points = points, .score = v_.score, .sum = answered,
                .millis = millis, .slow = millis > settings_.slowMillis};
    }
    if (settings_.keepScore)
        spoiled_[static_cast<std::size_t>(n)] = true;
    else
        v_.score = 0;
    model_.setCaption(c_.tokuten, numberText(v_.score));
    return {.kind = Outcome::Kind::Wrong, .problem = n, .score = v_.score, .given = given, .sum = answered};
}

// --- A typed game ------------------------------------------------------------

void Form1::showPad()
{
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k)
            model_.setVisible(c_.kotae[n][k], false);
    }
    for (const ControlId key : c_.suuji)
        model_.setVisible(key, true);
    model_.setVisible(c_.kesu, true);
    model_.setVisible(c_.okuru, true);
    model_.setVisible(c_.nyuuryoku, true);
}

void Form1::setTyped(std::string digits)
{
    typed_ = std::move(digits);
    model_.setCaption(c_.nyuuryoku, typed_);
}

Outcome Form1::typedOutcome(int digit)
{
    Integer value = 0;
    std::from_chars(typed_.data(), typed_.data() + typed_.size(), value);
    return {.kind = Outcome::Kind::Typed, .score = v_.score, .given = {value}, .digit = digit,
            .digits = static_cast<int>(typed_.size())};
}

Outcome Form1::suujiClick(int d)
{
    if (!settings_.typed || phase_ != Phase::Playing || d < 0 || d > 9)
        return {};
    // As many digits as the longest result on screen, and no more.
    std::size_t longest = 1;
    for (int n = 1; n <= 3; ++n)
        longest = std::max(longest, digitsOf(shown_[static_cast<std::size_t>(n)].sum.result().value));
    if (typed_.size() >= std::min(longest, kMostDigits))
        return {};
    // A leading nought is the number nought: a second digit replaces it.
    setTyped(typed_ == "0" ? std::to_string(d) : typed_ + static_cast<char>('0' + d));
    const Outcome typed = typedOutcome(d);
    // A number as long as the longest result that answers a sum is sent by
    // itself; nothing is judged before that.
    if (typed_.size() < longest)
        return typed;
    for (int n = 1; n <= 3; ++n) {
        if (shown_[static_cast<std::size_t>(n)].sum.result() == typed.given)
            return okuruClick();
    }
    return typed;
}

Outcome Form1::kesuClick()
{
    if (!settings_.typed || phase_ != Phase::Playing || typed_.empty())
        return {};
    setTyped(typed_.substr(0, typed_.size() - 1));
    return typedOutcome(-1);
}

Outcome Form1::okuruClick()
{
    if (!settings_.typed || phase_ != Phase::Playing || typed_.empty())
        return {};
    const Answer given = typedOutcome(-1).given;
    setTyped({});
    // The sum fallen furthest whose result it is; where none has it, the
    // sum fallen furthest is the one missed.
    int lowest = 0, answered = 0;
    for (int n = 1; n <= 3; ++n) {
        const float top = model_[c_.mondai[n]].top;
        if (lowest == 0 || top > model_[c_.mondai[lowest]].top)
            lowest = n;
        if (shown_[static_cast<std::size_t>(n)].sum.result() == given &&
            (answered == 0 || top > model_[c_.mondai[answered]].top))
            answered = n;
    }
    return answered ? judged(answered, given, true) : judged(lowest, given, false);
}

}  // namespace game
