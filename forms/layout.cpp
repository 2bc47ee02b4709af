#include "layout.h"

#include <algorithm>
#include <cmath>

namespace forms {

Layout::Layout(const WindowSpec& spec, const Geometry* geometry)
    : spec_(&spec), geometry_(geometry), width_(geometry ? geometry->width : spec.clientWidth),
      height_(geometry ? geometry->height : spec.clientHeight)
{
    boxes_.reserve(spec.controls.size());
    fonts_.reserve(spec.controls.size());
    for (const ControlSpec& c : spec.controls) {
        boxes_.push_back(c.rect);
        fonts_.push_back(c.font.pixelSize());
    }
    if (!geometry)
        return;
    for (const Placement& p : geometry->placements) {
        const ControlId id = spec.find(p.control, p.index);
        if (id == kNoControl)
            continue;
        boxes_[static_cast<std::size_t>(id)] = p.rect;
        if (p.fontPixels > 0)
            fonts_[static_cast<std::size_t>(id)] = static_cast<int>(p.fontPixels + 0.5f);
    }
}

double Layout::topAt(ControlId id, float top) const
{
    const double designTop = spec_->controls[static_cast<std::size_t>(id)].rect.top;
    if (!geometry_)
        return static_cast<double>(top) * spec_->verticalUnit;
    return box(id).top + (static_cast<double>(top) - designTop / spec_->verticalUnit) * geometry_->verticalUnit;
}

int Layout::fittedPixels(ControlId id, int captionWidth) const
{
    const int pixels = fontPixels(id);
    const ControlSpec& d = spec_->controls[static_cast<std::size_t>(id)];
    // A button keeps its raised edges clear.
    const int room = static_cast<int>(std::lround(box(id).width)) - (d.kind == Kind::Button ? kButtonEdges : 0);
    if (!d.fitCaption || captionWidth <= room || captionWidth <= 0)
        return pixels;
    return std::max(1, pixels * room / captionWidth);
}

CaptionRoom Layout::captionRoom(ControlId id, int captionWidth) const
{
    const ControlSpec& d = spec_->controls[static_cast<std::size_t>(id)];
    const Rect& b = box(id);
    CaptionRoom room{static_cast<int>(std::lround(b.left)), static_cast<int>(std::lround(b.width))};
    const int extra = captionWidth - room.width;
    if (d.wholeCaption && extra > 0) {
        switch (d.align) {
        case Align::Left:
            break;
        case Align::Right:
            room.left -= extra;
            break;
        case Align::Centre:
            room.left -= extra / 2;
            break;
        }
        room.width = captionWidth;
        room.left = std::max(0, std::min(room.left, width_ - room.width));
    }
    room.cut = captionWidth > room.width;
    const int free = room.width - captionWidth;
    room.at = room.left + (d.align == Align::Left ? 0 : d.align == Align::Right ? free : free / 2);
    return room;
}

}  // namespace forms
