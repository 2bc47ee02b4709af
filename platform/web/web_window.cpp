#include "web_window.h"

#include "css.h"
#include "elements.h"
#include "web_page.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdlib>

namespace platform {
namespace {

using emscripten::val;
using namespace forms;

// The platform's own colours, as the browser edition chooses them.
std::uint32_t rgbOf(Colour colour)
{
    switch (colour.role) {
    case Colour::Role::Window:
        return 0xFFFFFF;
    case Colour::Role::WindowText:
    case Colour::Role::ButtonText:
        return 0x000000;
    case Colour::Role::Fixed:
        break;
    }
    return colour.rgb;
}

// Where an element stands in its window: its box, or for a line, two pixels
// wide on its path.
struct Box {
    int left, top, width, height;
};

Box boxOf(Kind kind, const Rect& r)
{
    if (kind != Kind::Line)
        return {whole(r.left), whole(r.top), whole(r.width), whole(r.height)};
    const float x1 = r.left, y1 = r.top, x2 = r.left + r.width, y2 = r.top + r.height;
    const int left = static_cast<int>(std::min(x1, x2)) - 1, top = static_cast<int>(std::min(y1, y2)) - 1;
    return {left, top, static_cast<int>(std::max(x1, x2)) - left + 1, static_cast<int>(std::max(y1, y2)) - top + 1};
}

int nextSerial = 1;

// Draws `text` as a QR code in `canvas`, a pixel a module with a module's
// light margin, with the page's QR library; no text, no code. The library
// is fetched when the first code is drawn (the single-file edition holds it already); a code
// asked for meanwhile is drawn when it comes, and nothing is drawn if it
// never does: the card's short code says the same.
EM_JS(void, permoro_draw_code, (emscripten::EM_VAL element, const char* chars), {
    const canvas = Emval.toValue(element);
    canvas.permoroCode = UTF8ToString(chars);
    const draw = () => {
        const text = canvas.permoroCode;
        const pen = canvas.getContext("2d");
        if (!text) {
            pen.clearRect(0, 0, canvas.width, canvas.height);
            return;
        }
        const code = qrcode(0, "L");
        code.addData(text, "Byte");
        code.make();
        const side = code.getModuleCount();
        canvas.width = canvas.height = side + 2;
        pen.fillStyle = "#FFFFFF";
        pen.fillRect(0, 0, side + 2, side + 2);
        pen.fillStyle = "#000000";
        for (let y = 0; y < side; ++y)
            for (let x = 0; x < side; ++x)
                if (code.isDark(y, x))
                    pen.fillRect(x + 1, y + 1, 1, 1);
    };
    canvas.permoroDraw = draw;
    if (!canvas.permoroCode || typeof qrcode === "function")
        return draw();
    Module.permoroCodes = Module.permoroCodes || new Set();
    Module.permoroCodes.add(canvas);
    if (document.getElementById("qrcode"))
        return;
    const script = document.createElement("script");
    script.id = "qrcode";
    script.src = "qrcode.js";
    script.onload = () => {
        Module.permoroCodes.forEach((waiting) => waiting.permoroDraw());
        Module.permoroCodes.clear();
    };
    script.onerror = () => script.remove();  // the next card asks again
    document.head.appendChild(script);
});

}  // namespace

// The number in an element's data, as the window wrote it; -1 if none.
int controlNumber(const std::string& text)
{
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9' || n > 100000)
            return -1;
        n = n * 10 + (c - '0');
    }
    return text.empty() ? -1 : n;
}

WebWindow::WebWindow(FormLogic& logic, WebPage& page)
    : model_(logic.model()), page_(page), layout_(logic.model().spec()), driver_(logic, *this),
      serial_(nextSerial++), window_(createElement("section", "window")),
      controls_(static_cast<std::size_t>(model_.size())), motions_(model_, driver_.schedule(), page, serial_)
{
    motions_.setLayout(layout_, deviceScale_);
    const WindowSpec& spec = model_.spec();
    window_.call<void>("setAttribute", std::string("aria-label"), std::string(spec.caption));
    const val style = window_["style"];
    setStyle(style, "width", px(layout_.width()));
    setStyle(style, "height", px(layout_.height()));
    setStyle(style, "background-color", css(rgbOf(spec.back)));
    setStyle(style, "display", "none");

    // An element added later lies above those before it, so the table is
    // built from its last row up: first the controls of the window itself,
    // then those held by a container.
    const int n = model_.size();
    for (bool contained : {false, true}) {
        for (ControlId id = n - 1; id >= 0; --id) {
            if ((model_.design(id).parent != kNoControl) == contained)
                create(id);
        }
    }
    page_.screen().call<void>("appendChild", window_);
    page_.attach(this);
    driver_.load(page_.now());
}

WebWindow::~WebWindow()
{
    page_.detach(this);
    window_.call<void>("remove");
}

void WebWindow::create(ControlId id)
{
    const ControlSpec& d = model_.design(id);
    Control& c = controls_[static_cast<std::size_t>(id)];
    switch (d.kind) {
    case Kind::Button:
        c.element = createElement("button", "button");
        c.element.set("type", std::string("button"));
        c.element.call<void>("addEventListener", std::string("click"), val::module_property("permoroClick"));
        break;
    case Kind::Label:
        c.element = createElement("div", "label");
        c.caption = createElement("span", "");
        c.element.call<void>("appendChild", c.caption);
        break;
    case Kind::Line:
        c.element = createElement("div", "line");
        break;
    case Kind::Shape:
        c.element = createElement("div", "shape");
        break;
    case Kind::Picture:
        c.element = createElement("div", "picture");
        break;
    case Kind::Code:
        c.element = createElement("canvas", "code");
        c.element.call<void>("setAttribute", std::string("role"), std::string("img"));
        c.element.call<void>("setAttribute", std::string("aria-label"), std::string(d.spokenName));
        break;
    case Kind::Timer:
        return;  // the schedule runs it
    }
    val dataset = c.element["dataset"];
    dataset.set("form", serial_);
    dataset.set("control", id);
    if (d.kind == Kind::Button || d.kind == Kind::Label) {
        if (!d.description.empty())
            c.element.call<void>("setAttribute", std::string("aria-description"), std::string(d.description));
        // A polite live region (heard, never seen, as the page's own
        // visually hidden text), or a countdown never read out by itself.
        if (d.live == Live::Announce) {
            c.element.call<void>("setAttribute", std::string("role"), std::string("status"));
            c.element.set("className", std::string("label unseen"));
        } else if (d.live == Live::Timer) {
            c.element.call<void>("setAttribute", std::string("role"), std::string("timer"));
        }
    } else if (d.kind != Kind::Code) {
        c.element.call<void>("setAttribute", std::string("aria-hidden"), std::string("true"));
    }

    // The design state in one assignment: a page builds faster so.
    std::string design;
    const auto add = [&design](const char* property, const std::string& value) {
        design += std::string(property) + ":" + value + ";";
    };
    const Box box = boxOf(d.kind, layout_.box(id));
    add("left", px(box.left));
    add("top", px(box.top));
    add("width", px(box.width));
    add("height", px(box.height));
    if (d.font.points > 0) {
        add("font-size", px(layout_.fontPixels(id)));
        add("font-weight", d.font.bold ? "bold" : "normal");
    }
    if (!d.picture.empty()) {
        // ":/opening/haikei.gif" is the page's variable --opening-haikei-gif.
        std::string name(d.picture.substr(d.picture.starts_with(":/") ? 2 : 0));
        for (char& ch : name) {
            if (ch == '/' || ch == '.')
                ch = '-';
        }
        add("background-image", "var(--" + name + ")");
    }
    c.style = c.element["style"];
    c.style.set("cssText", design);

    const val parent = d.parent == kNoControl ? window_ : element(d.parent);
    parent.call<void>("appendChild", c.element);
}

void WebWindow::show()
{
    shown_ = true;
    setStyle(window_["style"], "display", "block");
    page_.onScreen(this);
}

void WebWindow::hide()
{
    shown_ = false;
    setStyle(window_["style"], "display", "none");
}

void WebWindow::wakeAt(std::optional<std::int64_t>)
{
    page_.scheduleWake();
}

ControlId WebWindow::focused() const
{
    const val active = val::global("document")["activeElement"];
    if (active.isNull() || active.isUndefined())
        return kNoControl;
    const val dataset = active["dataset"];
    if (dataset.isUndefined() || dataset["form"].isUndefined() ||
        controlNumber(dataset["form"].as<std::string>()) != serial_)
        return kNoControl;
    return controlNumber(dataset["control"].as<std::string>());
}

void WebWindow::focus(ControlId id)
{
    if (id != kNoControl)
        element(id).call<void>("focus");
    else if (const ControlId held = focused(); held != kNoControl)
        element(held).call<void>("blur");
}

void WebWindow::key(const val& event)
{
    const std::string name = event["key"].as<std::string>();
    KeyPress key;
    if (name == "Tab")
        key.key = event["shiftKey"].as<bool>() ? Key::BackTab : Key::Tab;
    else if (name == "ArrowLeft")
        key.key = Key::Left;
    else if (name == "ArrowRight")
        key.key = Key::Right;
    else if (name == "ArrowUp")
        key.key = Key::Up;
    else if (name == "ArrowDown")
        key.key = Key::Down;
    else if (name == " ")
        key.key = Key::Activate;
    else if (name == "Enter")
        key = {Key::Activate, kEnter};
    else if (name == "Backspace")
        key = {Key::Character, kBackspace};
    else if (name == "Escape")
        key = {Key::Character, kEscape};
    else if (name.size() == 1)
        key = {Key::Character, name[0]};
    const bool shortcut = event["ctrlKey"].as<bool>() || event["altKey"].as<bool>() || event["metaKey"].as<bool>();
    // The page's own handling (scrolling, the browser's Tab order, a second
    // click from Space or Enter on a button) would act on the game's keys
    // as well.
    if (driver_.key({key, event["repeat"].as<bool>(), shortcut}, page_.now()))
        event.call<void>("preventDefault");
}

void WebWindow::draw()
{
    if (model_.changed()) {
        for (ControlId id = 0; id < model_.size(); ++id) {
            if (const std::uint8_t changes = model_.changes(id))
                mirror(id, changes);
        }
    }
    // A control the browser moves is checked at every draw: its timer may
    // have stopped or changed its pace without a new Top.
    motions_.check();
}

void WebWindow::mirror(ControlId id, std::uint8_t changes)
{
    const ControlSpec& d = model_.design(id);
    const ControlState& s = model_[id];
    Control& c = controls_[static_cast<std::size_t>(id)];
    if (d.kind == Kind::Timer)
        return;

    if (changes & kColours) {
        switch (d.kind) {
        case Kind::Button:
            // Variables of the button's look: a disabled button engraves
            // its caption in the same panel.
            setStyle(c.style, "--back", css(rgbOf(s.back)));
            setStyle(c.style, "--fore", ink(rgbOf(s.fore)));
            break;
        case Kind::Label: {
            // The background covers the parts of the box the table gives:
            // the whole box, or the box less what it leaves to the labels
            // beneath it, one layer a part. (Painted as layers even when
            // whole: a plain background colour under large text leaves a
            // faint seam along its edge at some scales.)
            const Rect& box = layout_.box(id);
            const std::string colour = css(rgbOf(s.back));
            std::string images, sizes, positions;
            for (const Rect& r : layout_.background(id)) {
                const char* comma = images.empty() ? "" : ",";
                images += comma + ("linear-gradient(" + colour + "," + colour + ")");
                sizes += comma + px(whole(r.width)) + " " + px(whole(r.height));
                positions += comma + px(whole(r.left) - whole(box.left)) + " " + px(whole(r.top) - whole(box.top));
            }
            setStyle(c.style, "background", "no-repeat");
            setStyle(c.style, "background-image", images.empty() ? std::string("none") : images);
            setStyle(c.style, "background-size", sizes);
            setStyle(c.style, "background-position", positions);
            setStyle(c.style, "color", ink(rgbOf(s.fore)));
            // Text in its own background's colour is out of sight, as the
            // points of the courses not chosen: out of screen readers' too.
            const val caption = c.caption["style"];
            if (rgbOf(s.fore) == rgbOf(s.back))
                setStyle(caption, "visibility", "hidden");
            else
                caption.call<void>("removeProperty", std::string("visibility"));
            break;
        }
        case Kind::Line:
            setStyle(c.style, "background-color", ink(rgbOf(s.fore)));
            break;
        case Kind::Shape:
        case Kind::Picture:
            setStyle(c.style, "background-color", css(rgbOf(s.back)));
            break;
        case Kind::Code:
        case Kind::Timer:
            break;
        }
    }
    if (changes & kCaption) {
        if (d.kind == Kind::Button) {
            c.element.set("textContent", s.caption);
            fitType(id);
        } else if (d.kind == Kind::Label) {
            c.caption.set("textContent", s.caption);
            placeCaption(id);
        } else if (d.kind == Kind::Code) {
            permoro_draw_code(c.element.as_handle(), s.caption.c_str());
        }
    }
    if ((changes & kTop) && d.kind != Kind::Line)
        motions_.moved(id, c.element);
    if ((changes & kEnabled) && d.kind == Kind::Button)
        c.element.set("disabled", !s.enabled);
    // A button with no name of its own is called by its caption.
    if ((changes & kSpoken) && d.kind == Kind::Button) {
        if (s.spoken.empty())
            c.element.call<void>("removeAttribute", std::string("aria-label"));
        else
            c.element.call<void>("setAttribute", std::string("aria-label"), s.spoken);
    }
    if ((changes & kPressed) && d.toggle)
        c.element.call<void>("setAttribute", std::string("aria-pressed"), std::string(s.pressed ? "true" : "false"));
    if (changes & kVisible) {
        if (s.visible)
            c.style.call<void>("removeProperty", std::string("visibility"));
        else
            setStyle(c.style, "visibility", "hidden");
    }
}

void WebWindow::setScale(double scale, double pixelRatio)
{
    if (scale == scale_ && scale * pixelRatio == deviceScale_)
        return;
    scale_ = scale;
    deviceScale_ = scale * pixelRatio;
    setStyle(window_["style"], "zoom", fixed(scale, 6));
    motions_.setLayout(layout_, deviceScale_);
}

// Another geometry: every element to its new box and size of text, and
// everything that depends on them placed again.
void WebWindow::setGeometry(const Geometry* geometry)
{
    if (geometry == layout_.geometry())
        return;
    layout_ = Layout(model_.spec(), geometry);
    const val windowStyle = window_["style"];
    setStyle(windowStyle, "width", px(layout_.width()));
    setStyle(windowStyle, "height", px(layout_.height()));
    window_["dataset"].set("geometry", std::string(geometry ? geometry->name : "design"));
    for (ControlId id = 0; id < model_.size(); ++id) {
        const ControlSpec& d = model_.design(id);
        if (d.kind == Kind::Timer)
            continue;
        const val& style = controls_[static_cast<std::size_t>(id)].style;
        const Box box = boxOf(d.kind, layout_.box(id));
        setStyle(style, "left", px(box.left));
        setStyle(style, "top", px(box.top));
        setStyle(style, "width", px(box.width));
        setStyle(style, "height", px(box.height));
        if (d.font.points > 0)
            setStyle(style, "font-size", px(layout_.fontPixels(id)));
        controls_[static_cast<std::size_t>(id)].fitted = 0;
        if (d.kind == Kind::Label)
            mirror(id, kColours | kCaption);
        else if (d.fitCaption)
            fitType(id);
    }
    motions_.setLayout(layout_, deviceScale_);
}

}  // namespace platform
