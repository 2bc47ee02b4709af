// The game window alone, playing one course with nobody clicking: the
// workload of the CPU figures, made repeatable for a profiler. The chance is
// fixed, so every run draws the same sums at the same paces.
//
//   idle_play [SECONDS] [COURSE]      (20 s, course 1)
//
// Under callgrind, count only the play (not the start-up):
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*::play(*' idle_play
#include "game/session.h"
#include "platform/qt/fonts.h"
#include "platform/qt/qt_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

namespace {

int ticks = 0;

// Chooses the course and lets the window run for `seconds`.
__attribute__((noinline)) void play(platform::QtWindow& window, const game::Form1& form, int course, int seconds)
{
    QObject::connect(&window, &platform::QtWindow::ticked, [](forms::ControlId) { ++ticks; });
    static_cast<QAbstractButton*>(window.widget(form.controls().rebel[course]))->click();
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    const int course = argc > 2 ? std::atoi(argv[2]) : 1;
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    platform::registerBundledFonts();

    game::Rng random([] { return std::uint64_t{20240601}; }, 7);
    game::Session session(random, false);
    platform::QtWindow window(session);
    window.show();
    // Settle: the first frame is painted and the window is idle.
    QEventLoop settle;
    QTimer::singleShot(1000, &settle, &QEventLoop::quit);
    settle.exec();

    play(window, session.rules(), course < 1 || course > 6 ? 1 : course, seconds);
    std::printf("%d s of play, course %d: %d ticks\n", seconds, course, ticks);
    return 0;
}
