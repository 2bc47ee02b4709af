// The game's whole numbers are 16-bit and never overflow: a result that
// would leave the range stops at its edge instead of wrapping round.
#pragma once

#include <cstdint>
#include <limits>

namespace game {

using Integer = std::int16_t;

constexpr Integer saturate(long long v)
{
    constexpr long long lo = std::numeric_limits<Integer>::min();
    constexpr long long hi = std::numeric_limits<Integer>::max();
    return static_cast<Integer>(v < lo ? lo : v > hi ? hi : v);
}

constexpr Integer add(Integer a, Integer b) { return saturate(static_cast<long long>(a) + b); }
constexpr Integer sub(Integer a, Integer b) { return saturate(static_cast<long long>(a) - b); }
constexpr Integer mul(Integer a, Integer b) { return saturate(static_cast<long long>(a) * b); }

}  // namespace game
