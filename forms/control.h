// The vocabulary of a window described as data: what kinds of controls
// there are and how each one stands when its window is loaded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace forms {

// Index of a control in its window's table.
using ControlId = int;
inline constexpr ControlId kNoControl = -1;

// A Code draws its caption as a QR code, as large as its box allows, dark on
// its back colour; a screen reader calls it by its spoken name.
enum class Kind : std::uint8_t { Timer, Button, Label, Line, Shape, Picture, Code };

// A colour is either a fixed #RRGGBB value or one of the platform's own.
struct Colour {
    enum class Role : std::uint8_t { Fixed, Window, WindowText, ButtonText };
    Role role = Role::Fixed;
    std::uint32_t rgb = 0;  // 0xRRGGBB, for Role::Fixed

    static constexpr Colour fixed(std::uint32_t rgb) { return {Role::Fixed, rgb}; }
    static constexpr Colour window() { return {Role::Window, 0}; }
    static constexpr Colour windowText() { return {Role::WindowText, 0}; }
    static constexpr Colour buttonText() { return {Role::ButtonText, 0}; }
    friend constexpr bool operator==(Colour, Colour) = default;
};

namespace colours {
inline constexpr Colour white = Colour::fixed(0xFFFFFF);
inline constexpr Colour black = Colour::fixed(0x000000);
inline constexpr Colour peach = Colour::fixed(0xFFE0C0);
inline constexpr Colour lightYellow = Colour::fixed(0xFFFFC0);
inline constexpr Colour lightCyan = Colour::fixed(0xC0FFFF);
inline constexpr Colour lightGreen = Colour::fixed(0xC0FFC0);
inline constexpr Colour blue = Colour::fixed(0x0000FF);
inline constexpr Colour red = Colour::fixed(0xFF0000);
inline constexpr Colour orange = Colour::fixed(0xFF8000);
inline constexpr Colour pink = Colour::fixed(0xFFC0C0);
inline constexpr Colour lavender = Colour::fixed(0xC0C0FF);
// The background of a line for a teacher above or under the game.
inline constexpr Colour notice = Colour::fixed(0xFFF4C8);
}  // namespace colours

enum class Align : std::uint8_t { Left, Centre, Right };

// How a screen reader follows a label's caption.
enum class Live : std::uint8_t {
    Off,       // read when the reader comes to it
    Announce,  // heard, never seen: each new caption is said at once, politely
    Timer,     // a countdown: never read out by itself
};

// A rectangle in pixels of the client area. Fractions are allowed where a
// design size is not a whole number of pixels; drawing rounds them.
struct Rect {
    float left = 0, top = 0, width = 0, height = 0;
};

// The faces every control's text asks for, first found first: the design's
// own Japanese Gothic where the system has it, then the bundled one.
inline constexpr std::string_view kFaces[] = {"ＭＳ ゴシック", "BIZ UDGothic"};

struct Font {
    float points = 0;  // 0: the control draws no text
    bool bold = false;
    // Size in pixels on a 96-dpi screen, so that layout never depends on the
    // desktop's font resolution.
    constexpr int pixelSize() const { return static_cast<int>(points * 96.0f / 72.0f + 0.5f); }
};

// One row of a window's table: a control as designed.
struct ControlSpec {
    std::string_view name;
    int index = -1;  // element of a control array; -1 for a single control
    Kind kind = Kind::Label;
    Rect rect;       // for a line: from (left, top) to (left + width, top + height)
    std::string_view caption;
    Colour back = colours::white;
    Colour fore = Colour::windowText();
    Font font;
    Align align = Align::Left;
    bool visible = true;
    bool enabled = true;
    int interval = 0;                   // timers, in milliseconds
    ControlId parent = kNoControl;      // picture boxes held by a container
    std::string_view picture;           // resource name of the picture, if any
    std::string_view description;       // what the control is, for screen readers
    // A label draws inside its own box and cuts a longer caption at the
    // box's edge, as designed. Captions the game writes that may outgrow
    // their box (a verdict, a five-digit score) are shown whole instead.
    bool wholeCaption = false;
    // A caption the game writes that may be wider than its box (a falling
    // sum of three numbers, a teacher's course on its button) is drawn in
    // smaller type until it fits, never cut and never over its neighbours.
    bool fitCaption = false;
    // A button that stays pressed or not (its state is ControlState::pressed).
    bool toggle = false;
    // The name a screen reader says, where the caption is a picture (♪, a
    // QR code).
    std::string_view spokenName;
    // The timer whose every tick moves this control one vertical unit down
    // (a falling sum), so that a realisation can have the motion drawn
    // between the ticks it wakes for.
    std::string_view movedBy;
    Live live = Live::Off;
};

// The characters a key table uses for the Esc, Backspace and Enter keys.
// Enter presses the focused button, unless a button bound to it takes
// clicks at that moment.
inline constexpr char kEscape = '\x1b';
inline constexpr char kBackspace = '\b';
inline constexpr char kEnter = '\r';

// A character key that presses a button. A key may stand in several rows:
// the first of its controls that takes clicks at that moment is pressed, so
// the same digit can choose a course at rest and answer during a game.
struct KeyBinding {
    char key;
    std::string_view control;
    int index = -1;
};

// A button that can hold the keyboard focus. Rows are listed in Tab order;
// the arrow keys move to the nearest cell of the same group on the same line.
struct FocusCell {
    std::string_view control;
    int index = -1;
    int group = 0;
    int column = 0;
    int row = 0;
    // A button beside the game (a toggle): Tab reaches it, but the focus
    // never passes to it by itself when the focused button goes away.
    bool aside = false;
};

// How a window is worked from the keyboard: plain data, like its controls.
struct KeyTable {
    std::span<const KeyBinding> keys;
    std::span<const FocusCell> focus;
};

// The place of one control in another geometry of its window.
struct Placement {
    std::string_view control;
    int index = -1;
    Rect rect;              // in the geometry's pixels; for a line, from and to as in the design
    float fontPixels = 0;  // the caption's size; 0 keeps the design's
};

// Another geometry for the same controls: the same captions, colours, font
// and stacking, in boxes laid out for another shape of screen. A control
// whose `Top` the logic moves keeps its path: a `Top` of t draws it at
// its box's top plus (t - its design Top) x `verticalUnit`, so every
// threshold and timing of the logic stays as it is.
struct Geometry {
    std::string_view name;
    int width = 0;
    int height = 0;
    // Which screens it serves: those whose width over height is at least
    // `minAspect` and below `maxAspect`, and (if `lowerThan` is set) lower
    // than `lowerThan` pixels.
    double minAspect = 0;
    double maxAspect = 1e9;
    int lowerThan = 0;
    double verticalUnit = 1.0;
    std::span<const Placement> placements;  // one for every control that is drawn
};

// A window as designed: frame, client area and its controls in stacking
// order (a control listed earlier lies above those after it).
struct WindowSpec {
    std::string_view name;
    std::string_view caption;
    int clientWidth = 0;
    int clientHeight = 0;
    Colour back = colours::white;
    bool toolWindow = false;
    std::string_view icon;
    // Height in pixels of one vertical unit of the window's own coordinates.
    double verticalUnit = 1.0;
    std::span<const ControlSpec> controls;
    KeyTable keys = {};
    // Other geometries for other screens (the browser edition's).
    std::span<const Geometry> geometries = {};

    // The control called `name` (element `index` of an array), or kNoControl.
    constexpr ControlId find(std::string_view controlName, int index = -1) const
    {
        for (std::size_t id = 0; id < controls.size(); ++id) {
            if (controls[id].name == controlName && controls[id].index == index)
                return static_cast<ControlId>(id);
        }
        return kNoControl;
    }

    // The first name that the table gives and that names none of its
    // controls (in its keys, its Tab order, its geometries or a control's
    // `movedBy`), or none when every one resolves. A window table checks
    // itself with it when it is compiled.
    constexpr std::optional<std::string_view> unresolvedName() const
    {
        for (const KeyBinding& k : keys.keys) {
            if (find(k.control, k.index) == kNoControl)
                return k.control;
        }
        for (const FocusCell& f : keys.focus) {
            if (find(f.control, f.index) == kNoControl)
                return f.control;
        }
        for (const Geometry& g : geometries) {
            for (const Placement& p : g.placements) {
                if (find(p.control, p.index) == kNoControl)
                    return p.control;
            }
        }
        for (const ControlSpec& c : controls) {
            if (!c.movedBy.empty() && find(c.movedBy) == kNoControl)
                return c.movedBy;
        }
        return std::nullopt;
    }

    // The geometry for a screen of this size, or none: the design's.
    const Geometry* geometryFor(double width, double height) const;

    // Where a control paints its background, in pixels of the client area:
    // its box (`boxes`, one a control; the design's if empty), except that
    // a label in the window's own colour leaves out the boxes of the labels
    // beneath it that show the game's text whole. It would look the same
    // there, but would blank their top (the large countdown reaches down
    // over the verdict).
    std::vector<Rect> background(ControlId id, std::span<const Rect> boxes = {}) const;
};

}  // namespace forms
