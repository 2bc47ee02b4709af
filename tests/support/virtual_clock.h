// Runs a window's logic in virtual time: the model's timers tick exactly
// when their intervals say, and clicks come at chosen moments.
#pragma once

#include "screens/form_model.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace testing {

class VirtualClock {
public:
    // Timers with equal due times tick in the order of their names.
    explicit VirtualClock(screens::FormLogic& logic);

    std::int64_t now() const { return now_; }

    // Loads the window at the current time.
    void load();
    // A click at the current time.
    void click(screens::ControlId control);
    // Runs every tick due up to and including `until`; `afterEvent` runs
    // after each tick.
    void advanceTo(std::int64_t until, const std::function<void()>& afterEvent = {});
    void advance(std::int64_t milliseconds, const std::function<void()>& afterEvent = {})
    {
        advanceTo(now_ + milliseconds, afterEvent);
    }
    // Runs the next tick only, if one is due at all; returns its timer.
    std::optional<screens::ControlId> step();

    // When the timer ticks next, if it runs.
    std::optional<std::int64_t> due(screens::ControlId timer) const;
    int ticks(screens::ControlId timer) const;

private:
    struct Timer {
        screens::ControlId id;
        bool armed = false;
        std::int64_t due = 0;
        std::uint32_t starts = 0;
        int ticks = 0;
    };
    void sync();
    Timer* next();
    const Timer* find(screens::ControlId id) const;

    screens::FormLogic& logic_;
    std::vector<Timer> timers_;
    std::int64_t now_ = 0;
};

}  // namespace testing
