#include "control.h"

#include <algorithm>

namespace forms {

namespace {

bool overlap(const Rect& a, const Rect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// The parts of `r` outside `hole`: the bands above and below it, and the
// pieces left and right of it.
void cutOut(const Rect& r, const Rect& hole, std::vector<Rect>& out)
{
    if (!overlap(r, hole)) {
        out.push_back(r);
        return;
    }
    const float top = std::max(r.top, hole.top), bottom = std::min(r.top + r.height, hole.top + hole.height);
    const float left = std::max(r.left, hole.left), right = std::min(r.left + r.width, hole.left + hole.width);
    if (top > r.top)
        out.push_back({r.left, r.top, r.width, top - r.top});
    if (bottom < r.top + r.height)
        out.push_back({r.left, bottom, r.width, r.top + r.height - bottom});
    if (left > r.left)
        out.push_back({r.left, top, left - r.left, bottom - top});
    if (right < r.left + r.width)
        out.push_back({right, top, r.left + r.width - right, bottom - top});
}

}  // namespace

std::vector<Rect> WindowSpec::background(ControlId id, std::span<const Rect> boxes) const
{
    const auto box = [&](std::size_t at) -> const Rect& { return boxes.empty() ? controls[at].rect : boxes[at]; };
    const ControlSpec& c = controls[static_cast<std::size_t>(id)];
    std::vector<Rect> parts{box(static_cast<std::size_t>(id))};
    if (c.kind != Kind::Label || c.back.role != Colour::Role::Window)
        return parts;
    for (std::size_t below = static_cast<std::size_t>(id) + 1; below < controls.size(); ++below) {
        if (!controls[below].wholeCaption)
            continue;
        std::vector<Rect> rest;
        for (const Rect& r : parts)
            cutOut(r, box(below), rest);
        parts = std::move(rest);
    }
    return parts;
}

const Geometry* WindowSpec::geometryFor(double width, double height) const
{
    if (width <= 0 || height <= 0)
        return nullptr;
    const double aspect = width / height;
    for (const Geometry& g : geometries) {
        if (aspect >= g.minAspect && aspect < g.maxAspect && (g.lowerThan == 0 || height < g.lowerThan))
            return &g;
    }
    return nullptr;
}

}  // namespace forms
