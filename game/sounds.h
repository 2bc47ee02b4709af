// The game's sounds, made rather than recorded: each cue is a short list of
// notes, rendered once to 16-bit mono PCM that any realisation can play.
#pragma once

#include "game/cue.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace game {

// The colour of a note. Every timbre keeps its harmonics small enough that
// the wave crosses zero twice a period, so a note's pitch is its fundamental.
enum class Timbre : std::uint8_t {
    Chime,  // a sine with a little 2nd and 3rd harmonic, dying away: bright
    Soft,   // almost a pure sine, slow to fade, slow to start: gentle
    Buzz,   // odd harmonics, held: a low, dull buzzer
};

struct Note {
    double hz;
    double start;   // seconds from the start of the sound
    double length;  // seconds, from the first rise to the end of the release
    double level;   // amplitude relative to the other notes of its sound
    Timbre timbre;
};

// The notes of a cue, in order of their start.
std::span<const Note> notes(Cue cue);

// Seconds from the start of a cue to the end of its last note.
double duration(Cue cue);

// One cue rendered at `sampleRate`, as the bank holds it.
std::vector<std::int16_t> render(Cue cue, int sampleRate);

// Every cue rendered once, at one sample rate. The sounds are matched in
// loudness (the same RMS level) and peak below -3 dBFS.
class SoundBank {
public:
    static constexpr int kDefaultRate = 44100;

    explicit SoundBank(int sampleRate = kDefaultRate);

    int sampleRate() const { return rate_; }
    std::span<const std::int16_t> pcm(Cue cue) const { return pcm_[static_cast<std::size_t>(cue)]; }

private:
    int rate_;
    std::array<std::vector<std::int16_t>, kCueCount> pcm_;
};

}  // namespace game
