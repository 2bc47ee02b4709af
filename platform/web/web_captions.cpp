// How a window's captions are measured as the browser draws them, set in
// smaller type where they must fit their boxes, and placed along their
// labels.
#include "web_window.h"

#include "css.h"
#include "elements.h"

#include <cmath>

namespace platform {
namespace {

using emscripten::val;
using namespace forms;

// Text widths in the window's pixels, measured as the browser draws them,
// without laying out the page.
int captionWidth(bool bold, int pixels, const std::string& caption)
{
    if (caption.empty())
        return 0;
    static val context = val::null();
    if (context.isNull())
        context = createElement("canvas", "").call<val>("getContext", std::string("2d"));
    // The faces the page's style gives every control (the site's build
    // writes them there from the table's list).
    static const std::string family =
        "px " + val::global("getComputedStyle")(val::global("document")["body"])["fontFamily"].as<std::string>();
    context.set("font", std::string(bold ? "bold " : "") + std::to_string(pixels) + family);
    return static_cast<int>(std::lround(context.call<val>("measureText", caption)["width"].as<double>()));
}

}  // namespace

// A caption is the label's one line of text, moved along it by its indent
// to where the layout puts it: a caption placed absolutely inside its label
// would cost every frame work on it while the label moves.
int WebWindow::fitType(ControlId id)
{
    const ControlSpec& d = model_.design(id);
    Control& c = controls_[static_cast<std::size_t>(id)];
    int width = captionWidth(d.font.bold, layout_.fontPixels(id), model_[id].caption);
    if (!d.fitCaption)
        return width;
    // Type as designed, or smaller until the caption fits its box.
    const int room = whole(layout_.box(id).width) - (d.kind == Kind::Button ? Layout::kButtonEdges : 0);
    int pixels = layout_.fittedPixels(id, width);
    if (pixels != layout_.fontPixels(id)) {
        while (pixels > 1 && (width = captionWidth(d.font.bold, pixels, model_[id].caption)) > room)
            --pixels;
    }
    const int fitted = pixels == layout_.fontPixels(id) ? 0 : pixels;
    if (fitted != c.fitted)
        setStyle(c.style, "font-size", px(pixels));
    c.fitted = fitted;
    return width;
}

void WebWindow::placeCaption(ControlId id)
{
    const Control& c = controls_[static_cast<std::size_t>(id)];
    const CaptionRoom room = layout_.captionRoom(id, fitType(id));
    setStyle(c.style, "text-indent", px(room.at - whole(layout_.box(id).left)));
    // Only a caption that runs past its box is cut: a clip costs the page a
    // layer of its own work on every frame.
    setStyle(c.style, "overflow", room.cut ? "hidden" : "visible");
}

void WebWindow::remeasure()
{
    for (ControlId id = 0; id < model_.size(); ++id) {
        if (model_.design(id).kind == Kind::Label)
            placeCaption(id);
    }
}

}  // namespace platform
