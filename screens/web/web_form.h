// A window realised from its control table as elements of the page: one
// element per control, where the geometry for the screen places it, in its
// colours and font, in stacking order. Events go to the window's logic;
// after them the elements mirror the model. Its timers follow the one timer
// schedule, woken by the page; the controls its timers move, the browser
// moves.
#pragma once

#include "screens/form_model.h"
#include "screens/keyboard.h"
#include "screens/layout.h"
#include "screens/timer_schedule.h"

#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace screens {

class WebPage;

class WebForm {
public:
    // Builds the window's elements, hidden, and runs the window's load.
    WebForm(FormLogic& logic, WebPage& page);
    ~WebForm();
    WebForm(const WebForm&) = delete;
    WebForm& operator=(const WebForm&) = delete;

    void show();
    void hide();
    bool shown() const { return shown_; }
    // Tells this window's elements from those of another.
    int serial() const { return serial_; }

    const FormModel& model() const { return model_; }
    emscripten::val element(ControlId id) const { return elements_[static_cast<std::size_t>(id)]; }

    // The page's role for a label: "status" makes it a polite live region
    // (read out when it changes), "timer" one that is never read out by
    // itself.
    void setRole(ControlId id, const std::string& role);

    // The timers.
    std::optional<std::int64_t> nextDue() const { return schedule_.nextDue(); }
    // Runs the tick due by `now` that comes first; false if none is due.
    bool runTick(std::int64_t now);

    // The events of the page.
    void click(ControlId id);
    void key(const emscripten::val& event);
    // The page went out of sight (another tab, the screen off, another app).
    void hidden();

    // Brings the elements in line with the model, and the focus with them.
    void draw();
    // The window's geometry for the screen (null: the design's).
    void setGeometry(const Geometry* geometry);
    const Layout& layout() const { return layout_; }
    // The window is drawn `scale` times its size, on a screen of
    // `pixelRatio` device pixels to the CSS pixel: positions go onto that grid.
    void setScale(double scale, double pixelRatio);
    // The bundled font has come: whole captions are measured again.
    void remeasure();

private:
    void create(ControlId id);
    void mirror(ControlId id, std::uint8_t changes);
    void placeTop(ControlId id);
    bool moved(ControlId id) const;
    double shiftAt(ControlId id, double top) const;
    void follow(ControlId id, bool again);
    void replace(ControlId id);
    void placeCaption(ControlId id);
    ControlId focusedControl() const;

    FormLogic& logic_;
    FormModel& model_;
    WebPage& page_;
    TimerSchedule schedule_;
    Keyboard keyboard_;
    Layout layout_;
    bool browserMoves_;  // on the page's own clock the browser moves the falling controls
    double scale_ = 0;
    double deviceScale_ = 1;
    int serial_;
    bool shown_ = false;
    emscripten::val window_ = emscripten::val::null();
    std::vector<emscripten::val> elements_;
    std::vector<emscripten::val> styles_;
    std::vector<emscripten::val> captions_;  // the text inside each label
    std::vector<double> shifts_;             // on the manual clock: how far each control is drawn from its design top
    std::vector<ControlId> movers_;          // the controls that have moved: each has a layer of its own
    // How the browser is moving a control: from `top`, a unit a tick of
    // `interval` ms, the first tick at `due`; or not (`moving` false).
    struct Motion {
        bool moving = false;
        float top = 0;
        std::int64_t due = 0;
        int interval = 0;
    };
    std::vector<Motion> motions_;
    std::vector<ControlId> drivers_;         // the timer whose ticks move each control
    std::vector<float> lastTops_;            // each control's Top after the last tick
};

}  // namespace screens
