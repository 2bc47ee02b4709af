#include "result_card.h"

#include <algorithm>
#include <cmath>

namespace game {
namespace {

// "V778 KMH7 1XDK HFMW QY" said a sign at a time, a group at a time.
std::string spokenCode(std::string_view code)
{
    std::string out;
    for (const char c : code)
        out += c == ' ' ? std::string("、") : joined({out.empty() || out.ends_with("、") ? "" : " ", std::string_view(&c, 1)});  // not drawn
    return out;
}

// The child's number as the card shows it.
std::string numberCaption(int number)
{
    return number == 0 ? std::string("なし") : numberText(number);
}

}  // namespace

ResultCard::ResultCard(Form1& rules, Announcer& announcer, const Controls& controls, std::span<const ControlId> sums,
                       const LookBack& lookBack, const Practice& practice, Now now)
    : rules_(rules), announcer_(announcer), c_(controls), sums_(sums), lookBack_(lookBack), practice_(practice),
      now_(now)
{
}

void ResultCard::read(const Outcome& outcome)
{
    using Kind = Outcome::Kind;
    switch (outcome.kind) {
    case Kind::Started:
        rules_.model().setVisible(c_.kekka, false);
        card_.reset();
        course_ = outcome.course;
        right_ = wrong_ = fell_ = 0;
        times_.clear();
        return;
    case Kind::Right:
        ++right_;
        times_.push_back(outcome.millis);
        return;
    case Kind::Wrong: ++wrong_; return;
    case Kind::Missed: ++fell_; return;
    case Kind::Over: break;
    case Kind::Nothing:
    case Kind::Moved:
    case Kind::Second:
    case Kind::Typed:
        return;
    }
    Card c;
    c.number = number_;
    c.course = std::clamp(course_, 1, 6);
    c.courses = practice_.courses;
    c.link = c.courses.empty() ? 0 : linkMark(c.courses);
    c.points = outcome.score;
    c.perMinute = outcome.perMinute;
    c.right = right_, c.wrong = wrong_, c.fell = fell_;
    c.seconds = practice_.seconds;
    c.pace = static_cast<int>(std::lround(practice_.pace * 100));
    c.typedAnswers = practice_.typed;
    if (now_)
        c.when = now_();
    const auto list = [](const std::vector<LookBack::Line>& lines, std::vector<Sum>& sums, std::vector<int>& times) {
        for (const LookBack::Line& line : lines) {
            sums.push_back(line.first.sum);
            times.push_back(line.count);
        }
        times = tallies(std::move(times));
        return static_cast<int>(lines.size());
    };
    c.missedCount = list(lookBack_.lines(), c.missed, c.missedTimes);
    c.slowCount = list(lookBack_.slowLines(), c.slow, c.slowTimes);
    if (!times_.empty()) {
        // The middle time, or the mean of the middle two.
        std::vector<int> t = times_;
        std::sort(t.begin(), t.end());
        const std::size_t half = t.size() / 2;
        const long long middle = t.size() % 2 ? 2LL * t[half] : static_cast<long long>(t[half - 1]) + t[half];
        c.medianTenths = static_cast<int>(std::min<long long>((middle + 100) / 200, Card::kMaxTenths));
    }
    card_ = fittedToCode(std::move(c));
    rules_.model().setVisible(c_.kekka, true);
}

bool ResultCard::click(ControlId control)
{
    if (control == c_.kekka || control == c_.kekkatojiru)
        show(control == c_.kekka);
    else if (control == c_.bangou[1] || control == c_.bangou[2])
        setNumber((number_ + (control == c_.bangou[2] ? 1 : Card::kMaxNumber)) % (Card::kMaxNumber + 1));
    else
        return false;
    return true;
}

void ResultCard::setNumber(int number)
{
    number_ = std::clamp(number, 0, Card::kMaxNumber);
    if (card_)
        card_->number = number_;
    if (showing_) {
        fill();
        announcer_.say(joined({"ばんごう ", numberCaption(number_)}));  // not drawn
    }
}

std::array<std::string, ResultCard::kLines> ResultCard::lines() const
{
    if (!card_)
        return {};
    const Card& c = *card_;
    return {
        joined({"コース　", courseName(practice_.courses, c.course)}),
        joined({"できた ", numberText(c.right), "もん　1ぷんで ", numberText(rightPerMinute(c)), "もん"}),
        joined({"まちがい ", numberText(c.wrong), "　おちた ", numberText(c.fell), "　得点 ", numberText(c.points), "点"}),
        joined({"まちがえた ", numberText(c.missedCount), "もん　ゆっくり ", numberText(c.slowCount), "もん"}),
        joined({"時間 ", numberText(c.seconds), "　はやさ ", numberText(c.pace), "%　", numberText(c.when.month), "/",
                numberText(c.when.day), " ", numberText(c.when.hour), ":", numberText(c.when.minute, 2)}),
    };
}

// The card takes the place of the sums, their written calculations and
// answers, the countdown, the verdict and the buttons beside the courses;
// the courses stay, and a course closes it.
void ResultCard::show(bool open)
{
    if (open == showing_ || (open && (!card_ || rules_.phase() != Phase::Over)))
        return;
    showing_ = open;
    forms::FormModel& m = rules_.model();
    for (const ControlId id : sums_)
        m.setVisible(id, !open);
    for (const ControlId id : {rules_.controls().seigenjikan, rules_.controls().hyouka, c_.kekka})
        m.setVisible(id, !open);
    for (const ControlId id : {c_.kekkahyouji, c_.bangouhyouji, c_.bangoukazu, c_.bangou[1], c_.bangou[2], c_.kodo, c_.qrkodo, c_.kekkatojiru})
        m.setVisible(id, open);
    for (int k = 1; k <= kLines; ++k)
        m.setVisible(c_.kekkagyou[static_cast<std::size_t>(k)], open);
    if (open) {
        fill();
        const std::array<std::string, kLines> l = lines();
        announcer_.say(joined({"けっか。", l[0], "。", l[1], "。", l[2], "。コード ", spokenCode(shortCode(*card_))}));  // not drawn
    }
}

void ResultCard::fill()
{
    forms::FormModel& m = rules_.model();
    const std::array<std::string, kLines> l = lines();
    for (std::size_t k = 1; k <= kLines; ++k)
        m.setCaption(c_.kekkagyou[k], l[k - 1]);
    m.setCaption(c_.bangoukazu, numberCaption(number_));
    m.setCaption(c_.kodo, shortCode(*card_));
    m.setCaption(c_.qrkodo, cardText(*card_));
}

}  // namespace game
