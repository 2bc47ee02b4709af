#include "sums.h"

#include <algorithm>

namespace game {

using Kind = Course::Kind;

std::array<Integer, 2> nearMisses(const Sum& sum, RandomSource& random)
{
    std::vector<Integer> candidates;
    const auto offer = [&](long long value) {
        const Integer v = saturate(value);
        if (value >= 0 && v != sum.answer && std::find(candidates.begin(), candidates.end(), v) == candidates.end())
            candidates.push_back(v);
    };
    random.reseed();
    if (sum.op == Op::Times) {
        const long long d = sum.num1, m = sum.num2;
        for (const long long v : {d * (m - 1), d * (m + 1), (d - 1) * m, (d + 1) * m}) {
            if (v > 0)
                offer(v);
        }
        if (candidates.size() < 2)
            offer(0);  // 1 × 1 has one product near it: 0 is the other a child may say
        const int n = static_cast<int>(candidates.size());
        const int first = drawWhole(0, n, random.next());
        int second = drawWhole(0, n - 1, random.next());
        second += second >= first;
        return {candidates[static_cast<std::size_t>(first)], candidates[static_cast<std::size_t>(second)]};
    }
    // The design's near misses, drawn again while one would repeat the
    // result or the other; then the nearest free values.
    for (int tries = 0; tries < 16 && candidates.size() < 2; ++tries) {
        const double s = drawWhole(1, 10, random.next()) < 5 ? -1.0 : 1.0;
        const int d = drawWhole(1, 10, random.next());
        const long long value = static_cast<long long>(sum.answer + s * d);
        offer(value < 0 ? -value : value);
    }
    for (int d = 1; candidates.size() < 2; ++d)
        offer(sum.answer + d);
    return {candidates[0], candidates[1]};
}

CourseSums::CourseSums(std::vector<Course> courses) : courses_(std::move(courses)), rounds_(courses_.size()) {}

Sum CourseSums::next(std::size_t at, RandomSource& random)
{
    const Course& c = courses_[at];
    if (c.kind == Kind::Times || c.kind == Kind::Divide) {
        std::vector<std::uint8_t>& left = rounds_[at].left;
        if (left.empty()) {
            for (int d = 1; d <= 9; ++d) {
                for (int m = 1; c.hasDan(d) && m <= 9; ++m)
                    left.push_back(static_cast<std::uint8_t>(d * 10 + m));
            }
        }
        const std::size_t pick = static_cast<std::size_t>(drawWhole(0, static_cast<double>(left.size()), random.next()));
        const int d = left[pick] / 10, m = left[pick] % 10;
        left[pick] = left.back();
        left.pop_back();
        if (c.kind == Kind::Times)
            return {static_cast<Integer>(d), static_cast<Integer>(m), Op::Times, static_cast<Integer>(d * m)};
        return {static_cast<Integer>(d * m), static_cast<Integer>(d), Op::Divide, static_cast<Integer>(m)};
    }
    // The k-th of the pairs the course allows, k drawn evenly.
    int k = drawWhole(0, sumCount(c), random.next());
    for (int a = c.from; a <= c.to; ++a) {
        for (int b = c.from; b <= c.to; ++b) {
            if (fits(c, a, b) && k-- == 0) {
                const bool add = c.kind == Kind::Add;
                return {static_cast<Integer>(a), static_cast<Integer>(b), add ? Op::Plus : Op::Minus,
                        static_cast<Integer>(add ? a + b : a - b)};
            }
        }
    }
    return {c.from, c.from, Op::Plus, static_cast<Integer>(c.from + c.from)};  // a course always has a sum (readPractice)
}

Drawn CourseSums::draw(int course, RandomSource& random)
{
    if (courses_.empty())
        return {};
    const std::size_t at = static_cast<std::size_t>(std::clamp(course, 1, static_cast<int>(courses_.size())) - 1);
    random.reseed();
    Drawn d{next(at, random)};
    d.wrong = nearMisses(d.sum, random);
    return d;
}

ReviewSums::ReviewSums(std::vector<Sum> sums) : sums_(std::move(sums)), done_(sums_.size(), false) {}

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
    Drawn d{sums_[at]};
    d.wrong = nearMisses(d.sum, random);
    return d;
}

void ReviewSums::answered(const Sum& sum)
{
    for (std::size_t i = 0; i < sums_.size(); ++i) {
        if (sums_[i] == sum)
            done_[i] = true;
    }
}

bool ReviewSums::allAnswered() const
{
    return std::all_of(done_.begin(), done_.end(), [](bool d) { return d; });
}

}  // namespace game
