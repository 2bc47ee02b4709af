// Draws the game window as the desktop edition shows it, offscreen, after a
// script of events in virtual time, so that the browser edition's tests can
// compare their screenshots with it.
//
//   render_reference OUT.png STEP...
//
// Steps: advance:MS (time passes; the opening hands over on its own),
// course:K (a click on course button K), right:N (a click on the right
// answer of problem N), pause (a click on the pause toggle), card (a click
// on the result card's button after a game). The random source reads the virtual time and starts
// from seed 1, as the browser edition does on its manual clock.
#include "game/session.h"
#include "game/random.h"
#include "game/cright.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_window.h"
#include "support/virtual_clock.h"

#include <QApplication>
#include <QImage>
#include <cstdio>
#include <memory>
#include <string>

namespace {

class Script {
public:
    Script() : random_([this] { return static_cast<std::uint64_t>(now()); }, 1), opening_(cright_) { opening_.load(); }

    std::int64_t now() const { return clock_ ? handOverAt_ + clock_->now() : opening_.now(); }

    void advance(std::int64_t milliseconds)
    {
        const std::int64_t until = now() + milliseconds;
        if (!session_)
            opening_.advanceTo(until);
        if (clock_)
            clock_->advanceTo(until - handOverAt_);
    }

    bool course(int k)
    {
        if (!clock_)
            return false;
        clock_->click(session_->rules().controls().rebel[k]);
        return true;
    }

    bool right(int n)
    {
        if (!clock_)
            return false;
        for (int k = 1; k <= 3; ++k) {
            const forms::ControlId id = session_->rules().controls().kotae[n][k];
            if (session_->model().clickable(id) &&
                game::captionValue(session_->model()[id].caption) == session_->rules().vars().answer[n]) {
                clock_->click(id);
                return true;
            }
        }
        return false;
    }

    // The result card's button, once a game is over.
    bool card()
    {
        if (!clock_ || !session_->model().clickable(session_->controls().kekka))
            return false;
        clock_->click(session_->controls().kekka);
        return true;
    }

    bool pause()
    {
        if (!clock_ || !session_->model().clickable(session_->controls().yasumi))
            return false;
        clock_->click(session_->controls().yasumi);
        return true;
    }

    QImage grab()
    {
        view_->mirror();
        return view_->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

private:
    void handOver()
    {
        handOverAt_ = opening_.now();
        session_ = std::make_unique<game::Session>(random_, true);
        view_ = std::make_unique<platform::QtWindow>(*session_);
        clock_ = std::make_unique<testing::VirtualClock>(*session_);
    }

    game::Rng random_;
    game::Cright cright_{[this] { handOver(); }};
    testing::VirtualClock opening_;
    std::int64_t handOverAt_ = 0;
    std::unique_ptr<game::Session> session_;
    std::unique_ptr<platform::QtWindow> view_;
    std::unique_ptr<testing::VirtualClock> clock_;
};

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: render_reference OUT.png STEP...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    if (!platform::registerBundledFonts())
        return 1;

    Script script;
    for (int i = 2; i < argc; ++i) {
        const std::string step = argv[i];
        const std::size_t colon = step.find(':');
        const std::string verb = step.substr(0, colon);
        const long value = colon == std::string::npos ? -1 : std::stol(step.substr(colon + 1));
        const bool done = verb == "advance" ? (script.advance(value), true)
                          : verb == "course" ? script.course(static_cast<int>(value))
                          : verb == "right"  ? script.right(static_cast<int>(value))
                          : verb == "pause"  ? script.pause()
                          : verb == "card"   ? script.card()
                                             : false;
        if (!done) {
            std::fprintf(stderr, "render_reference: cannot do %s\n", step.c_str());
            return 1;
        }
    }
    if (!script.grab().save(QString::fromLocal8Bit(argv[1])))
        return 1;
    return 0;
}
