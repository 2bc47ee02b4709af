#include "form_model.h"

#include <algorithm>

namespace forms {

FormModel::FormModel(const WindowSpec& spec)
    : spec_(&spec), state_(spec.controls.size()), changes_(spec.controls.size(), 0xFF)
{
    for (ControlId id = 0; id < size(); ++id) {
        const ControlSpec& d = design(id);
        ControlState& s = state_[static_cast<std::size_t>(id)];
        s.caption = d.caption;
        s.spoken = d.spokenName;
        s.top = designTop(id);
        s.visible = d.visible;
        s.enabled = d.enabled;
        s.back = d.back;
        s.fore = d.fore;
        s.interval = d.interval;
    }
}

float FormModel::designTop(ControlId id) const
{
    return static_cast<float>(design(id).rect.top / spec_->verticalUnit);
}

void FormModel::mark(ControlId id, Change change)
{
    changes_[static_cast<std::size_t>(id)] |= change;
    anyChange_ = true;
}

void FormModel::clearChanges()
{
    std::fill(changes_.begin(), changes_.end(), 0);
    anyChange_ = false;
}

void FormModel::setCaption(ControlId id, std::string_view caption)
{
    if (ControlState* s = at(id); s && s->caption != caption) {
        s->caption = caption;
        mark(id, kCaption);
    }
}

void FormModel::setTop(ControlId id, float top)
{
    if (ControlState* s = at(id); s && s->top != top) {
        s->top = top;
        mark(id, kTop);
    }
}

void FormModel::setVisible(ControlId id, bool visible)
{
    if (ControlState* s = at(id); s && s->visible != visible) {
        s->visible = visible;
        mark(id, kVisible);
    }
}

void FormModel::setEnabled(ControlId id, bool enabled)
{
    ControlState* s = at(id);
    if (!s || s->enabled == enabled)
        return;
    s->enabled = enabled;
    if (enabled && design(id).kind == Kind::Timer)
        ++s->starts;
    mark(id, design(id).kind == Kind::Timer ? kTimer : kEnabled);
}

void FormModel::setInterval(ControlId id, int milliseconds)
{
    ControlState* s = at(id);
    if (!s || design(id).kind != Kind::Timer || s->interval == milliseconds)
        return;
    s->interval = milliseconds;
    if (s->enabled)
        ++s->starts;
    mark(id, kTimer);
}

void FormModel::setBack(ControlId id, Colour colour)
{
    if (ControlState* s = at(id); s && s->back != colour) {
        s->back = colour;
        mark(id, kColours);
    }
}

void FormModel::setFore(ControlId id, Colour colour)
{
    if (ControlState* s = at(id); s && s->fore != colour) {
        s->fore = colour;
        mark(id, kColours);
    }
}

void FormModel::setPressed(ControlId id, bool pressed)
{
    if (ControlState* s = at(id); s && s->pressed != pressed) {
        s->pressed = pressed;
        mark(id, kPressed);
    }
}

void FormModel::setSpoken(ControlId id, std::string_view spoken)
{
    if (ControlState* s = at(id); s && s->spoken != spoken) {
        s->spoken = spoken;
        mark(id, kSpoken);
    }
}

void FormModel::announce(ControlId id, std::string_view words, std::string_view between)
{
    // More than this waiting at once is old news: the latest words only.
    constexpr std::size_t kMostWaiting = 400;
    ControlState* s = at(id);
    if (!s || words.empty())
        return;
    const bool waiting = (changes_[static_cast<std::size_t>(id)] & kCaption) && !s->caption.empty();
    std::string caption = waiting && s->caption.size() + words.size() < kMostWaiting
                              ? s->caption + std::string(between) + std::string(words)
                              : std::string(words);
    // A screen reader hears a live region when its text changes.
    if (caption == s->caption)
        caption += between;
    s->caption = std::move(caption);
    mark(id, kCaption);
}

void FormModel::holdTimers(bool held)
{
    timersHeld_ = held;
}

bool FormModel::clickable(ControlId id) const
{
    return valid(id) && design(id).kind == Kind::Button && (*this)[id].visible && (*this)[id].enabled;
}

}  // namespace forms
