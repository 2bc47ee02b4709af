#include "sums.h"

#include <algorithm>

namespace game {

Drawn withNearMisses(const Sum& sum, RandomSource& random)
{
    return {sum, kindOf(sum).nearMisses(sum, random)};
}

CourseSums::CourseSums(std::vector<Course> courses, bool again)
    : courses_(std::move(courses)), deals_(courses_.size()), again_(again)
{
}

Drawn CourseSums::draw(int course, RandomSource& random)
{
    if (courses_.empty())
        return {};
    const std::size_t at = static_cast<std::size_t>(std::clamp(course, 1, static_cast<int>(courses_.size())) - 1);
    random.reseed();
    // A missed sum whose turn has come, else the course's next.
    const Sum* back = nullptr;
    for (Again& a : missed_) {
        if (a.fresh) {
            a.fresh = false;
            a.due = drawWhole(3, 3, random.next());
        }
        if (a.due > 0 && --a.due == 0) {
            if (back)
                a.due = 1;  // two at once: this one with the next sum
            else
                back = &a.sum, ++a.times;
        }
    }
    if (back)
        return withNearMisses(*back, random);
    const Course& c = courses_[at];
    return withNearMisses(c.kind->draw(c, deals_[at], random), random);
}

void CourseSums::read(const Outcome& outcome)
{
    using Kind = Outcome::Kind;
    if (outcome.kind == Kind::Started) {
        missed_.clear();
        return;
    }
    // A sum answered wrongly stays on screen and may still be answered
    // right; once it has fallen it is missed, and its turn to come back
    // starts.
    if (!again_ || (outcome.kind != Kind::Right && outcome.kind != Kind::Missed))
        return;
    const auto it = std::find_if(missed_.begin(), missed_.end(), [&](const Again& a) { return a.sum == outcome.sum; });
    if (outcome.kind == Kind::Right && !outcome.slow) {
        if (it != missed_.end())
            missed_.erase(it);
        return;
    }
    Again& a = it != missed_.end() ? *it : missed_.emplace_back(Again{outcome.sum});
    // Waiting already, or back often enough: nothing more.
    if (!a.fresh && a.due == 0 && a.times < kComesBack)
        a.fresh = true;
}

ReviewSums::ReviewSums(std::vector<Again> sums) : sums_(std::move(sums)), done_(sums_.size(), false) {}

Drawn ReviewSums::draw(int, RandomSource& random)
{
    if (sums_.empty())
        return {};
    random.reseed();
    std::size_t at = 0;
    if (allAnswered()) {
        at = static_cast<std::size_t>(drawWhole(0, static_cast<double>(sums_.size()), random.next()));
    } else {
        while (done_[next_ % sums_.size()])
            ++next_;
        at = next_++ % sums_.size();
    }
    return withNearMisses(sums_[at].sum, random);
}

void ReviewSums::answered(const Sum& sum, bool slow)
{
    for (std::size_t i = 0; i < sums_.size(); ++i) {
        if (sums_[i].sum == sum && !(slow && sums_[i].inTime))
            done_[i] = true;
    }
}

bool ReviewSums::allAnswered() const
{
    return std::all_of(done_.begin(), done_.end(), [](bool d) { return d; });
}

}  // namespace game
