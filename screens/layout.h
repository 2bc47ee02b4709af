// A window's controls placed for one screen: as designed, or by another
// geometry of the window (control.h). Whatever draws the window asks this
// where each control goes; the logic never knows.
#pragma once

#include "control.h"

#include <vector>

namespace screens {

class Layout {
public:
    // The design's geometry when `geometry` is null.
    explicit Layout(const WindowSpec& spec, const Geometry* geometry = nullptr);

    const Geometry* geometry() const { return geometry_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // The box of a control (for a line: from (left, top) to (left + width, top + height)).
    const Rect& box(ControlId id) const { return boxes_[static_cast<std::size_t>(id)]; }
    // The size of its caption in pixels.
    int fontPixels(ControlId id) const { return fonts_[static_cast<std::size_t>(id)]; }
    // The top of its box, in pixels, when the logic has set its `Top` to `top`.
    double topAt(ControlId id, float top) const;
    // Where it paints its background (see WindowSpec::background).
    std::vector<Rect> background(ControlId id) const { return spec_->background(id, boxes_); }

private:
    const WindowSpec* spec_;
    const Geometry* geometry_;
    int width_, height_;
    std::vector<Rect> boxes_;
    std::vector<int> fonts_;
};

}  // namespace screens
