#include "virtual_clock.h"

#include <algorithm>

namespace testing {

using screens::ControlId;

VirtualClock::VirtualClock(screens::FormLogic& logic) : logic_(logic)
{
    screens::FormModel& model = logic_.model();
    for (ControlId id = 0; id < model.size(); ++id) {
        if (model.design(id).kind == screens::Kind::Timer)
            timers_.push_back({id});
    }
    std::sort(timers_.begin(), timers_.end(), [&](const Timer& a, const Timer& b) {
        const auto& da = model.design(a.id);
        const auto& db = model.design(b.id);
        return da.name != db.name ? da.name < db.name : da.index < db.index;
    });
}

void VirtualClock::load()
{
    logic_.load();
    sync();
}

void VirtualClock::click(ControlId control)
{
    logic_.click(control);
    sync();
}

void VirtualClock::sync()
{
    const screens::FormModel& model = logic_.model();
    for (Timer& t : timers_) {
        const screens::ControlState& s = model[t.id];
        if (!s.enabled || s.interval <= 0) {
            t.armed = false;
        } else if (!t.armed || t.starts != s.starts) {
            t.armed = true;
            t.due = now_ + s.interval;
        }
        t.starts = s.starts;
    }
}

VirtualClock::Timer* VirtualClock::next()
{
    Timer* best = nullptr;
    for (Timer& t : timers_) {
        if (t.armed && (!best || t.due < best->due))
            best = &t;
    }
    return best;
}

std::optional<ControlId> VirtualClock::step()
{
    Timer* t = next();
    if (!t)
        return std::nullopt;
    now_ = std::max(now_, t->due);
    t->due += logic_.model()[t->id].interval;
    ++t->ticks;
    const ControlId id = t->id;
    logic_.tick(id);
    sync();
    return id;
}

void VirtualClock::advanceTo(std::int64_t until, const std::function<void()>& afterEvent)
{
    for (Timer* t = next(); t && t->due <= until; t = next()) {
        step();
        if (afterEvent)
            afterEvent();
    }
    now_ = std::max(now_, until);
}

std::optional<std::int64_t> VirtualClock::due(ControlId timer) const
{
    const Timer* t = find(timer);
    return t && t->armed ? std::optional(t->due) : std::nullopt;
}

int VirtualClock::ticks(ControlId timer) const
{
    const Timer* t = find(timer);
    return t ? t->ticks : 0;
}

const VirtualClock::Timer* VirtualClock::find(ControlId id) const
{
    for (const Timer& t : timers_) {
        if (t.id == id)
            return &t;
    }
    return nullptr;
}

}  // namespace testing
