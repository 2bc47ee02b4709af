#include "virtual_clock.h"

#include <algorithm>

namespace testing {

using forms::ControlId;

void VirtualClock::load()
{
    logic_.model().setTimersTime(schedule_.time(now_));
    logic_.load();
    schedule_.sync(now_);
}

void VirtualClock::click(ControlId control)
{
    logic_.model().setTimersTime(schedule_.time(now_));
    logic_.click(control);
    schedule_.sync(now_);
}

void VirtualClock::hide()
{
    logic_.model().setTimersTime(schedule_.time(now_));
    logic_.hidden();
    schedule_.sync(now_);
}

std::optional<ControlId> VirtualClock::step()
{
    const std::optional<std::int64_t> due = schedule_.nextDue();
    if (!due)
        return std::nullopt;
    now_ = std::max(now_, *due);
    const std::optional<forms::TimerSchedule::Tick> tick = schedule_.takeDue(now_);
    ++ticks_[tick->timer];
    logic_.model().setTimersTime(schedule_.time(tick->at));
    logic_.tick(tick->timer);
    schedule_.sync(tick->at);
    return tick->timer;
}

void VirtualClock::advanceTo(std::int64_t until, const std::function<void()>& afterEvent)
{
    for (auto due = schedule_.nextDue(); due && *due <= until; due = schedule_.nextDue()) {
        step();
        if (afterEvent)
            afterEvent();
    }
    now_ = std::max(now_, until);
}

int VirtualClock::ticks(ControlId timer) const
{
    const auto it = ticks_.find(timer);
    return it == ticks_.end() ? 0 : it->second;
}

}  // namespace testing
