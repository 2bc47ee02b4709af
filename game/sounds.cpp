#include "sounds.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace game {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Equal-tempered pitches (A4 = 440 Hz).
constexpr double G3s = 207.652;
constexpr double B3 = 246.942;
constexpr double C4 = 261.626;
constexpr double E4b = 311.127;
constexpr double G4 = 391.995;
constexpr double C5 = 523.251;
constexpr double D5 = 587.330;
constexpr double E5 = 659.255;
constexpr double G5 = 783.991;
constexpr double A5 = 880.000;
constexpr double C6 = 1046.502;
constexpr double E6 = 1318.510;
constexpr double A6 = 1760.000;

constexpr Timbre Ch = Timbre::Chime;
constexpr Timbre So = Timbre::Soft;
constexpr Timbre Bz = Timbre::Buzz;

// Each phrase is legato: a note ends (its release done) where the next one
// starts, so that every note can be heard, and measured, on its own.
constexpr Note kStart[] = {
    {C5, 0.00, 0.08, 0.9, Ch},
    {E5, 0.08, 0.08, 0.9, Ch},
    {G5, 0.16, 0.16, 1.0, Ch},
};
constexpr Note kRight[] = {
    {E6, 0.00, 0.08, 0.8, Ch},
    {A6, 0.08, 0.20, 1.0, Ch},
};
constexpr Note kWrong[] = {
    {B3, 0.00, 0.14, 1.0, Bz},
    {G3s, 0.14, 0.30, 1.0, Bz},
};
constexpr Note kCountdown[] = {
    {A5, 0.00, 0.10, 1.0, Ch},
};
constexpr Note kEndLow[] = {
    {G4, 0.00, 0.20, 1.0, So},
    {E4b, 0.20, 0.20, 0.9, So},
    {C4, 0.40, 0.55, 0.9, So},
};
constexpr Note kEndMiddle[] = {
    {C5, 0.00, 0.15, 0.9, Ch},
    {E5, 0.15, 0.15, 0.9, Ch},
    {D5, 0.30, 0.40, 1.0, Ch},
};
constexpr Note kEndTop[] = {
    {C5, 0.00, 0.11, 0.8, Ch},
    {E5, 0.11, 0.11, 0.8, Ch},
    {G5, 0.22, 0.11, 0.9, Ch},
    {C6, 0.33, 0.60, 1.0, Ch},
};

constexpr std::span<const Note> kNotes[kCueCount] = {
    kStart, kRight, kWrong, kCountdown, kEndLow, kEndMiddle, kEndTop,
};

// How a timbre sounds: its envelope (raised-cosine attack and release around
// an exponential decay) and the amplitudes of its harmonics 1, 2, 3, ...
struct Voice {
    double attack;   // seconds
    double release;  // seconds
    double decay;    // time constant of the fade, seconds
    std::array<double, 7> harmonics;
};

const Voice& voice(Timbre timbre)
{
    static constexpr Voice kChime{0.004, 0.040, 0.30, {1.0, 0.22, 0.08, 0, 0, 0, 0}};
    static constexpr Voice kSoft{0.012, 0.060, 0.60, {1.0, 0.06, 0.02, 0, 0, 0, 0}};
    static constexpr Voice kBuzz{0.006, 0.040, 1.00, {1.0, 0, 0.30, 0, 0.15, 0, 0.07}};
    switch (timbre) {
    case Timbre::Chime: return kChime;
    case Timbre::Soft: return kSoft;
    case Timbre::Buzz: return kBuzz;
    }
    return kChime;
}

// The level every cue is brought to, and the ceiling no sample may pass.
constexpr double kTargetRms = 0.20;  // about -14 dBFS
constexpr double kPeakCeiling = 0.70;  // about -3.1 dBFS

std::size_t samplesOf(double seconds, int rate)
{
    return static_cast<std::size_t>(std::lround(seconds * rate));
}

// Adds one note into `out`, which is long enough to hold it.
void addNote(const Note& note, int rate, std::vector<double>& out)
{
    const Voice& v = voice(note.timbre);
    const std::size_t first = samplesOf(note.start, rate);
    const std::size_t count = samplesOf(note.length, rate);
    const double step = 2.0 * kPi * note.hz / rate;
    const double length = static_cast<double>(count) / rate;
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        double env = note.level * std::exp(-t / v.decay);
        if (t < v.attack)
            env *= 0.5 - 0.5 * std::cos(kPi * t / v.attack);
        const double left = length - t;
        if (left < v.release)
            env *= 0.5 - 0.5 * std::cos(kPi * left / v.release);

        // sin(k x) for k = 1, 2, ... by the recurrence
        // sin((k+1)x) = 2 cos(x) sin(kx) - sin((k-1)x).
        const double x = step * static_cast<double>(i);
        const double twoCos = 2.0 * std::cos(x);
        double previous = 0.0;
        double current = std::sin(x);
        double wave = 0.0;
        for (const double amplitude : v.harmonics) {
            wave += amplitude * current;
            const double next = twoCos * current - previous;
            previous = current;
            current = next;
        }
        out[first + i] += env * wave;
    }
}

}  // namespace

std::vector<std::int16_t> render(Cue cue, int rate)
{
    std::size_t length = 0;
    for (const Note& note : notes(cue))
        length = std::max(length, samplesOf(note.start, rate) + samplesOf(note.length, rate));
    std::vector<double> mix(length, 0.0);
    for (const Note& note : notes(cue))
        addNote(note, rate, mix);

    double sumSquares = 0.0;
    double peak = 0.0;
    for (const double s : mix) {
        sumSquares += s * s;
        peak = std::max(peak, std::abs(s));
    }
    const double rms = mix.empty() ? 0.0 : std::sqrt(sumSquares / static_cast<double>(mix.size()));
    double gain = rms > 0.0 ? kTargetRms / rms : 0.0;
    if (peak * gain > kPeakCeiling)
        gain = kPeakCeiling / peak;

    std::vector<std::int16_t> pcm(mix.size());
    std::transform(mix.begin(), mix.end(), pcm.begin(), [gain](double s) {
        return static_cast<std::int16_t>(std::lround(std::clamp(s * gain, -1.0, 1.0) * 32767.0));
    });
    return pcm;
}

std::span<const Note> notes(Cue cue)
{
    return kNotes[static_cast<std::size_t>(cue)];
}

double duration(Cue cue)
{
    double end = 0.0;
    for (const Note& note : notes(cue))
        end = std::max(end, note.start + note.length);
    return end;
}

SoundBank::SoundBank(int sampleRate) : rate_(sampleRate)
{
    for (std::size_t i = 0; i < kCueCount; ++i)
        pcm_[i] = render(static_cast<Cue>(i), rate_);
}

}  // namespace game
