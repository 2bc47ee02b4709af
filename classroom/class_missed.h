// The sums a class missed, and apart from them those it was slow on,
// gathered from the children's result cards for the teacher: the 九九's 81
// facts on a grid of their own, every other sum in a list. Each is counted in children, not in cards: the cards of one
// number (ばんごう) are one child's, and a card without a number is a child
// of its own, so a child who plays twice and misses 7 × 8 both times is one
// child who missed it.
#pragma once

#include "game/card.h"

#include <array>
#include <span>
#include <vector>

namespace classroom {

struct ClassMissed {
    // How many children missed a × b (a and b from 1 to 9), at [a - 1][b - 1].
    std::array<std::array<int, 9>, 9> times{};
    // How many children were slow on a × b, likewise.
    std::array<std::array<int, 9>, 9> slowTimes{};
    // Every other sum missed or slow, with how many children missed it and
    // how many were slow on it: the most missed first, then the slowest,
    // sums as often in the order they were first read. A sum of the same
    // kind, numbers and answer is one.
    struct Missed {
        game::Sum sum;
        int children = 0;
        int slow = 0;
    };
    std::vector<Missed> others;
    int children = 0;  // children whose cards carry the sums they missed
    int sums = 0;      // the sums all the cards carry, missed and slow
    int typed = 0;     // cards typed by hand, which carry no sums
    int cut = 0;       // cards that carry fewer sums than their child missed
};

// Whether a sum is one of the 九九's facts: a × b, both from 1 to 9.
bool timesFact(const game::Sum& sum);

// The cards in the order they were read; those refused are passed over.
ClassMissed classMissed(std::span<const game::CardReading> cards);

}  // namespace classroom
