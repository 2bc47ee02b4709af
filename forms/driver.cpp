#include "driver.h"

namespace forms {

Driver::Driver(FormLogic& logic, Surface& surface)
    : logic_(logic), model_(logic.model()), surface_(surface), schedule_(logic.model()), keyboard_(logic.model())
{
}

void Driver::load(std::int64_t now)
{
    model_.setTimersTime(schedule_.time(now));
    logic_.load();
    schedule_.sync(now);
    draw();
    surface_.wakeAt(nextWake());
}

// Every event runs the ticks due by its moment first, so that the logic
// always sees its events in the order of time.
void Driver::click(ControlId id, std::int64_t now)
{
    runTicksDueBy(now);
    model_.setTimersTime(schedule_.time(now));
    logic_.click(id);
    afterEvent(now);
}

void Driver::hidden(std::int64_t now)
{
    runTicksDueBy(now);
    model_.setTimersTime(schedule_.time(now));
    logic_.hidden();
    afterEvent(now);
}

void Driver::wake(std::int64_t now)
{
    lastWake_ = now;
    runTicksDueBy(now);
    draw();
    surface_.wakeAt(nextWake());
}

void Driver::afterEvent(std::int64_t now)
{
    schedule_.sync(now);
    draw();
    surface_.wakeAt(nextWake());
}

bool Driver::runTick(std::int64_t now)
{
    const std::optional<TimerSchedule::Tick> tick = schedule_.takeDue(now);
    if (!tick)
        return false;
    model_.setTimersTime(schedule_.time(tick->at));
    logic_.tick(tick->timer);
    // Interval changes made by the handler count from the tick's own moment.
    schedule_.sync(tick->at);
    surface_.afterTick(tick->timer);
    return true;
}

void Driver::runTicksDueBy(std::int64_t now)
{
    while (runTick(now)) {
    }
}

void Driver::draw()
{
    // The focus is read before anything is drawn, while a button that is
    // about to be hidden or disabled still holds it; only such a change
    // hands it on.
    bool focusMayMove = false;
    for (ControlId id = 0; model_.changed() && id < model_.size() && !focusMayMove; ++id)
        focusMayMove = (model_.changes(id) & (kEnabled | kVisible)) && model_.design(id).kind == Kind::Button;
    const ControlId focused = focusMayMove ? surface_.focused() : kNoControl;
    surface_.draw();
    model_.clearChanges();
    if (focused != kNoControl) {
        if (const ControlId settled = keyboard_.settle(focused); settled != focused)
            surface_.focus(settled);
    }
}

void Driver::refresh(std::int64_t now)
{
    schedule_.sync(now);
    draw();
    surface_.wakeAt(nextWake());
}

std::optional<std::int64_t> Driver::nextWake() const
{
    if (const std::optional<std::int64_t> due = schedule_.nextDue())
        return forms::nextWake(*due, lastWake_, kFrameMilliseconds);
    return std::nullopt;
}

bool Driver::key(const KeyEvent& event, std::int64_t now)
{
    const KeyPress key = event.press;
    // Only the keys the window's table gives a button are the game's, and
    // none with Ctrl, Alt or the logo key: those are the desktop's.
    if (event.shortcut || key.key == Key::Other || (key.key == Key::Character && !keyboard_.binds(key.character)))
        return false;
    // A key held down presses its button once, as a held mouse button does;
    // moving the focus may repeat.
    if ((key.key == Key::Activate || key.key == Key::Character) && event.repeat)
        return true;
    // While the focus is not shown (before the keyboard is first used, and
    // after the mouse), keys start from no focus: the toolkit's own focus on
    // a first button, or a button the mouse pressed, is not the player's.
    if (!focusShown_) {
        surface_.focus(kNoControl);
        focusShown_ = true;
        surface_.showFocus(true);
    }
    const KeyOutcome out = keyboard_.press(surface_.focused(), key);
    if (out.focus != kNoControl)
        surface_.focus(out.focus);
    if (out.press != kNoControl)
        click(out.press, now);  // exactly as a click
    return true;
}

void Driver::pointer()
{
    focusShown_ = false;
    surface_.showFocus(false);
}

}  // namespace forms
