#include "web_page.h"

#include "css.h"
#include "page_window.h"

#include <emscripten/bind.h>
#include <emscripten/emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {
namespace {

using emscripten::val;

WebPage* thePage = nullptr;

val document()
{
    return val::global("document");
}

void listen(const val& target, const char* event, const char* handler)
{
    target.call<void>("addEventListener", std::string(event), val::module_property(handler));
}

// The browser's callbacks. Each takes the one argument the browser passes.
void onClick(val event)
{
    if (!thePage)
        return;
    const val dataset = event["currentTarget"]["dataset"];
    const int serial = controlNumber(dataset["form"].as<std::string>());
    thePage->click(serial, controlNumber(dataset["control"].as<std::string>()));
}

void onKey(val event)
{
    if (thePage)
        thePage->key(event);
}

void onWake(void*)
{
    if (thePage)
        thePage->wake();
}

void onPointer(val)
{
    if (thePage)
        thePage->pointer();
}

void onResize(val)
{
    if (thePage)
        thePage->layout();
}

void onVisibility(val)
{
    if (thePage && document()["hidden"].as<bool>())
        thePage->hidden();
}

void onFontsLoaded(val)
{
    if (thePage)
        thePage->fontsLoaded();
}

// The manual clock, for tests: Module.advanceClock(ms), Module.clockNow().
void advanceClock(double milliseconds)
{
    if (thePage && thePage->manualClock() && milliseconds >= 0)
        thePage->advance(static_cast<std::int64_t>(milliseconds));
}

double clockNow()
{
    return thePage ? static_cast<double>(thePage->now()) : 0.0;
}

}  // namespace

WebPage::WebPage()
{
    thePage = this;
    manual_ = parameter("clock") == "manual";
    origin_ = emscripten_get_now();

    screen_ = document().call<val>("getElementById", std::string("screen"));
    if (screen_.isNull()) {
        screen_ = document().call<val>("createElement", std::string("main"));
        screen_.set("id", std::string("screen"));
        document()["body"].call<void>("appendChild", screen_);
    }
    const val window = val::global("window");
    listen(window, "resize", "permoroResize");
    listen(document(), "keydown", "permoroKey");
    listen(document(), "pointerdown", "permoroPointer");
    listen(document(), "visibilitychange", "permoroVisibility");
    // The bundled font is asked for at once: the first window shows no
    // text, and captions are measured in it.
    const val fonts = document()["fonts"];
    listen(fonts, "loadingdone", "permoroFontsLoaded");
    for (const char* font : {"16px \"BIZ UDGothic\"", "bold 16px \"BIZ UDGothic\""})
        fonts.call<val>("load", std::string(font));
}

WebPage::~WebPage()
{
    if (thePage == this)
        thePage = nullptr;
}

std::string WebPage::parameter(const std::string& name) const
{
    const val query = val::global("URLSearchParams").new_(val::global("location")["search"]);
    const val value = query.call<val>("get", name);
    return value.isNull() ? std::string() : value.as<std::string>();
}

std::string WebPage::query() const
{
    return val::global("location")["search"].as<std::string>();
}

void WebPage::showNotice(const std::string& line)
{
    val notice = document().call<val>("getElementById", std::string("notice"));
    if (notice.isNull() || line.empty())
        return;
    notice.set("textContent", line);  // text, never markup
    notice.set("hidden", false);
    document()["body"]["classList"].call<void>("add", std::string("noticed"));
    layout();
}

std::int64_t WebPage::now() const
{
    if (manual_)
        return manualNow_;
    return static_cast<std::int64_t>(std::floor(emscripten_get_now() - origin_));
}

void WebPage::setStage(const forms::WindowSpec& spec)
{
    stage_ = &spec;
    layout();
}

// Each window takes the geometry its table gives for the shape of the
// viewport, and every window is drawn at one scale: the largest at which the
// stage fits the viewport (a smaller window shrinks further only if it
// would not fit). The browser lays the windows out at that size, so text is
// drawn afresh for the screen, never enlarged as a picture.
void WebPage::layout()
{
    if (!stage_)
        return;
    // The viewport less the page's padding, which keeps the game clear of a
    // notch and of rounded corners.
    const val window = val::global("window");
    // The notice wraps: the game starts below however many lines it takes.
    const val notice = document().call<val>("getElementById", std::string("notice"));
    if (!notice.isNull() && !notice["hidden"].as<bool>()) {
        document()["body"]["style"].call<void>("setProperty", std::string("padding-top"),
            "calc(env(safe-area-inset-top, 0px) + " + px(notice["offsetHeight"].as<double>()) + ")");
    }
    const val padding = window.call<val>("getComputedStyle", document()["body"]);
    const val parse = val::global("parseFloat");
    const auto inset = [&](const char* side) {
        const double pixels = parse(padding.call<val>("getPropertyValue", std::string(side))).as<double>();
        return std::isfinite(pixels) ? pixels : 0.0;
    };
    const double width = window["innerWidth"].as<double>() - inset("padding-left") - inset("padding-right");
    const double height = window["innerHeight"].as<double>() - inset("padding-top") - inset("padding-bottom");
    if (width <= 0 || height <= 0)
        return;
    const auto fit = [&](double w, double h) { return std::max(0.05, std::min(width / w, height / h)); };
    const forms::Geometry* stage = stage_->geometryFor(width, height);
    const double stageWidth = stage ? stage->width : stage_->clientWidth;
    const double stageHeight = stage ? stage->height : stage_->clientHeight;
    const double scale = fit(stageWidth, stageHeight);
    const double pixelRatio = window["devicePixelRatio"].as<double>();
    // The windows take turns in a box of the stage's size from the start,
    // so that the page does not move when one window hands over to
    // another.
    const val box = screen_["style"];
    box.call<void>("setProperty", std::string("width"), px(stageWidth * scale));
    box.call<void>("setProperty", std::string("height"), px(stageHeight * scale));
    for (PageWindow* w : windows_) {
        w->setGeometry(w->model().spec().geometryFor(width, height));
        const forms::Layout& l = w->layout();
        w->setScale(std::min(scale, fit(l.width(), l.height())), pixelRatio);
    }
}

void WebPage::attach(PageWindow* window)
{
    windows_.push_back(window);
    layout();
}

void WebPage::detach(PageWindow* window)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), window), windows_.end());
    if (onScreen_ == window)
        onScreen_ = nullptr;
}

void WebPage::onScreen(PageWindow* window)
{
    onScreen_ = window;
    document().set("title", std::string(window->model().spec().caption));
    scheduleWake();
}

void WebPage::later(std::function<void()> work)
{
    later_.push_back(std::move(work));
}

void WebPage::runLater()
{
    // Work may add more work (a window going away while another comes).
    while (!later_.empty()) {
        std::vector<std::function<void()>> work;
        work.swap(later_);
        for (auto& w : work)
            w();
    }
}

void WebPage::runDue(std::int64_t time, bool stepClock)
{
    for (;;) {
        PageWindow* first = nullptr;
        std::int64_t due = 0;
        for (PageWindow* w : windows_) {
            const std::optional<std::int64_t> next = w->driver().schedule().nextDue();
            if (next && *next <= time && (!first || *next < due)) {
                first = w;
                due = *next;
            }
        }
        if (!first)
            return;
        if (stepClock)
            manualNow_ = std::max(manualNow_, due);
        first->driver().runTick(stepClock ? manualNow_ : time);
    }
}

void WebPage::advance(std::int64_t milliseconds)
{
    const std::int64_t until = manualNow_ + milliseconds;
    runDue(until, true);
    manualNow_ = until;
    afterEvent();
}

void WebPage::afterEvent()
{
    for (PageWindow* w : windows_)
        w->driver().draw();
    runLater();
    scheduleWake();
}

void WebPage::click(int serial, ControlId id)
{
    for (PageWindow* w : windows_) {
        if (w->serial() == serial) {
            w->driver().click(id, now());
            break;
        }
    }
    runLater();
}

void WebPage::key(const val& event)
{
    if (onScreen_ && onScreen_->shown())
        onScreen_->key(event);
    runLater();
}

void WebPage::pointer()
{
    for (PageWindow* w : windows_)
        w->driver().pointer();
}

void WebPage::hidden()
{
    const std::int64_t time = now();
    for (PageWindow* w : windows_)
        w->driver().hidden(time);
    runLater();
}

void WebPage::wake()
{
    wakeAt_.reset();
    if (manual_)
        return;
    const std::int64_t time = now();
    runDue(time, false);
    for (PageWindow* w : windows_)
        w->driver().wake(time);
    runLater();
    scheduleWake();
}

void WebPage::fontsLoaded()
{
    for (PageWindow* w : windows_)
        w->remeasure();
}

// The page wakes for its windows' timers when the earliest of them asks
// (at most once in each slot of the drivers' frame, as on the desktop): the
// ticks due by then run in turn, and the page is drawn once for them all. A
// falling sum needs no wake of its own: the browser moves it (motion.h). In
// a hidden tab the browser wakes the page seldom; the game has paused by
// then, and a timer that was due goes on from the moment the page wakes.
void WebPage::scheduleWake()
{
    if (manual_)
        return;
    std::optional<std::int64_t> at;
    for (PageWindow* w : windows_) {
        if (const std::optional<std::int64_t> next = w->driver().nextWake(); next && (!at || *next < *at))
            at = next;
    }
    if (!at) {
        if (wakeAt_)
            emscripten_clear_timeout(wakeTimer_);
        wakeAt_.reset();
        return;
    }
    if (wakeAt_ && *wakeAt_ <= *at)
        return;
    if (wakeAt_)
        emscripten_clear_timeout(wakeTimer_);
    wakeAt_ = at;
    wakeTimer_ = emscripten_set_timeout(&onWake, static_cast<double>(std::max<std::int64_t>(0, *at - now())), nullptr);
}

double WebPage::timelineTime(std::int64_t time) const
{
    return origin_ + static_cast<double>(time);
}

}  // namespace platform

EMSCRIPTEN_BINDINGS(permoro_page)
{
    using namespace emscripten;
    function("permoroClick", &platform::onClick);
    function("permoroKey", &platform::onKey);
    function("permoroResize", &platform::onResize);
    function("permoroPointer", &platform::onPointer);
    function("permoroFontsLoaded", &platform::onFontsLoaded);
    function("permoroVisibility", &platform::onVisibility);
    function("advanceClock", &platform::advanceClock);
    function("clockNow", &platform::clockNow);
}
