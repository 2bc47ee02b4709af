// What the game window's rules say after each event: the phase of play, and
// what a click or a tick did. Whatever answers the game's moments (the
// sounds, and anything that reads the game aloud or looks back on it) reads
// these, never the controls.
#pragma once

#include "integer.h"
#include "sum.h"

#include <cstdint>

namespace game {

// The state of play. The rules know rest, play and the end; a pause is the
// session's, around them.
enum class Phase : std::uint8_t {
    Rest,     // the window loaded, no game yet
    Playing,  // a game runs
    Paused,   // a game waits for the child
    Over,     // the time is up; a course starts the next game
};

struct Outcome {
    enum class Kind : std::uint8_t {
        Nothing,  // the event changed nothing of the game (a refused click, a stray tick)
        Started,  // a course chosen: a game begins, with three new sums
        Moved,    // a sum fell one step
        Right,    // a right answer: points earned, a new sum in its place
        Wrong,    // a wrong answer: the score wiped (or kept, miss=keep), the sum falls on
        Missed,   // a sum reached the bottom unanswered: a new sum in its place
        Second,   // a second of the countdown gone, the game goes on
        Over,     // the last second gone: the game is over
        Typed,    // a digit typed or deleted on a typed game's pad, nothing judged
    };

    Kind kind = Kind::Nothing;
    int problem = 0;       // Moved, Right, Wrong, Missed: which sum, 1 to 3
    int course = 0;        // Started: the course chosen, 1 to 6
    Integer points = 0;    // Right: the points earned
    Integer score = 0;     // the score after the event; Over: the final score
    Integer seconds = 0;   // Second, Over: the seconds left
    Integer record = 0;    // Over: the best final score so far
    Integer perMinute = 0; // Over: the final score as points a minute, which the verdict judges
    Answer given{};        // Wrong: the answer on the button pressed or the number typed;
                           // Typed: the number typed so far
    int digit = -1;        // Typed: the digit typed, or -1 for one deleted
    int digits = 0;        // Typed: how many digits are typed now
    Sum sum{};             // Right, Wrong, Missed: the sum answered or missed
    int millis = 0;        // Right: how long the answer took, in the timers' time (a pause left out)
    bool slow = false;     // Right: slower than the slow line (ゆっくり)
};

// Whatever answers the game's moments (the sounds, what a screen reader is
// told, the look back, a teacher's sums coming back) reads each outcome.
class OutcomeReader {
public:
    virtual ~OutcomeReader() = default;
    virtual void read(const Outcome& outcome) = 0;
};

}  // namespace game
