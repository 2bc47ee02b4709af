// A random source for tests: plays back chosen values, then carries on
// with a fixed-seed generator.
#pragma once

#include "game/random.h"

#include <deque>
#include <initializer_list>

namespace testing {

class ScriptedRandom final : public game::RandomSource {
public:
    explicit ScriptedRandom(std::uint64_t seed = 1) : fallback_([] { return 0ull; }, seed) {}

    void script(std::initializer_list<float> values) { values_.insert(values_.end(), values); }
    // The value that draws c + floor(k * u) == v.
    static float pick(int v, int c, int k) { return (static_cast<float>(v - c) + 0.5f) / static_cast<float>(k); }

    void reseed() override { ++reseeds_; }
    float next() override
    {
        ++draws_;
        if (values_.empty())
            return fallback_.next();
        const float u = values_.front();
        values_.pop_front();
        return u;
    }

    int reseeds() const { return reseeds_; }
    int draws() const { return draws_; }
    bool exhausted() const { return values_.empty(); }

private:
    game::Rng fallback_;
    std::deque<float> values_;
    int reseeds_ = 0;
    int draws_ = 0;
};

}  // namespace testing
