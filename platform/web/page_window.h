// A window as the page sees it: what the page asks of the windows it shows
// (their clocks, their events, their geometry and scale). The page knows its
// windows only through this, so that a window knows its page and not the
// other way round; WebWindow (web_window.h) is the one that answers it.
#pragma once

#include "forms/driver.h"
#include "forms/layout.h"

#include <emscripten/val.h>

#include <string>

namespace platform {

// The number in an element's data (its window's serial, its control), as a
// window wrote it; -1 if none.
int controlNumber(const std::string& text);

class PageWindow {
public:
    virtual ~PageWindow() = default;

    virtual bool shown() const = 0;
    // Tells this window's elements from those of another.
    virtual int serial() const = 0;
    virtual const forms::FormModel& model() const = 0;
    virtual forms::Driver& driver() = 0;

    // A key pressed while the window is on screen.
    virtual void key(const emscripten::val& event) = 0;

    // The window's geometry for the screen (null: the design's).
    virtual void setGeometry(const forms::Geometry* geometry) = 0;
    virtual const forms::Layout& layout() const = 0;
    // The window is drawn `scale` times its size, on a screen of
    // `pixelRatio` device pixels to the CSS pixel.
    virtual void setScale(double scale, double pixelRatio) = 0;
    // The bundled font has come: whole captions are measured again.
    virtual void remeasure() = 0;
};

}  // namespace platform
