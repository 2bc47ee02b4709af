// Keys as events: a key press becomes a click on a button or a move of
// the keyboard focus, by the window's key table (control.h). Every
// realisation of a window handles keys through this, and the rules never
// learn whether a click or a key came.
#pragma once

#include "form_model.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace forms {

enum class Key : std::uint8_t { Other, Tab, BackTab, Left, Right, Up, Down, Activate, Character };

struct KeyPress {
    Key key = Key::Other;
    char character = 0;  // for Key::Character; for Key::Activate, the key's own (Enter) or none
};

struct KeyOutcome {
    ControlId focus = kNoControl;  // the control that takes the focus, or kNoControl: it stays
    ControlId press = kNoControl;  // the button the key presses, or kNoControl
    bool handled() const { return focus != kNoControl || press != kNoControl; }
};

class Keyboard {
public:
    // Reads the key table of the model's window.
    explicit Keyboard(const FormModel& model);

    // What a key does with `focused` holding the focus (kNoControl: none).
    // A key never presses a hidden or disabled button.
    KeyOutcome press(ControlId focused, KeyPress key) const;

    // Where the focus belongs once the window has changed: `focused` while
    // it can still hold the focus, else the next button in Tab order that
    // can (passing over those set aside), else none.
    ControlId settle(ControlId focused) const;

    // Whether the window's key table gives the character a button at all.
    bool binds(char character) const;

    // Whether the button is in the Tab order at all.
    bool inOrder(ControlId id) const { return cell(id) != nullptr; }

private:
    // The first button bound to the key that takes clicks now, or none.
    ControlId bound(char character) const;
    struct Cell {
        ControlId id;
        int group, column, row;
        bool aside;
    };
    struct Binding {
        char key;
        ControlId id;
    };
    const Cell* cell(ControlId id) const;
    bool focusable(ControlId id) const;  // in the Tab order, shown and enabled
    // The next button through the Tab order that can take the focus; with
    // `landing`, not one set aside.
    ControlId step(ControlId from, int direction, bool landing = false) const;
    ControlId neighbour(const Cell& from, int dx, int dy) const;

    const FormModel& model_;
    std::vector<Cell> cells_;
    std::vector<Binding> bindings_;
};

}  // namespace forms
