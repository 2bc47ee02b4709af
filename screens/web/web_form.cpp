#include "web_form.h"

#include "web_page.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace screens {
namespace {

using emscripten::val;

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

std::string css(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

// A colour of text: a variable of the page's style, so that a theme (more
// contrast) can put a darker ink in its place; the design's colour else.
std::string ink(std::uint32_t rgb)
{
    char text[40];
    std::snprintf(text, sizeof text, "var(--ink-%06x, #%06X)", static_cast<unsigned>(rgb & 0xFFFFFF),
                  static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::string px(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4fpx", value);
    return text;
}

std::string text(std::string_view s)
{
    return std::string(s);
}

int whole(float value)
{
    return static_cast<int>(std::lround(value));
}

// Sets a property of an element's style object (kept, so that a frame
// does not look it up again).
void setStyle(const val& style, const char* property, const std::string& value)
{
    style.call<void>("setProperty", std::string(property), value);
}

val createElement(const char* tag, const char* className)
{
    val e = val::global("document").call<val>("createElement", std::string(tag));
    e.set("className", std::string(className));
    return e;
}

// Text widths in the window's pixels, measured as the browser draws them,
// without laying out the page.
double captionWidth(bool bold, int pixels, const std::string& caption)
{
    static val context = val::null();
    if (context.isNull())
        context = createElement("canvas", "").call<val>("getContext", std::string("2d"));
    context.set("font", std::string(bold ? "bold " : "") + std::to_string(pixels) +
                            "px \"ＭＳ ゴシック\", \"BIZ UDGothic\", sans-serif");
    return context.call<val>("measureText", caption)["width"].as<double>();
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

// The elements of the controls that move, by a number of their own, so that
// moving them passes no text between the program and the page.
EM_JS(void, permoro_keep_moving, (int key, emscripten::EM_VAL element), {
    Module.permoroMoving = Module.permoroMoving || new Map();
    Module.permoroMoving.set(key, Emval.toValue(element));
});

EM_JS(void, permoro_forget_moving, (int from, int to), {
    if (Module.permoroMoving)
        for (let key = from; key < to; ++key)
            Module.permoroMoving.delete(key);
});

// Puts a moving control `from` pixels below its place at design, and if
// `duration` is not 0 has the browser move it on to `to` in `steps` even
// steps, the first a step's time after `start` on the page's animation
// timeline.
EM_JS(void, permoro_move, (int key, double from, double to, double start, double duration, int steps), {
    const element = Module.permoroMoving.get(key);
    if (element.permoroMotion)
        element.permoroMotion.cancel();
    element.permoroMotion = null;
    element.style.transform = from ? "translateY(" + from + "px)" : "none";
    if (duration > 0) {
        const motion = element.animate(
            [ {transform : "translateY(" + from + "px)"}, {transform : "translateY(" + to + "px)"} ],
            {duration : duration, easing : "steps(" + steps + ", end)", fill : "forwards"});
        motion.startTime = start;
        element.permoroMotion = motion;
    }
});

}  // namespace

WebForm::WebForm(FormLogic& logic, WebPage& page)
    : logic_(logic), model_(logic.model()), page_(page), schedule_(logic.model()), keyboard_(logic.model()),
      layout_(logic.model().spec()), browserMoves_(!page.manualClock()), serial_(nextSerial++),
      window_(createElement("section", "window"))
{
    const WindowSpec& spec = model_.spec();
    window_.call<void>("setAttribute", std::string("aria-label"), text(spec.caption));
    const val style = window_["style"];
    setStyle(style, "width", px(layout_.width()));
    setStyle(style, "height", px(layout_.height()));
    setStyle(style, "background-color", css(rgbOf(spec.back)));
    setStyle(style, "display", "none");

    const int n = model_.size();
    elements_.assign(static_cast<std::size_t>(n), val::null());
    styles_.assign(static_cast<std::size_t>(n), val::null());
    captions_.assign(static_cast<std::size_t>(n), val::null());
    shifts_.assign(static_cast<std::size_t>(n), 0.0);
    motions_.assign(static_cast<std::size_t>(n), Motion{});
    drivers_.assign(static_cast<std::size_t>(n), kNoControl);
    lastTops_.resize(static_cast<std::size_t>(n));
    for (ControlId id = 0; id < n; ++id)
        lastTops_[static_cast<std::size_t>(id)] = model_[id].top;
    // An element added later lies above those before it, so the table is
    // built from its last row up: first the controls of the window itself,
    // then those held by a container.
    for (bool contained : {false, true}) {
        for (ControlId id = n - 1; id >= 0; --id) {
            if ((model_.design(id).parent != kNoControl) == contained)
                create(id);
        }
    }
    page_.screen().call<void>("appendChild", window_);
    page_.attach(this);

    logic_.load();
    for (ControlId id = 0; id < n; ++id)
        mirror(id, 0xFF);
    model_.clearChanges();
    schedule_.sync(page_.now());
}

WebForm::~WebForm()
{
    permoro_forget_moving(serial_ * model_.size(), (serial_ + 1) * model_.size());
    page_.detach(this);
    window_.call<void>("remove");
}

void WebForm::create(ControlId id)
{
    const ControlSpec& d = model_.design(id);
    if (d.kind == Kind::Timer)
        return;  // the schedule runs it

    val e = val::null();
    switch (d.kind) {
    case Kind::Button:
        e = createElement("button", "button");
        e.set("type", std::string("button"));
        e.call<void>("addEventListener", std::string("click"), val::module_property("permoroClick"));
        break;
    case Kind::Label:
        e = createElement("div", "label");
        captions_[static_cast<std::size_t>(id)] = createElement("span", "");
        e.call<void>("appendChild", captions_[static_cast<std::size_t>(id)]);
        break;
    case Kind::Line:
        e = createElement("div", "line");
        break;
    case Kind::Shape:
        e = createElement("div", "shape");
        break;
    case Kind::Picture:
        e = createElement("div", "picture");
        break;
    case Kind::Timer:
        return;
    }
    val dataset = e["dataset"];
    dataset.set("form", serial_);
    dataset.set("control", id);
    if (d.kind == Kind::Button || d.kind == Kind::Label) {
        if (!d.description.empty())
            e.call<void>("setAttribute", std::string("aria-description"), text(d.description));
        if (!d.spokenName.empty())
            e.call<void>("setAttribute", std::string("aria-label"), text(d.spokenName));
    } else {
        e.call<void>("setAttribute", std::string("aria-hidden"), std::string("true"));
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
        for (char& c : name) {
            if (c == '/' || c == '.')
                c = '-';
        }
        add("background-image", "var(--" + name + ")");
    }
    val style = e["style"];
    style.set("cssText", design);

    elements_[static_cast<std::size_t>(id)] = e;
    styles_[static_cast<std::size_t>(id)] = style;
    const val parent = d.parent == kNoControl ? window_ : elements_[static_cast<std::size_t>(d.parent)];
    parent.call<void>("appendChild", e);
}

void WebForm::setRole(ControlId id, const std::string& role)
{
    if (id < 0 || id >= model_.size() || elements_[static_cast<std::size_t>(id)].isNull())
        return;
    element(id).call<void>("setAttribute", std::string("role"), role);
}

void WebForm::show()
{
    shown_ = true;
    setStyle(window_["style"], "display", "block");
    page_.onScreen(this);
}

void WebForm::hide()
{
    shown_ = false;
    setStyle(window_["style"], "display", "none");
}

bool WebForm::runTick(std::int64_t now)
{
    const std::optional<TimerSchedule::Tick> tick = schedule_.takeDue(now);
    if (!tick)
        return false;
    logic_.tick(tick->timer);
    schedule_.sync(tick->at);
    // Which timer moves which control: the one whose tick changed its Top.
    if (browserMoves_) {
        for (const ControlId id : movers_) {
            float& last = lastTops_[static_cast<std::size_t>(id)];
            if (model_[id].top != last) {
                last = model_[id].top;
                drivers_[static_cast<std::size_t>(id)] = tick->timer;
            }
        }
    }
    return true;
}

void WebForm::hidden()
{
    const std::int64_t time = page_.now();
    page_.runDue(time);
    logic_.hidden();
    schedule_.sync(time);
}

void WebForm::click(ControlId id)
{
    const std::int64_t time = page_.now();
    page_.runDue(time);
    logic_.click(id);
    schedule_.sync(time);
    page_.afterEvent();
}

ControlId WebForm::focusedControl() const
{
    const val active = val::global("document")["activeElement"];
    if (active.isNull() || active.isUndefined())
        return kNoControl;
    const val dataset = active["dataset"];
    if (dataset.isUndefined() || dataset["form"].isUndefined() ||
        dataset["form"].as<std::string>() != std::to_string(serial_))
        return kNoControl;
    return std::stoi(dataset["control"].as<std::string>());
}

void WebForm::key(const val& event)
{
    if (event["ctrlKey"].as<bool>() || event["altKey"].as<bool>() || event["metaKey"].as<bool>())
        return;
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
    else if (name == " " || name == "Enter")
        key.key = Key::Activate;
    else if (name == "Escape" && keyboard_.binds(kEscape))
        key = {Key::Character, kEscape};
    else if (name.size() == 1 && keyboard_.binds(name[0]))
        key = {Key::Character, name[0]};
    else
        return;
    // The page's own handling (scrolling, the browser's Tab order, a second
    // click from Space or Enter on a button) would act on the key as well.
    event.call<void>("preventDefault");
    // A key held down presses once; the focus may travel with it.
    if ((key.key == Key::Activate || key.key == Key::Character) && event["repeat"].as<bool>())
        return;

    // While the focus is not shown (a button the mouse pressed holds it
    // unseen), keys start from no focus, as on the desktop.
    ControlId focused = focusedControl();
    if (!page_.focusShown()) {
        if (focused != kNoControl)
            element(focused).call<void>("blur");
        focused = kNoControl;
        page_.showFocus();
    }
    const KeyOutcome outcome = keyboard_.press(focused, key);
    if (outcome.focus != kNoControl)
        element(outcome.focus).call<void>("focus");
    if (outcome.press != kNoControl)
        click(outcome.press);  // exactly as a click
}

void WebForm::draw()
{
    // The focus is read before the elements change: a button that is about
    // to be disabled or hidden still holds it. Only such a change moves it.
    bool focusMayMove = false;
    for (ControlId id = 0; model_.changed() && id < model_.size() && !focusMayMove; ++id)
        focusMayMove = (model_.changes(id) & (kEnabled | kVisible)) && model_.design(id).kind == Kind::Button;
    const ControlId focused = focusMayMove ? focusedControl() : kNoControl;
    if (model_.changed()) {
        for (ControlId id = 0; id < model_.size(); ++id) {
            if (const std::uint8_t changes = model_.changes(id))
                mirror(id, changes);
        }
        model_.clearChanges();
    }
    // A control the browser moves is checked at every wake: its timer may
    // have stopped or changed its pace without a new Top.
    for (const ControlId id : movers_) {
        if (motions_[static_cast<std::size_t>(id)].moving)
            follow(id, false);
    }
    if (focused != kNoControl) {
        const ControlId settled = keyboard_.settle(focused);
        if (settled != focused && settled != kNoControl)
            element(settled).call<void>("focus");
    }
}

void WebForm::mirror(ControlId id, std::uint8_t changes)
{
    const ControlSpec& d = model_.design(id);
    const ControlState& s = model_[id];
    if (d.kind == Kind::Timer || !changes)
        return;
    val e = element(id);
    const val& style = styles_[static_cast<std::size_t>(id)];

    if (changes & kColours) {
        switch (d.kind) {
        case Kind::Button:
            // Variables of the button's look: a disabled button engraves
            // its caption in the same panel.
            setStyle(style, "--back", css(rgbOf(s.back)));
            setStyle(style, "--fore", ink(rgbOf(s.fore)));
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
            setStyle(style, "background", "no-repeat");
            setStyle(style, "background-image", images.empty() ? std::string("none") : images);
            setStyle(style, "background-size", sizes);
            setStyle(style, "background-position", positions);
            setStyle(style, "color", ink(rgbOf(s.fore)));
            // Text in its own background's colour is out of sight, as the
            // points of the courses not chosen: out of screen readers' too.
            const val caption = captions_[static_cast<std::size_t>(id)]["style"];
            if (rgbOf(s.fore) == rgbOf(s.back))
                setStyle(caption, "visibility", "hidden");
            else
                caption.call<void>("removeProperty", std::string("visibility"));
            break;
        }
        case Kind::Line:
            setStyle(style, "background-color", ink(rgbOf(s.fore)));
            break;
        case Kind::Shape:
        case Kind::Picture:
            setStyle(style, "background-color", css(rgbOf(s.back)));
            break;
        case Kind::Timer:
            break;
        }
    }
    if (changes & kCaption) {
        if (d.kind == Kind::Button) {
            e.set("textContent", s.caption);
        } else if (d.kind == Kind::Label) {
            captions_[static_cast<std::size_t>(id)].set("textContent", s.caption);
            placeCaption(id);
        }
    }
    if ((changes & kTop) && d.kind != Kind::Line)
        placeTop(id);
    if (changes & kEnabled) {
        if (d.kind == Kind::Button)
            e.set("disabled", !s.enabled);
    }
    if ((changes & kPressed) && d.toggle)
        e.call<void>("setAttribute", std::string("aria-pressed"), std::string(s.pressed ? "true" : "false"));
    if (changes & kVisible) {
        if (s.visible)
            style.call<void>("removeProperty", std::string("visibility"));
        else
            setStyle(style, "visibility", "hidden");
    }
}

// A control stays where it was laid out at design; a new `Top` moves it by a
// transform, which the browser composes without laying out or painting the
// page again. The distance is rounded to the screen's pixels, as the
// desktop rounds a `Top` to whole pixels.
void WebForm::placeTop(ControlId id)
{
    lastTops_[static_cast<std::size_t>(id)] = model_[id].top;
    // A control that moves once will move again: it gets a layer of its own
    // the first time.
    if (!moved(id)) {
        movers_.push_back(id);
        setStyle(styles_[static_cast<std::size_t>(id)], "will-change", "transform");
        permoro_keep_moving(serial_ * model_.size() + id, element(id).as_handle());
    }
    if (browserMoves_)
        return follow(id, false);
    const double shift = shiftAt(id, model_[id].top);
    double& shown = shifts_[static_cast<std::size_t>(id)];
    if (shift == shown)
        return;  // not a whole screen pixel away yet
    permoro_move(serial_ * model_.size() + id, shift, shift, 0, 0, 0);
    shown = shift;
}

bool WebForm::moved(ControlId id) const
{
    return std::find(movers_.begin(), movers_.end(), id) != movers_.end();
}

double WebForm::shiftAt(ControlId id, double top) const
{
    const double grid = deviceScale_;
    return std::round(layout_.topAt(id, static_cast<float>(top)) * grid) / grid - whole(layout_.box(id).top);
}

// On the page's own clock, a control that a timer moves one unit a tick is
// handed to the browser, which moves it pixel by pixel at the timer's pace
// without waking the page; the page only checks, when it wakes, that the
// control's Top is where that motion said, and hands over a new motion when
// it is not (a new pace, a new sum, a stop, a pause). So a falling sum costs
// the page nothing between the moments its motion changes.
void WebForm::follow(ControlId id, bool again)
{
    Motion& m = motions_[static_cast<std::size_t>(id)];
    const float top = model_[id].top;
    const ControlId driver = drivers_[static_cast<std::size_t>(id)];
    const std::optional<std::int64_t> due = driver == kNoControl ? std::nullopt : schedule_.due(driver);
    const int interval = due ? model_[driver].interval : 0;
    const bool moves = due && interval > 0 && !schedule_.held() && model_[id].visible;
    if (!again && m.moving == moves && m.interval == (moves ? interval : 0)) {
        const std::int64_t now = page_.now();
        const float expected =
            m.top + (moves && now >= m.due ? static_cast<float>((now - m.due) / m.interval + 1) : 0.0f);
        if (expected == top)
            return;
    }
    const int key = serial_ * model_.size() + id;
    const double from = shiftAt(id, top);
    m = {moves, top, due.value_or(0), moves ? interval : 0};
    if (!moves)
        return permoro_move(key, from, from, 0, 0, 0);
    // On until it has left the window: the ticks it takes, at the pace of
    // a unit a tick, starting one tick before the next is due.
    const double unit = layout_.topAt(id, top + 1) - layout_.topAt(id, top);
    const double room = layout_.height() - layout_.topAt(id, top);
    const int units = unit > 0 ? static_cast<int>(std::clamp(std::ceil(room / unit) + 1, 1.0, 100000.0)) : 1;
    const double to = shiftAt(id, static_cast<double>(top) + units);
    const int steps = std::max(1, static_cast<int>(std::lround(std::abs(to - from) * deviceScale_)));
    permoro_move(key, from, to, page_.timelineTime(*due - interval), static_cast<double>(units) * interval, steps);
}

// A caption stands at the top of its label, aligned left, right or centred.
// A longer one is cut at the label's edge, keeping its alignment; a label
// that shows its whole caption widens around its alignment instead, inside
// the window.
void WebForm::placeCaption(ControlId id)
{
    const ControlSpec& d = model_.design(id);
    const std::string& caption = model_[id].caption;
    const Rect& box = layout_.box(id);
    const int width = whole(box.width);
    const int needed =
        caption.empty() ? 0 : static_cast<int>(std::lround(captionWidth(d.font.bold, layout_.fontPixels(id), caption)));
    int left = 0, right = width - 1;  // of the text's room, from the label's left edge
    if (d.wholeCaption && needed > width) {
        const int extra = needed - width;
        switch (d.align) {
        case Align::Left:
            right += extra;
            break;
        case Align::Right:
            left -= extra;
            break;
        case Align::Centre:
            left -= extra / 2;
            right += extra - extra / 2;
            break;
        }
        const int boxLeft = whole(box.left), windowWidth = layout_.width();
        if (boxLeft + right > windowWidth - 1) {
            left -= boxLeft + right - (windowWidth - 1);
            right = windowWidth - 1 - boxLeft;
        }
        if (boxLeft + left < 0) {
            right -= boxLeft + left;
            left = -boxLeft;
        }
    }
    const int free = right - left + 1 - needed;
    const int at = left + (d.align == Align::Left ? 0 : d.align == Align::Right ? free : free / 2);
    // The caption is the label's one line of text, moved along it by its
    // indent: a caption placed absolutely inside its label would cost every
    // frame work on it while the label moves.
    setStyle(styles_[static_cast<std::size_t>(id)], "text-indent", px(at));
    // Only a caption that runs past its box is cut: a clip costs the page a
    // layer of its own work on every frame.
    setStyle(styles_[static_cast<std::size_t>(id)], "overflow", !d.wholeCaption && needed > width ? "hidden" : "visible");
}

// A control that has moved, on another grid or in another geometry.
void WebForm::replace(ControlId id)
{
    if (!moved(id))
        return;
    if (browserMoves_)
        return follow(id, true);
    shifts_[static_cast<std::size_t>(id)] = std::nan("");
    placeTop(id);
}

void WebForm::setScale(double scale, double pixelRatio)
{
    if (scale == scale_ && scale * pixelRatio == deviceScale_)
        return;
    scale_ = scale;
    deviceScale_ = scale * pixelRatio;
    setStyle(window_["style"], "zoom", std::to_string(scale));
    for (ControlId id = 0; id < model_.size(); ++id)
        replace(id);  // the same top may be another shift on the new grid
}

// Another geometry: every element to its new box and size of text, and
// everything that depends on them placed again.
void WebForm::setGeometry(const Geometry* geometry)
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
        const val& style = styles_[static_cast<std::size_t>(id)];
        const Box box = boxOf(d.kind, layout_.box(id));
        setStyle(style, "left", px(box.left));
        setStyle(style, "top", px(box.top));
        setStyle(style, "width", px(box.width));
        setStyle(style, "height", px(box.height));
        if (d.font.points > 0)
            setStyle(style, "font-size", px(layout_.fontPixels(id)));
        if (d.kind == Kind::Label)
            mirror(id, kColours | kCaption);
        replace(id);
    }
}

void WebForm::remeasure()
{
    for (ControlId id = 0; id < model_.size(); ++id) {
        if (model_.design(id).kind == Kind::Label)
            placeCaption(id);
    }
}

}  // namespace screens
