// The opening window: a character hops across a picture in twelve steps,
// uncovering it piece by piece, then the window hands over to the game.
#pragma once

#include "forms/form_logic.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace game {

using forms::ControlId;

const forms::WindowSpec& crightTable();

class Cright final : public forms::FormLogic {
public:
    // Called once, on the last tick: it must show the game window, and may
    // schedule the opening window's destruction, but not destroy it at once.
    using HandOver = std::function<void()>;

    explicit Cright(HandOver handOver);

    forms::FormModel& model() override { return model_; }
    const forms::FormModel& model() const { return model_; }
    void load() override;
    void tick(ControlId timer) override;

    std::int16_t stage() const { return stage_; }
    bool gone() const { return gone_; }

    static constexpr int kFrames = 12;
    static constexpr int kLastTick = 26;

    ControlId timer1() const { return timer1_; }
    ControlId sprite(int k) const { return sprite_[static_cast<std::size_t>(k)]; }
    ControlId cover(int k) const { return cover_[static_cast<std::size_t>(k)]; }
    ControlId topCover() const { return picture2_; }
    // Names of controls the sequence asked for that the window's table lacks.
    const std::vector<std::string>& unresolvedNames() const { return unresolved_; }

private:
    forms::FormModel model_;
    HandOver handOver_;
    std::int16_t stage_ = 0;
    bool gone_ = false;
    ControlId timer1_;
    ControlId picture2_;
    std::array<ControlId, kFrames> sprite_{};
    std::array<ControlId, kFrames> cover_{};
    std::vector<std::string> unresolved_;
};

}  // namespace game
