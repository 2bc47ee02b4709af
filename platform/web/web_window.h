// A window realised from its control table as elements of the page: one
// element per control, where the geometry for the screen places it, in its
// colours and font, in stacking order. The page's events go to the window's
// driver, which runs the logic and asks the window to draw; the controls
// that timers move are the motions' (motion.h).
#pragma once

#include "motion.h"
#include "page_window.h"

#include "forms/driver.h"
#include "forms/layout.h"

#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class WebPage;

class WebWindow final : public PageWindow, private forms::Surface {
public:
    // Builds the window's elements, hidden, and runs the window's load.
    WebWindow(forms::FormLogic& logic, WebPage& page);
    ~WebWindow() override;
    WebWindow(const WebWindow&) = delete;
    WebWindow& operator=(const WebWindow&) = delete;

    void show();
    void hide();
    bool shown() const override { return shown_; }
    // Tells this window's elements from those of another.
    int serial() const override { return serial_; }

    const forms::FormModel& model() const override { return model_; }
    forms::Driver& driver() override { return driver_; }
    emscripten::val element(ControlId id) const { return controls_[static_cast<std::size_t>(id)].element; }

    // A key pressed while the window is on screen.
    void key(const emscripten::val& event) override;

    // The window's geometry for the screen (null: the design's).
    void setGeometry(const forms::Geometry* geometry) override;
    const forms::Layout& layout() const override { return layout_; }
    // The window is drawn `scale` times its size, on a screen of
    // `pixelRatio` device pixels to the CSS pixel: positions go onto that grid.
    void setScale(double scale, double pixelRatio) override;
    // The bundled font has come: whole captions are measured again.
    void remeasure() override;

private:
    // What the driver asks of the window.
    void draw() override;
    ControlId focused() const override;
    void focus(ControlId id) override;
    void showFocus(bool) override {}  // the page's style shows the focus to the keyboard only
    void wakeAt(std::optional<std::int64_t> time) override;

    // The elements of a control.
    struct Control {
        emscripten::val element = emscripten::val::null();
        emscripten::val style = emscripten::val::null();    // kept, so that a frame does not look it up again
        emscripten::val caption = emscripten::val::null();  // a label's text
        int fitted = 0;  // the size of type a fitted caption was given, 0: as designed
    };

    void create(ControlId id);
    void place(ControlId id);
    void mirror(ControlId id, std::uint8_t changes);
    void placeCaption(ControlId id);
    // Sets a caption that fits its box in smaller type where it must; the
    // caption's width in the type it is drawn in.
    int fitType(ControlId id);

    forms::FormModel& model_;
    WebPage& page_;
    forms::Layout layout_;
    forms::Driver driver_;
    int serial_;
    double scale_ = 0;
    double deviceScale_ = 1;
    bool shown_ = false;
    emscripten::val window_ = emscripten::val::null();
    std::vector<Control> controls_;
    Motions motions_;
};

}  // namespace platform
