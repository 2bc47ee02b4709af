#include "program.h"

#include "device_time.h"
#include "game/sounds.h"

#include <QApplication>
#include <chrono>
#include <cstdio>

namespace {

std::uint64_t clockReading()
{
    return static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
}

// A teacher's courses, time and pace for one run, as the page reads them
// from its link: PERMOROPLUS_PRACTICE="course=times:7&time=90", or the
// whole link pasted. What cannot be read is left out and named in one line,
// on stderr and under the game.
game::Practice practice()
{
    const QByteArray link = qgetenv("PERMOROPLUS_PRACTICE");
    game::Practice p = game::readPractice(std::string_view(link.constData(), static_cast<std::size_t>(link.size())));
    if (const std::string line = game::notice(p); !line.empty())
        std::fprintf(stderr, "%s\n", line.c_str());
    return p;
}

// A teacher may start the game muted for one run: PERMOROPLUS_SOUND=off, or
// sound=off in the practice link. Nothing is kept; the next run has its
// sound on again.
bool soundOn(const game::Practice& practice)
{
    return !practice.soundOff &&
           qEnvironmentVariable("PERMOROPLUS_SOUND").compare(QLatin1String("off"), Qt::CaseInsensitive) != 0;
}

}  // namespace

Program::Program()
    : random_(clockReading, static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())),
      practice_(practice()),
      sound_(game::kCueCount,
             [](std::size_t cue, int sampleRate) { return game::render(static_cast<game::Cue>(cue), sampleRate); }),
      cright_([this] { handOver(); })
{
}

Program::~Program()
{
    delete opening_;
}

void Program::start()
{
    opening_ = new platform::QtWindow(cright_);
    // Closing the opening window before it hands over ends the program; a
    // tool window does not count as a last window for Qt, so say it here.
    connect(opening_, &platform::QtWindow::closed, qApp, [this] {
        if (!main_)
            QApplication::quit();
    });
    opening_->show();
}

void Program::handOver()
{
    session_ = std::make_unique<game::Session>(
        random_, soundOn(practice_), [this](game::Cue cue) { sound_.play(static_cast<std::size_t>(cue)); }, practice_,
        deviceTime);
    main_ = std::make_unique<platform::QtWindow>(*session_);
    main_->showNotice(QString::fromStdString(game::notice(practice_)));
    connect(main_.get(), &platform::QtWindow::closed, qApp, &QApplication::quit);
    main_->show();

    opening_->hide();
    opening_->deleteLater();
    opening_ = nullptr;
}
