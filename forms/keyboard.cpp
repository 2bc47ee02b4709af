#include "keyboard.h"

namespace forms {

Keyboard::Keyboard(const FormModel& model) : model_(model)
{
    const WindowSpec& spec = model.spec();
    const KeyTable& table = spec.keys;
    for (const FocusCell& f : table.focus) {
        if (const ControlId id = spec.find(f.control, f.index); id != kNoControl)
            cells_.push_back({id, f.group, f.column, f.row, f.aside});
    }
    for (const KeyBinding& b : table.keys) {
        if (const ControlId id = spec.find(b.control, b.index); id != kNoControl)
            bindings_.push_back({b.key, id});
    }
}

const Keyboard::Cell* Keyboard::cell(ControlId id) const
{
    for (const Cell& c : cells_) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

bool Keyboard::focusable(ControlId id) const
{
    return cell(id) && model_.clickable(id);
}

ControlId Keyboard::step(ControlId from, int direction, bool landing) const
{
    const int n = static_cast<int>(cells_.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (cells_[static_cast<std::size_t>(i)].id == from)
            at = i;
    }
    // From nowhere, Tab starts at the first button and Shift+Tab at the last.
    if (at < 0)
        at = direction > 0 ? n - 1 : 0;
    for (int k = 1; k <= n; ++k) {
        const Cell& c = cells_[static_cast<std::size_t>(((at + direction * k) % n + n) % n)];
        if (model_.clickable(c.id) && !(landing && c.aside))
            return c.id;
    }
    return kNoControl;
}

ControlId Keyboard::neighbour(const Cell& from, int dx, int dy) const
{
    // The nearest button that can take the focus, in that direction on the
    // same line of the same group; nothing past the group's edge.
    const Cell* best = nullptr;
    int bestDistance = 0;
    for (const Cell& c : cells_) {
        const bool sameLine = dx != 0 ? c.row == from.row : c.column == from.column;
        const int distance = (c.column - from.column) * dx + (c.row - from.row) * dy;
        if (c.group == from.group && sameLine && distance > 0 && (!best || distance < bestDistance) &&
            model_.clickable(c.id)) {
            best = &c;
            bestDistance = distance;
        }
    }
    return best ? best->id : kNoControl;
}

KeyOutcome Keyboard::press(ControlId focused, KeyPress key) const
{
    KeyOutcome out;
    const Cell* at = focusable(focused) ? cell(focused) : nullptr;
    switch (key.key) {
    case Key::Tab:
        out.focus = step(at ? focused : kNoControl, +1);
        break;
    case Key::BackTab:
        out.focus = step(at ? focused : kNoControl, -1);
        break;
    case Key::Left:
    case Key::Right:
    case Key::Up:
    case Key::Down: {
        if (!at) {
            out.focus = step(kNoControl, +1);
            break;
        }
        const int dx = key.key == Key::Left ? -1 : key.key == Key::Right ? 1 : 0;
        const int dy = key.key == Key::Up ? -1 : key.key == Key::Down ? 1 : 0;
        out.focus = neighbour(*at, dx, dy);
        break;
    }
    case Key::Activate:
        out.press = bound(key.character);
        if (out.press == kNoControl && at)
            out.press = focused;
        break;
    case Key::Character:
        out.press = bound(key.character);
        break;
    case Key::Other:
        break;
    }
    return out;
}

ControlId Keyboard::bound(char character) const
{
    for (const Binding& b : bindings_) {
        if (character != 0 && b.key == character && model_.clickable(b.id))
            return b.id;
    }
    return kNoControl;
}

bool Keyboard::binds(char character) const
{
    for (const Binding& b : bindings_) {
        if (b.key == character)
            return true;
    }
    return false;
}

ControlId Keyboard::settle(ControlId focused) const
{
    if (focused == kNoControl || focusable(focused))
        return focused;
    return step(focused, +1, true);
}

}  // namespace forms
