#include "motion.h"

#include "web_page.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// The elements of the controls that move, by a number of their own, so that
// moving them passes no text between the program and the page.
EM_JS(void, permoro_keep_moving, (int key, emscripten::EM_VAL element), {
    Module.permoroMoving = Module.permoroMoving || new Map();
    Module.permoroMoving.set(key, Emval.toValue(element));
});

EM_JS(void, permoro_forget_moving, (int from, int to), {
    if (Module.permoroMoving)
        for (let key = from; key < to; ++key)
            Module.permoroMoving.delete(key);
});

// Puts a moving control `from` pixels below its place at design, and if
// `duration` is not 0 has the browser move it on to `to` in `steps` even
// steps, the first a step's time after `start` on the page's animation
// timeline.
EM_JS(void, permoro_move, (int key, double from, double to, double start, double duration, int steps), {
    const element = Module.permoroMoving.get(key);
    if (element.permoroMotion)
        element.permoroMotion.cancel();
    element.permoroMotion = null;
    element.style.transform = from ? "translateY(" + from + "px)" : "none";
    if (duration > 0) {
        const motion = element.animate(
            [ {transform : "translateY(" + from + "px)"}, {transform : "translateY(" + to + "px)"} ],
            {duration : duration, easing : "steps(" + steps + ", end)", fill : "forwards"});
        motion.startTime = start;
        element.permoroMotion = motion;
    }
});

}  // namespace

Motions::Motions(const forms::FormModel& model, const forms::TimerSchedule& schedule, const WebPage& page, int serial)
    : model_(model), schedule_(schedule), page_(page), serial_(serial), browserMoves_(!page.manualClock())
{
}

Motions::~Motions()
{
    permoro_forget_moving(serial_ * model_.size(), (serial_ + 1) * model_.size());
}

Motions::Mover* Motions::find(ControlId id)
{
    const auto it = std::find_if(movers_.begin(), movers_.end(), [id](const Mover& m) { return m.id == id; });
    return it == movers_.end() ? nullptr : &*it;
}

double Motions::shiftAt(ControlId id, double top) const
{
    const double grid = deviceScale_;
    return std::round(layout_->topAt(id, static_cast<float>(top)) * grid) / grid -
           std::lround(layout_->box(id).top);
}

void Motions::setLayout(const forms::Layout& layout, double deviceScale)
{
    layout_ = &layout;
    deviceScale_ = deviceScale;
    // The same Top may be another shift on the new grid or in the new boxes.
    for (Mover& m : movers_) {
        if (browserMoves_) {
            follow(m, true);
        } else {
            m.shift = std::nan("");
            step(m);
        }
    }
}

void Motions::moved(ControlId id, const emscripten::val& element)
{
    Mover* m = find(id);
    // A control that moves once will move again: it gets a layer of its own
    // the first time.
    if (!m) {
        const std::string_view timer = model_.design(id).movedBy;
        movers_.push_back({id, timer.empty() ? forms::kNoControl : model_.spec().find(timer)});
        m = &movers_.back();
        element["style"].call<void>("setProperty", std::string("will-change"), std::string("transform"));
        permoro_keep_moving(key(id), element.as_handle());
    }
    if (browserMoves_)
        follow(*m, false);
    else
        step(*m);
}

void Motions::check()
{
    for (Mover& m : movers_) {
        if (m.moving)
            follow(m, false);
    }
}

// The manual clock: the control is drawn where its Top is, once it is a
// whole screen pixel away from where it was drawn.
void Motions::step(Mover& m)
{
    const double shift = shiftAt(m.id, model_[m.id].top);
    if (shift == m.shift)
        return;
    permoro_move(key(m.id), shift, shift, 0, 0, 0);
    m.shift = shift;
}

// The page's own clock: the browser carries the control while its timer
// runs; a new motion only where the one it plays no longer holds.
void Motions::follow(Mover& m, bool again)
{
    const float top = model_[m.id].top;
    const std::optional<std::int64_t> due = m.timer == forms::kNoControl ? std::nullopt : schedule_.due(m.timer);
    const int interval = due ? model_[m.timer].interval : 0;
    const bool moves = due && interval > 0 && !schedule_.held() && model_[m.id].visible;
    if (!again && m.moving == moves && m.interval == (moves ? interval : 0)) {
        const std::int64_t now = page_.now();
        const float expected =
            m.top + (moves && now >= m.due ? static_cast<float>((now - m.due) / m.interval + 1) : 0.0f);
        if (expected == top)
            return;
    }
    m.moving = moves;
    m.top = top;
    m.due = due.value_or(0);
    m.interval = moves ? interval : 0;
    place(m);
}

void Motions::place(Mover& m)
{
    const double from = shiftAt(m.id, m.top);
    if (!m.moving)
        return permoro_move(key(m.id), from, from, 0, 0, 0);
    // On until it has left the window: the ticks it takes, at the pace of
    // a unit a tick, starting one tick before the next is due.
    const double unit = layout_->topAt(m.id, m.top + 1) - layout_->topAt(m.id, m.top);
    const double room = layout_->height() - layout_->topAt(m.id, m.top);
    const int units = unit > 0 ? static_cast<int>(std::clamp(std::ceil(room / unit) + 1, 1.0, 100000.0)) : 1;
    const double to = shiftAt(m.id, static_cast<double>(m.top) + units);
    const int steps = std::max(1, static_cast<int>(std::lround(std::abs(to - from) * deviceScale_)));
    permoro_move(key(m.id), from, to, page_.timelineTime(m.due - m.interval), static_cast<double>(units) * m.interval,
                 steps);
}

}  // namespace platform
