// What several kinds of course share: the two-number sum's look and words,
// the near misses a result moved by a few gives, and the tables as a
// teacher and a child write them.
#pragma once

#include "game/course.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace game::kinds {

// A sum of two numbers and a sign: "7 + 5", written in a column, said
// "7たす5".
class TwoNumbers : public CourseKind {
public:
    using CourseKind::CourseKind;
    std::string label(const Sum& sum) const override;
    Written written(const Sum& sum) const override;
    std::string said(const Sum& sum) const override;
};

// The result moved by 1 to 10 either way, folded above zero, as the
// design's courses do; drawn again while one would repeat the result or the
// other, then the nearest free values.
std::array<Answer, 2> movedBy(Integer result, RandomSource& random);

// A pair of the course's tables and a multiplier 1 to 9, drawn from those
// still left this round; every pair once a round, in shuffled order.
struct Pair {
    int table, by;
};
Pair drawPair(const Course& course, Deal& deal, RandomSource& random);

// Candidate near misses: each once, never the answer, never below 0.
class Candidates {
public:
    explicit Candidates(Answer answer) : answer_(answer) {}
    void offer(Answer a);
    std::size_t size() const { return count_; }
    Answer operator[](std::size_t i) const { return found_[i]; }
    // Two different ones drawn (there are at least two).
    std::array<Answer, 2> two(RandomSource& random) const;

private:
    Answer answer_;
    std::array<Answer, 6> found_{};
    std::size_t count_ = 0;
};

// "2,5", "1-9", "5,2": the tables as a link writes them, in their order.
std::string tablesText(std::span<const std::uint8_t> tables);
// The tables as a child reads them: one, two joined by `two`, a run joined
// by `run`; none when they are too many to name on a button.
std::optional<std::string> tablesName(std::span<const std::uint8_t> tables, std::string_view two, std::string_view run);
bool allTables(std::span<const std::uint8_t> tables);
// The tables as a child reads a list: "1,3,5,7,9", "1〜5,7".
std::string digits(std::span<const std::uint8_t> tables);

}  // namespace game::kinds

namespace game::kinds {

// The kinds, one a room.
const CourseKind& timesKind();
const CourseKind& divKind();
const CourseKind& addKind();
const CourseKind& subKind();
const CourseKind& makeKind();
const CourseKind& threeKind();

}  // namespace game::kinds
