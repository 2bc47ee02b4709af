#include "timer_schedule.h"

#include <algorithm>

namespace forms {

TimerSchedule::TimerSchedule(const FormModel& model) : model_(model)
{
    // In the order of their names (Timer1, Timer2, ...): a window has a
    // handful of timers, each put in its place as it is found.
    const auto before = [&](ControlId a, ControlId b) {
        const ControlSpec& da = model.design(a);
        const ControlSpec& db = model.design(b);
        return da.name != db.name ? da.name < db.name : da.index < db.index;
    };
    for (ControlId id = 0; id < model.size(); ++id) {
        if (model.design(id).kind != Kind::Timer)
            continue;
        auto at = timers_.begin();
        while (at != timers_.end() && before(at->id, id))
            ++at;
        timers_.insert(at, {id});
    }
}

void TimerSchedule::sync(std::int64_t now)
{
    if (model_.timersHeld()) {
        if (!heldSince_)
            heldSince_ = now;
    } else if (heldSince_) {
        const std::int64_t held = std::max(std::int64_t{0}, now - *heldSince_);
        for (Entry& t : timers_)
            t.due += held;
        heldFor_ += held;
        heldSince_.reset();
    }
    // While held, the timers' time stands at the moment the hold began.
    const std::int64_t time = heldSince_.value_or(now);
    for (Entry& t : timers_) {
        const ControlState& s = model_[t.id];
        if (!s.enabled || s.interval <= 0) {
            t.armed = false;
        } else if (!t.armed || t.starts != s.starts) {
            t.armed = true;
            t.due = time + s.interval;
        }
        t.starts = s.starts;
    }
}

std::optional<std::int64_t> TimerSchedule::nextDue() const
{
    std::optional<std::int64_t> next;
    if (heldSince_)
        return next;
    for (const Entry& t : timers_) {
        if (t.armed && (!next || t.due < *next))
            next = t.due;
    }
    return next;
}

std::optional<TimerSchedule::Tick> TimerSchedule::takeDue(std::int64_t now)
{
    Entry* best = nullptr;
    if (heldSince_)
        return std::nullopt;
    for (Entry& t : timers_) {
        if (t.armed && t.due <= now && (!best || t.due < best->due))
            best = &t;
    }
    if (!best)
        return std::nullopt;
    const std::int64_t interval = model_[best->id].interval;
    const std::int64_t at = now - best->due > kMaxCatchUp ? now : best->due;
    best->due = at + interval;
    return Tick{best->id, at};
}

std::optional<std::int64_t> TimerSchedule::due(ControlId timer) const
{
    for (const Entry& t : timers_) {
        if (t.id == timer)
            return t.armed ? std::optional(t.due) : std::nullopt;
    }
    return std::nullopt;
}

std::int64_t nextWake(std::int64_t due, std::int64_t lastWake, std::int64_t frame)
{
    return std::max(due, (lastWake / frame + 1) * frame);
}

}  // namespace forms
