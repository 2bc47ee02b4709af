// Measures the real program on a real display: how fast its windows first
// paint, how much memory it holds, how faithfully the timers tick during a
// whole game, and what a second of play costs in CPU time.
//
//   realtime startup T0   T0: the launcher's clock (ns since the epoch) just before exec
//   realtime game
#include "app/program.h"
#include "platform/qt/fonts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <map>
#include <sys/resource.h>

namespace {

double wallNs()
{
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<double>(ts.tv_sec) * 1e9 + static_cast<double>(ts.tv_nsec);
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// Notes the first paint and the first show of each window by its title.
class Watcher final : public QObject {
public:
    std::map<QString, double> firstPaint, firstShow;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Show) {
            if (auto* w = qobject_cast<QWidget*>(object)) {
                auto& seen = event->type() == QEvent::Paint ? firstPaint : firstShow;
                seen.try_emplace(w->window()->windowTitle(), wallNs());
            }
        }
        return false;
    }
};

const QString kOpening = QStringLiteral("オープニング");
const QString kMain = QStringLiteral("ペルモロプラスver.1.0");

void click(platform::QtWindow* window, forms::ControlId id)
{
    if (auto* b = qobject_cast<QAbstractButton*>(window->widget(id)))
        b->click();
}

// Clicks a right answer of one of the problems.
void answerRight(Program& program, int n)
{
    const game::Form1& form = program.session()->rules();
    for (int k = 1; k <= 3; ++k) {
        const auto id = form.controls().kotae[n][k];
        if (game::captionValue(form.model()[id].caption) == form.vars().answer[n])
            return click(program.mainWindow(), id);
    }
}

// Ticks delivered against ticks asked for, per interval: each tick closes a
// gap that started at the timer's previous tick or at its (re)start.
struct Fidelity {
    struct PerTimer {
        double since = 0;
        int interval = 0;
        std::uint32_t starts = 0;
    };
    std::map<forms::ControlId, PerTimer> timers;
    std::map<int, std::pair<long, double>> perInterval;  // interval -> (ticks, ms spent)

    void restartsAfterEvent(const forms::FormModel& model, double now)
    {
        for (auto& [id, t] : timers) {
            const auto& s = model[id];
            if (s.starts != t.starts || !s.enabled) {
                t.starts = s.starts;
                t.since = now;
                t.interval = s.enabled ? s.interval : 0;
            }
        }
    }
    void tick(forms::ControlId id, double now)
    {
        PerTimer& t = timers[id];
        if (t.interval > 0) {
            auto& [ticks, spent] = perInterval[t.interval];
            ++ticks;
            spent += (now - t.since) / 1e6;
        }
        t.since = now;
    }
};

int startup(Program& program, Watcher& watcher, double t0, double loadStart)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [&, poll, t0, loadStart] {
        if (!watcher.firstPaint.count(kMain))
            return;
        poll->stop();
        // A few seconds of play, then the figures.
        click(program.mainWindow(), program.session()->rules().controls().rebel[6]);
        auto* answers = new QTimer(qApp);
        QObject::connect(answers, &QTimer::timeout, qApp, [&program] { answerRight(program, 1 + std::rand() % 3); });
        answers->start(300);
        QTimer::singleShot(3000, qApp, [&, t0, loadStart] {
            std::printf("process start -> opening window first paint: %.1f ms\n", (watcher.firstPaint[kOpening] - t0) / 1e6);
            std::printf("opening load -> hand-over (game window shown): %.1f ms (nominal 1986)\n",
                        (watcher.firstShow[kMain] - loadStart) / 1e6);
            std::printf("hand-over -> game window first paint: %.1f ms\n",
                        (watcher.firstPaint[kMain] - watcher.firstShow[kMain]) / 1e6);
            std::printf("process start -> game window first paint: %.1f ms\n", (watcher.firstPaint[kMain] - t0) / 1e6);
            std::printf("peak resident memory after 3 s of play: %.1f MB\n", static_cast<double>(peakRssKb()) / 1024.0);
            QApplication::quit();
        });
    });
    poll->start(10);
    return QApplication::exec();
}

int wholeGame(Program& program, Watcher& watcher)
{
    Fidelity fidelity;
    double clickedAt = 0, endedAt = 0, cpuAtClick = 0, cpuAtEnd = 0;
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [&, poll] {
        if (!watcher.firstPaint.count(kMain))
            return;
        poll->stop();
        qApp->removeEventFilter(&watcher);  // not to be counted in the CPU time of play
        platform::QtWindow* window = program.mainWindow();
        const game::Form1& form = program.session()->rules();
        for (int t = 1; t <= 4; ++t)
            fidelity.timers[form.controls().timer[t]];
        QObject::connect(window, &platform::QtWindow::ticked, qApp, [&](forms::ControlId id) {
            const double now = wallNs();
            fidelity.tick(id, now);
            fidelity.restartsAfterEvent(program.session()->model(), now);
            if (!endedAt && program.session()->phase() == game::Phase::Over) {
                endedAt = now;
                cpuAtEnd = cpuSeconds();
                QTimer::singleShot(200, qApp, &QApplication::quit);
            }
        });
        cpuAtClick = cpuSeconds();
        clickedAt = wallNs();
        click(window, form.controls().rebel[4]);
        fidelity.restartsAfterEvent(form.model(), clickedAt);
        // A right answer now and then, as a child would give them.
        auto* answers = new QTimer(qApp);
        QObject::connect(answers, &QTimer::timeout, qApp, [&] {
            if (endedAt)
                return;
            answerRight(program, 1 + std::rand() % 3);
            fidelity.restartsAfterEvent(program.session()->model(), wallNs());
        });
        answers->start(1700);
    });
    poll->start(10);
    const int status = QApplication::exec();

    std::printf("game length, course click to end: %.3f s (nominal 60)\n", (endedAt - clickedAt) / 1e9);
    std::printf("CPU time per second of play: %.2f%% of one core\n",
                100.0 * (cpuAtEnd - cpuAtClick) / ((endedAt - clickedAt) / 1e9));
    for (const auto& [interval, figures] : fidelity.perInterval) {
        const auto& [ticks, spent] = figures;
        std::printf("interval %2d ms: %7ld ticks delivered, %9.1f asked for: fidelity %.1f%%\n", interval, ticks,
                    spent / interval, 100.0 * static_cast<double>(ticks) * interval / spent);
    }
    std::printf("peak resident memory: %.1f MB\n", static_cast<double>(peakRssKb()) / 1024.0);
    return status;
}

}  // namespace

int main(int argc, char** argv)
{
    const double t0 = argc > 2 ? std::atof(argv[2]) : wallNs();
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    app.setQuitOnLastWindowClosed(false);
    platform::registerBundledFonts();
    Watcher watcher;
    app.installEventFilter(&watcher);

    Program program;
    program.start();  // builds the opening window, loads it and starts its timer
    const double loadStart = wallNs();
    if (argc > 1 && std::string_view(argv[1]) == "game")
        return wholeGame(program, watcher);
    return startup(program, watcher, t0, loadStart);
}
