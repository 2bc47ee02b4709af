// Where the sums of a game come from when they are not the animals': a
// teacher's courses, or the sums a child missed, played again. Each gives a
// sum for the chosen course and two near misses that a child could mistake
// for its answer: all three different, none below zero. The rules put them
// on the screen as they put their own.
#pragma once

#include "course.h"
#include "outcome.h"
#include "random.h"

#include <array>
#include <vector>

namespace game {

struct Drawn {
    Sum sum;
    std::array<Answer, 2> wrong{};
};

class SumSource {
public:
    virtual ~SumSource() = default;
    // A new sum for course `course` (1 to 6).
    virtual Drawn draw(int course, RandomSource& random) = 0;
};

// The sums of a teacher's courses, as their kinds pose them. A sum that
// fell without a right answer (answered wrongly, or not at all), or was
// answered right but slowly, comes back among the next three to five new
// sums of the game, until it is answered right in time, at most three
// times, unless the link says again=off. A sum
// answered wrongly waits until it has fallen: it is never on screen twice.
class CourseSums final : public SumSource, public OutcomeReader {
public:
    static constexpr int kComesBack = 3;

    explicit CourseSums(std::vector<Course> courses, bool again = true);
    Drawn draw(int course, RandomSource& random) override;
    void read(const Outcome& outcome) override;

private:
    struct Again {
        Sum sum;
        int due = 0;    // new sums until it comes back; 0: not waiting
        bool fresh = false;  // missed since the last new sum: its moment is still to draw
        int times = 0;  // how often it came back
    };

    std::vector<Course> courses_;
    std::vector<Deal> deals_;
    bool again_;
    std::vector<Again> missed_;
};

// The sums a child missed or was slow on, played again: each in turn until
// it has been answered right (within the slow line, for one that must be),
// then any of them at random.
class ReviewSums final : public SumSource {
public:
    struct Again {
        Sum sum;
        bool inTime = false;  // done only when answered within the slow line
    };
    explicit ReviewSums(std::vector<Again> sums);
    Drawn draw(int course, RandomSource& random) override;
    // A right answer to one of them, and whether it was slow.
    void answered(const Sum& sum, bool slow = false);
    bool allAnswered() const;

private:
    std::vector<Again> sums_;
    std::vector<bool> done_;
    std::size_t next_ = 0;
};

// A sum with its kind's near misses.
Drawn withNearMisses(const Sum& sum, RandomSource& random);

}  // namespace game
