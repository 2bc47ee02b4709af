// The browser page that shows the program's windows: one clock for them
// all, the wakes for their timers, the browser's events, and the geometry
// and scale at which every window fits the viewport.
#pragma once

#include "forms/control.h"

#include <emscripten/val.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

using forms::ControlId;

class PageWindow;

class WebPage {
public:
    // Reads the page's address: with `?clock=manual` the clock stands still
    // and only advance() moves it, so that tests step the timers exactly.
    WebPage();
    ~WebPage();
    WebPage(const WebPage&) = delete;
    WebPage& operator=(const WebPage&) = delete;

    bool manualClock() const { return manual_; }
    // Milliseconds since the page started, or the manual clock's time.
    std::int64_t now() const;
    // Manual clock only: runs every tick due within the next `milliseconds`,
    // in time order and each at its own moment, then draws once.
    void advance(std::int64_t milliseconds);

    // A parameter of the page's address, or "" when it has none.
    std::string parameter(const std::string& name) const;
    // The address's whole query, "?" and all.
    std::string query() const;
    // One line above the game for whoever set the page up (a teacher);
    // the game moves down to make room for it.
    void showNotice(const std::string& line);

    // The window that sets the scale of every window: the largest, in the
    // geometry it takes for the screen. No window is drawn larger than it
    // would be at that scale.
    void setStage(const forms::WindowSpec& spec);

    // The element that holds the windows.
    emscripten::val screen() const { return screen_; }

    void attach(PageWindow* window);
    void detach(PageWindow* window);
    // The window on screen takes the keys and names the page.
    void onScreen(PageWindow* window);

    // Runs `work` once the current event is over (a window must not be
    // destroyed inside its own handler).
    void later(std::function<void()> work);

    // The browser's events.
    void click(int serial, ControlId id);
    void key(const emscripten::val& event);
    void pointer();
    void wake();
    void layout();
    void fontsLoaded();
    void hidden();

    // Sets the page's next wake for the earliest wake its windows ask for.
    void scheduleWake();
    // The time of the page's animation timeline at `time` of its clock.
    double timelineTime(std::int64_t time) const;

private:
    // Runs the ticks of every window due by `time`, earliest first, each at
    // its own moment on the manual clock.
    void runDue(std::int64_t time, bool stepClock);
    // After the page's own wake or step: every window draws, and waiting
    // work runs.
    void afterEvent();
    void runLater();

    bool manual_ = false;
    std::int64_t manualNow_ = 0;
    double origin_ = 0;
    std::optional<std::int64_t> wakeAt_;  // when the page next wakes, if it will
    long wakeTimer_ = 0;
    const forms::WindowSpec* stage_ = nullptr;
    emscripten::val screen_ = emscripten::val::null();
    std::vector<PageWindow*> windows_;
    PageWindow* onScreen_ = nullptr;
    std::vector<std::function<void()>> later_;
};

}  // namespace platform
