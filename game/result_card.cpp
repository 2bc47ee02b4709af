#include "result_card.h"

#include <algorithm>
#include <cmath>

namespace game {

ResultCard::ResultCard(const LookBack& lookBack, const Practice& practice, Now now)
    : lookBack_(lookBack), practice_(practice), now_(std::move(now))
{
}

void ResultCard::read(const Outcome& outcome)
{
    using Kind = Outcome::Kind;
    switch (outcome.kind) {
    case Kind::Started:
        card_.reset();
        course_ = outcome.course;
        right_ = wrong_ = fell_ = 0;
        return;
    case Kind::Right: ++right_; return;
    case Kind::Wrong: ++wrong_; return;
    case Kind::Missed: ++fell_; return;
    case Kind::Over: break;
    case Kind::Nothing:
    case Kind::Moved:
    case Kind::Second:
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
    if (now_)
        c.when = now_();
    const std::vector<LookBack::Line>& lines = lookBack_.lines();
    c.missedCount = static_cast<int>(lines.size());
    for (std::size_t i = 0; i < std::min(lines.size(), Card::kMaxMissed); ++i)
        c.missed.push_back(lines[i].first.sum);
    card_ = std::move(c);
}

void ResultCard::setNumber(int number)
{
    number_ = std::clamp(number, 0, Card::kMaxNumber);
    if (card_)
        card_->number = number_;
}

}  // namespace game
