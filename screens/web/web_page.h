// The browser page that shows the program's windows: one clock for them
// all, the wakes for their timers, the keyboard, and the geometry and scale
// at which every window fits the viewport.
#pragma once

#include "screens/control.h"

#include <emscripten/val.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace screens {

class WebForm;

class WebPage {
public:
    // The page wakes for timer ticks at most once in a slot of this many
    // milliseconds of its clock.
    static constexpr std::int64_t kFrameMilliseconds = 25;

    // Reads the page's address: with `?clock=manual` the clock stands still
    // and only advance() moves it, so that tests step the timers exactly.
    WebPage();
    ~WebPage();
    WebPage(const WebPage&) = delete;
    WebPage& operator=(const WebPage&) = delete;

    // The page of the running program, for the browser's callbacks.
    static WebPage* current();

    bool manualClock() const { return manual_; }
    // Milliseconds since the page started, or the manual clock's time.
    std::int64_t now() const;
    // Manual clock only: runs every tick due within the next `milliseconds`,
    // in time order and each at its own moment, then draws once.
    void advance(std::int64_t milliseconds);

    // A parameter of the page's address, or "" when it has none.
    std::string parameter(const std::string& name) const;

    // The window that sets the scale of every window: the largest, in the
    // geometry it takes for the screen. No window is drawn larger than it
    // would be at that scale.
    void setStage(const WindowSpec& spec);

    // The element that holds the windows.
    emscripten::val screen() const { return screen_; }

    void attach(WebForm* form);
    void detach(WebForm* form);
    // The window on screen takes the keys and names the page.
    void onScreen(WebForm* form);

    // Runs `work` once the current event is over (a window must not be
    // destroyed inside its own handler).
    void later(std::function<void()> work);

    // Whether the focus is shown: once the keyboard is used, until the
    // next press of a mouse button or a touch. While it is not, keys start
    // from no focus.
    bool focusShown() const { return focusShown_; }
    void showFocus() { focusShown_ = true; }
    void pointer() { focusShown_ = false; }

    // The browser's events.
    void click(int serial, int control);
    void wake();
    void key(const emscripten::val& event);
    void layout();
    void fontsLoaded();
    void hidden();

    // The time of the page's animation timeline at `time` of its clock.
    double timelineTime(std::int64_t time) const;

    // Runs the ticks of every window due by `time`, earliest first.
    void runDue(std::int64_t time);
    // After any event: draw what changed, run what waited, ask for a frame
    // while a timer runs.
    void afterEvent();

private:
    WebForm* earliestDue(std::int64_t until, std::int64_t& due) const;
    void scheduleWake();

    bool manual_ = false;
    std::int64_t manualNow_ = 0;
    double origin_ = 0;
    std::optional<std::int64_t> wakeAt_;  // when the page next wakes, if it will
    long wakeTimer_ = 0;
    std::int64_t lastWake_ = 0;
    bool focusShown_ = false;
    const WindowSpec* stage_ = nullptr;
    emscripten::val screen_ = emscripten::val::null();
    std::vector<WebForm*> forms_;
    WebForm* onScreen_ = nullptr;
    std::vector<std::function<void()>> later_;
};

}  // namespace screens
