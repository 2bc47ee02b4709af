// Runs a window's logic in virtual time: its timers tick exactly when the
// window's timer schedule says, and clicks come at chosen moments.
#pragma once

#include "forms/form_logic.h"
#include "forms/timer_schedule.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace testing {

class VirtualClock {
public:
    explicit VirtualClock(forms::FormLogic& logic) : logic_(logic), schedule_(logic.model()) {}

    std::int64_t now() const { return now_; }

    // Loads the window at the current time.
    void load();
    // A click at the current time.
    void click(forms::ControlId control);
    // The window goes out of sight at the current time.
    void hide();
    // Runs every tick due up to and including `until`; `afterEvent` runs
    // after each tick.
    void advanceTo(std::int64_t until, const std::function<void()>& afterEvent = {});
    void advance(std::int64_t milliseconds, const std::function<void()>& afterEvent = {})
    {
        advanceTo(now_ + milliseconds, afterEvent);
    }
    // Runs the next tick only, if any timer runs; returns its timer.
    std::optional<forms::ControlId> step();

    std::optional<std::int64_t> due(forms::ControlId timer) const { return schedule_.due(timer); }
    int ticks(forms::ControlId timer) const;

private:
    forms::FormLogic& logic_;
    forms::TimerSchedule schedule_;
    std::map<forms::ControlId, int> ticks_;
    std::int64_t now_ = 0;
};

}  // namespace testing
