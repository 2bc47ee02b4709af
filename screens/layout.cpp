#include "layout.h"

namespace screens {

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

}  // namespace screens
