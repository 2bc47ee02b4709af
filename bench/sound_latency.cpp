// The sound player on its own, for bench/sound_latency.sh.
//
//   sound_latency play [PLAYS] [GAP-MS]   waits 1.5 s for the sink to start, then
//                                         plays the countdown cue PLAYS times
//                                         (10), GAP-MS apart (700), printing
//                                         "play NS" (the monotonic clock) at each
//                                         call and "call NS" (how long it took)
//   sound_latency idle [SECONDS]          makes the player, plays one cue, then
//                                         waits SECONDS (10) and prints the CPU
//                                         time the process spent meanwhile
#include "game/sounds.h"
#include "platform/qt/sound_player.h"

#include <QCoreApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <sys/resource.h>

namespace {

long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool idle = argc > 1 && std::strcmp(argv[1], "idle") == 0;
    const int count = argc > 2 ? std::atoi(argv[2]) : 10;
    const int gapMs = argc > 3 ? std::atoi(argv[3]) : 700;

    platform::SoundPlayer sound(game::kCueCount,
                           [](std::size_t i, int rate) { return game::render(static_cast<game::Cue>(i), rate); });
    const auto countdown = static_cast<std::size_t>(game::Cue::Countdown);

    if (idle) {
        double before = 0.0;
        QTimer::singleShot(1500, [&] {
            sound.play(countdown);
            before = cpuSeconds();
        });
        QTimer::singleShot(1500 + count * 1000, [&] {
            std::printf("idle %d s: %.3f s of CPU\n", count, cpuSeconds() - before);
            app.quit();
        });
        return app.exec();
    }

    int played = 0;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (played == count) {
            timer.stop();
            QTimer::singleShot(1000, &app, &QCoreApplication::quit);
            return;
        }
        const long long before = monotonicNs();
        sound.play(countdown);
        const long long after = monotonicNs();
        std::printf("play %lld\ncall %lld\n", before, after - before);
        std::fflush(stdout);
        ++played;
    });
    QTimer::singleShot(1500, [&] { timer.start(gapMs); });
    return app.exec();
}
