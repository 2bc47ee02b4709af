#include "sounds.h"

#include <algorithm>
#include <iterator>
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

constexpr std::span<const Note> kNotes[] = {
    kStart, kRight, kWrong, kCountdown, kEndLow, kEndMiddle, kEndTop,
};
static_assert(std::size(kNotes) == kCueCount, "every cue has its sound, and no sound is without its cue");

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
    return static_cast<std::size_t>(seconds * rate + 0.5);
}

// The few values of sine, cosine and the exponential that a note needs, by
// their series: each is taken once a note, at an argument of at most pi,
// and every sample after it follows by rotation or multiplication. (The
// browser edition carries no maths library for them.)
double series(double x, bool sine)
{
    double term = sine ? x : 1.0, sum = term;
    for (int k = sine ? 2 : 1; k < 40; k += 2) {
        term *= -x * x / (k * (k + 1));
        sum += term;
    }
    return sum;
}

double cosine(double x) { return series(x, false); }
double sine(double x) { return series(x, true); }

// e^-x for 0 <= x < 1.
double decay(double x)
{
    double term = 1.0, sum = 1.0;
    for (int k = 1; k < 20; ++k) {
        term *= -x / k;
        sum += term;
    }
    return sum;
}

// A point turning round the unit circle by a fixed angle a sample.
struct Turn {
    double c, s;          // cos and sin of the angle so far
    double stepC, stepS;  // of the angle a sample
    Turn(double start, double step) : c(cosine(start)), s(sine(start)), stepC(cosine(step)), stepS(sine(step)) {}
    void next()
    {
        const double nc = c * stepC - s * stepS;
        s = s * stepC + c * stepS;
        c = nc;
    }
};

// Adds one note into `out`, which is long enough to hold it.
void addNote(const Note& note, int rate, std::vector<double>& out)
{
    const Voice& v = voice(note.timbre);
    const std::size_t first = samplesOf(note.start, rate);
    const std::size_t count = samplesOf(note.length, rate);
    const std::size_t attack = std::min(count, samplesOf(v.attack, rate));
    const std::size_t release = std::min(count, samplesOf(v.release, rate));
    // The wave turns by the note's pitch; the attack's and the release's
    // raised cosines each turn through half a circle.
    Turn wave(0.0, 2.0 * kPi * note.hz / rate);
    Turn rise(0.0, attack ? kPi / static_cast<double>(attack) : 0.0);
    Turn fall(0.0, release ? kPi / static_cast<double>(release) : 0.0);
    const double fade = decay(1.0 / (v.decay * rate));
    double level = note.level;
    for (std::size_t i = 0; i < count; ++i) {
        double env = level;
        if (i < attack) {
            env *= 0.5 - 0.5 * rise.c;
            rise.next();
        }
        if (count - i <= release) {
            fall.next();  // from a step in, so that the last sample is 0
            env *= 0.5 + 0.5 * fall.c;
        }
        // sin(k x) for k = 1, 2, ... by the recurrence
        // sin((k+1)x) = 2 cos(x) sin(kx) - sin((k-1)x).
        const double twoCos = 2.0 * wave.c;
        double previous = 0.0;
        double current = wave.s;
        double sum = 0.0;
        for (const double amplitude : v.harmonics) {
            sum += amplitude * current;
            const double next = twoCos * current - previous;
            previous = current;
            current = next;
        }
        out[first + i] += env * sum;
        wave.next();
        level *= fade;
        // Rounding would let the turning point drift off the circle over a
        // long note: it is put back on it now and then.
        if (i % 4096 == 4095) {
            const double r = std::sqrt(wave.c * wave.c + wave.s * wave.s);
            wave.c /= r;
            wave.s /= r;
        }
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
        const double v = std::clamp(s * gain, -1.0, 1.0) * 32767.0;
        return static_cast<std::int16_t>(v < 0 ? v - 0.5 : v + 0.5);
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
