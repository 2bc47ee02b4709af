// How one window is run, the same in every realisation: an event first runs
// the timer ticks due by its moment, then the window's handler, then brings
// the timer schedule in line and draws once. Keys become clicks and focus
// moves by the window's key table, with one set of policies for every
// realisation. A realisation supplies only what its toolkit does: it draws
// the model, holds the focus and wakes the driver when asked.
#pragma once

#include "form_logic.h"
#include "keyboard.h"
#include "timer_schedule.h"

#include <cstdint>
#include <optional>

namespace forms {

// What a realisation does for the driver.
class Surface {
public:
    virtual ~Surface() = default;
    // Brings what is drawn in line with the model's changes since the last
    // draw (FormModel::changes); the driver then clears them.
    virtual void draw() = 0;
    // The control that holds the keyboard focus, or kNoControl.
    virtual ControlId focused() const = 0;
    // Gives the focus to a control, or takes it from all (kNoControl).
    virtual void focus(ControlId id) = 0;
    // Shows the focus (once the keyboard is used) or hides it (the mouse).
    virtual void showFocus(bool shown) = 0;
    // The driver wants to wake at `time` of its clock, or not at all.
    virtual void wakeAt(std::optional<std::int64_t> time) = 0;
    // After the handler of each tick of the model's timer `timer`.
    virtual void afterTick(ControlId) {}
};

// A key as the realisation read it.
struct KeyEvent {
    KeyPress press;
    bool repeat = false;    // the key is held down
    bool shortcut = false;  // with Ctrl, Alt or the logo key: the desktop's, not the game's
};

class Driver {
public:
    // The window wakes for its timers at most once in a slot of this many
    // milliseconds of its clock: forty frames a second while sums fall.
    static constexpr std::int64_t kFrameMilliseconds = 25;

    Driver(FormLogic& logic, Surface& surface);

    const FormModel& model() const { return model_; }
    const TimerSchedule& schedule() const { return schedule_; }
    const Keyboard& keyboard() const { return keyboard_; }
    bool focusShown() const { return focusShown_; }

    // The window's events, each at `now` of the window's clock.
    void load(std::int64_t now);
    void click(ControlId id, std::int64_t now);
    void hidden(std::int64_t now);
    // Whether the key was the game's: if so, the toolkit's own handling of
    // it (scrolling, its own Tab order, a second click) must not follow.
    bool key(const KeyEvent& key, std::int64_t now);
    // A mouse button or a touch: the focus is no longer shown.
    void pointer();
    // The wake the driver asked for: every tick due by then, and a draw.
    void wake(std::int64_t now);

    // The steps of an event, for a realisation that runs the ticks of
    // several windows in one order: runs the earliest tick due by `now`, if
    // any, without drawing.
    bool runTick(std::int64_t now);
    // Draws what changed and hands the focus on from a button that went.
    void draw();
    // The schedule and what is drawn brought in line with the model, after
    // the model was changed from outside an event.
    void refresh(std::int64_t now);
    // When the window next wants to wake, if it does.
    std::optional<std::int64_t> nextWake() const;

private:
    void runTicksDueBy(std::int64_t now);
    void afterEvent(std::int64_t now);

    FormLogic& logic_;
    FormModel& model_;
    Surface& surface_;
    TimerSchedule schedule_;
    Keyboard keyboard_;
    std::int64_t lastWake_ = 0;
    bool focusShown_ = false;
};

}  // namespace forms
