// How the page draws the controls that its timers move: the falling sums.
// A control whose Top changes stays where it was laid out and moves by a
// transform, rounded to the screen's pixels, which the browser composes
// without laying out or painting the page again.
//
// On the page's own clock the browser itself carries a control that a timer
// moves one unit a tick: it is handed a motion (a Web Animation from the
// control's place now, a screen pixel at a time at the timer's pace, until
// it has left the window) and moves it without waking the page. When the
// page wakes it checks that the control's Top is where the motion said, and
// hands over a new motion when it is not (a new pace, a new sum, a stop, a
// pause). On the manual clock of the tests each control is moved at each
// step, so that a test reads exactly the Top it set.
#pragma once

#include "forms/layout.h"
#include "forms/timer_schedule.h"

#include <emscripten/val.h>

#include <cstdint>
#include <vector>

namespace platform {

using forms::ControlId;

class WebPage;

class Motions {
public:
    // The motions of one window's controls; `serial` tells the window apart.
    Motions(const forms::FormModel& model, const forms::TimerSchedule& schedule, const WebPage& page, int serial);
    ~Motions();
    Motions(const Motions&) = delete;
    Motions& operator=(const Motions&) = delete;

    // The layout the controls are placed by, drawn on a grid of
    // `deviceScale` screen pixels to the window's pixel; every control that
    // has moved is placed again.
    void setLayout(const forms::Layout& layout, double deviceScale);

    // The control's Top has changed.
    void moved(ControlId id, const emscripten::val& element);
    // At each draw: every motion the browser plays still matches the
    // control's Top and its timer.
    void check();

private:
    struct Mover {
        ControlId id;
        ControlId timer;  // the one whose ticks move it, or kNoControl
        // How the browser is moving it: from `top`, a unit a tick of
        // `interval` ms, the first tick at `due`; or not (`moving` false).
        bool moving = false;
        float top = 0;
        std::int64_t due = 0;
        int interval = 0;
        double shift = 0;  // on the manual clock: how far it is drawn from its box's top
    };

    Mover* find(ControlId id);
    int key(ControlId id) const { return serial_ * model_.size() + id; }
    // Screen pixels from the control's box to where a Top puts it.
    double shiftAt(ControlId id, double top) const;
    void step(Mover& m);
    void follow(Mover& m, bool again);
    void place(Mover& m);

    const forms::FormModel& model_;
    const forms::TimerSchedule& schedule_;
    const WebPage& page_;
    int serial_;
    bool browserMoves_;
    const forms::Layout* layout_ = nullptr;
    double deviceScale_ = 1;
    std::vector<Mover> movers_;  // the controls that have moved: each has a layer of its own
};

}  // namespace platform
