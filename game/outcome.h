// What the game window's rules say after each event: the phase of play, and
// what a click or a tick did. Whatever answers the game's moments (the
// sounds, and anything that reads the game aloud or looks back on it) reads
// these, never the controls.
#pragma once

#include "integer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace game {

// The state of play. The rules know rest, play and the end; a pause is the
// session's, around them.
enum class Phase : std::uint8_t {
    Rest,     // the window loaded, no game yet
    Playing,  // a game runs
    Paused,   // a game waits for the child
    Over,     // the time is up; a course starts the next game
};

// The operation of a sum: the design's courses add and subtract; a
// teacher's courses also multiply and divide.
enum class Op : std::uint8_t { Plus, Minus, Times, Divide };

// The sign as the sums show it: "+", "-", "×", "÷".
std::string_view signText(Op op);

// A sum as the rules posed it.
struct Sum {
    Integer num1 = 0;
    Integer num2 = 0;
    Op op = Op::Plus;
    Integer answer = 0;
    friend bool operator==(const Sum&, const Sum&) = default;
};

// The sum as the falling label shows it: "7 + 5", "7 × 8".
std::string sumText(const Sum& sum);

struct Outcome {
    enum class Kind : std::uint8_t {
        Nothing,  // the event changed nothing of the game (a refused click, a stray tick)
        Started,  // a course chosen: a game begins, with three new sums
        Moved,    // a sum fell one step
        Right,    // a right answer: points earned, a new sum in its place
        Wrong,    // a wrong answer: the score wiped, the sum falls on
        Missed,   // a sum reached the bottom unanswered: a new sum in its place
        Second,   // a second of the countdown gone, the game goes on
        Over,     // the last second gone: the game is over
    };

    Kind kind = Kind::Nothing;
    int problem = 0;       // Moved, Right, Wrong, Missed: which sum, 1 to 3
    int course = 0;        // Started: the course chosen, 1 to 6
    Integer points = 0;    // Right: the points earned
    Integer score = 0;     // the score after the event; Over: the final score
    Integer seconds = 0;   // Second, Over: the seconds left
    Integer record = 0;    // Over: the best final score so far
    double given = 0;      // Wrong: the value on the button pressed
    Sum sum{};             // Right, Wrong, Missed: the sum answered or missed
};

}  // namespace game
