// The game's source of chance: uniform single-precision values in [0, 1),
// with a re-seed that stirs a clock reading into the current state.
#pragma once

#include <cstdint>
#include <functional>

namespace game {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // Mixes a fresh clock reading into the state. An unchanged reading does
    // not start the sequence over.
    virtual void reseed() = 0;
    // A uniform value in [0, 1) with 24 random bits.
    virtual float next() = 0;
};

// c + floor(k * u): a whole number uniform over c .. c + k - 1.
inline int drawWhole(int c, double k, float u)
{
    return c + static_cast<int>(k * static_cast<double>(u));
}

class Rng final : public RandomSource {
public:
    using Clock = std::function<std::uint64_t()>;

    Rng(Clock clock, std::uint64_t seed);

    void reseed() override;
    float next() override;

private:
    Clock clock_;
    std::uint64_t state_;
};

}  // namespace game
