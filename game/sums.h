// Where the sums of a game come from when they are not the animals': a
// teacher's courses, or the sums a child missed, played again. Each gives a
// sum for the chosen course and two near misses that a child could mistake
// for its result: all three different, none below zero. The rules put them
// on the screen as they put their own.
#pragma once

#include "outcome.h"
#include "practice.h"
#include "random.h"

#include <array>
#include <vector>

namespace game {

struct Drawn {
    Sum sum;
    std::array<Integer, 2> wrong{};
};

class SumSource {
public:
    virtual ~SumSource() = default;
    // A new sum for course `course` (1 to 6).
    virtual Drawn draw(int course, RandomSource& random) = 0;
};

// Two near misses of a sum: for the times tables the neighbouring products
// (d × (m ± 1), (d ± 1) × m), for the rest the result moved by 1 to 10 either
// way, folded above zero, as the design's courses do.
std::array<Integer, 2> nearMisses(const Sum& sum, RandomSource& random);

// The sums of a teacher's courses. The tables come in shuffled rounds, so
// that every table and every multiplier of a course comes up within a round
// of its sums; additions and subtractions are drawn evenly among the pairs
// of numbers that the course allows.
class CourseSums final : public SumSource {
public:
    explicit CourseSums(std::vector<Course> courses);
    Drawn draw(int course, RandomSource& random) override;

private:
    struct Round {
        std::vector<std::uint8_t> left;  // table * 10 + multiplier, still to come this round
    };
    Sum next(std::size_t at, RandomSource& random);

    std::vector<Course> courses_;
    std::vector<Round> rounds_;
};

// The sums a child missed, played again: each in turn until it has been
// answered right, then any of them at random.
class ReviewSums final : public SumSource {
public:
    explicit ReviewSums(std::vector<Sum> sums);
    Drawn draw(int course, RandomSource& random) override;
    // A right answer to one of them.
    void answered(const Sum& sum);
    bool allAnswered() const;

private:
    std::vector<Sum> sums_;
    std::vector<bool> done_;
    std::size_t next_ = 0;
};

}  // namespace game
