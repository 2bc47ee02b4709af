#include "random.h"

#include <utility>

namespace game {
namespace {

// The finaliser of SplitMix64: a bijection that spreads every input bit over
// the whole word.
std::uint64_t scramble(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

constexpr std::uint64_t kGolden = 0x9E3779B97F4A7C15ull;

}  // namespace

Rng::Rng(Clock clock, std::uint64_t seed) : clock_(std::move(clock)), state_(scramble(seed + kGolden)) {}

void Rng::reseed()
{
    const std::uint64_t reading = clock_ ? clock_() : 0;
    state_ = scramble(state_ ^ scramble(reading + kGolden));
}

float Rng::next()
{
    state_ += kGolden;
    const std::uint64_t bits = scramble(state_) >> 40;  // the top 24 bits
    return static_cast<float>(bits) * 0x1p-24f;
}

}  // namespace game
