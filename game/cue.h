// The moments of a game that the player hears. Each is a reaction to an
// event the rules already handle; the rules themselves make no sound.
#pragma once

#include <cstddef>
#include <cstdint>

namespace game {

enum class Cue : std::uint8_t {
    Start,      // a course chosen: the game begins
    Right,      // a right answer
    Wrong,      // a wrong answer: the score is wiped
    Countdown,  // each of the last three seconds
    EndLow,     // the end of a game with one of the lowest verdicts
    EndMiddle,  // ... with a middling one
    EndTop,     // ... with one of the top verdicts
};

// Every cue, counted from the last (sounds.cpp proves each has its notes).
inline constexpr std::size_t kCueCount = static_cast<std::size_t>(Cue::EndTop) + 1;

}  // namespace game
