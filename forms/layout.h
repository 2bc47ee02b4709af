// A window's controls placed for one screen: as designed, or by another
// geometry of the window (control.h). Whatever draws the window asks this
// where each control goes; the logic never knows.
#pragma once

#include "control.h"

#include <vector>

namespace forms {

// Where a label's caption stands, in whole pixels of the window: the room
// it is drawn in (its box, or a wider one) and the caption's left edge.
struct CaptionRoom {
    int left = 0;
    int width = 0;
    int at = 0;        // where the caption begins
    bool cut = false;  // the caption runs past the room and is cut at its edges
};

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

    // Where a label's caption `captionWidth` pixels wide stands. It keeps to
    // the top of the label's box, aligned left, right or centred; a longer
    // caption is cut at the box's edges, keeping its alignment, unless the
    // label shows its caption whole: then the room widens around the
    // alignment, moved back inside the window where it would leave it.
    CaptionRoom captionRoom(ControlId id, int captionWidth) const;
    // The size of type a caption `captionWidth` pixels wide at fontPixels()
    // is drawn in: smaller, in proportion, where the control fits its
    // caption to its box (within a button's edges) and the caption is wider.
    int fittedPixels(ControlId id, int captionWidth) const;
    // What a button's raised edges take of its width.
    static constexpr int kButtonEdges = 4;

private:
    const WindowSpec* spec_;
    const Geometry* geometry_;
    int width_, height_;
    std::vector<Rect> boxes_;
    std::vector<int> fonts_;
};

}  // namespace forms
