// When a window's timers tick. One schedule serves the real window and the
// tests' virtual clock alike, so both follow the same rules:
//  - enabling a stopped timer schedules its first tick one interval later;
//  - a running timer ticks at due, due + interval, ... without drift from
//    the time its handler takes;
//  - giving a running timer a different interval restarts it from now;
//    setting the interval it already has changes nothing;
//  - disabling a timer cancels its pending tick;
//  - ticks due at the same moment come in the order of the timers' names.
// A tick that comes a little late is caught up, so a 1 ms timer still
// ticks a thousand times a second when its wake-ups come in bursts; after a
// long stall (the process stopped, the machine asleep) the timer goes on
// from now instead of firing the whole backlog.
//
// While the model holds its timers (a paused game), the schedule stands
// still: nothing is due, and when the timers are let go every due time
// moves on by the length of the hold, so each timer goes on exactly where
// it stood and every later tick is the unheld game's, shifted.
#pragma once

#include "form_model.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace forms {

class TimerSchedule {
public:
    // Lateness beyond which a timer stops catching up.
    static constexpr std::int64_t kMaxCatchUp = 100;

    explicit TimerSchedule(const FormModel& model);

    // Brings the schedule in line with the model after an event at `now`.
    void sync(std::int64_t now);

    bool held() const { return heldSince_.has_value(); }
    // The timers' own time at `now`: the clock less every hold, standing
    // still while they are held, so that a pause counts for nothing.
    std::int64_t time(std::int64_t now) const { return heldSince_.value_or(now) - heldFor_; }

    // The earliest due time of a running timer.
    std::optional<std::int64_t> nextDue() const;

    struct Tick {
        ControlId timer;
        std::int64_t at;  // the moment the tick stands for: its due time, or now after a stall
    };
    // The tick due by `now`, earliest first, and moves its timer's due time
    // on by one interval. The caller runs the tick's handler and then calls
    // sync(tick.at): the handler's interval changes count from that moment.
    std::optional<Tick> takeDue(std::int64_t now);

    std::optional<std::int64_t> due(ControlId timer) const;

private:
    struct Entry {
        ControlId id;
        bool armed = false;
        std::int64_t due = 0;
        std::uint32_t starts = 0;
    };
    const FormModel& model_;
    std::vector<Entry> timers_;
    std::optional<std::int64_t> heldSince_;
    std::int64_t heldFor_ = 0;
};

// When a window that draws in frames of `frame` milliseconds next wakes:
// for the earliest due tick, but not before the frame after that of its last
// wake-up. Frames are the slots [k * frame, (k + 1) * frame) of the window's
// clock, so a wake-up that comes a little late does not slow the frame rate.
std::int64_t nextWake(std::int64_t due, std::int64_t lastWake, std::int64_t frame);

}  // namespace forms
