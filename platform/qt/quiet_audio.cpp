// The message handler that keeps Qt quiet about audio, and the one line
// the program says instead.
#include "quiet_audio.h"

#include <QString>
#include <QStringView>
#include <QThread>
#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace platform {
namespace {

std::atomic<QThread*> soundThread{nullptr};
QtMessageHandler previousHandler = nullptr;
std::atomic_flag told = ATOMIC_FLAG_INIT;

bool aboutAudio(const QMessageLogContext& context, const QString& message)
{
    if (QThread::currentThread() == soundThread.load())
        return true;
    if (context.category && std::strncmp(context.category, "qt.multimedia", 13) == 0)
        return true;
    // The sound server's own threads report through the default category,
    // some of them as a quoted string.
    static const char* const kPrefixes[] = {"PulseAudioService:", "Stream error", "No audio device", "QAudioSink"};
    const QStringView text = QStringView(message).mid(message.startsWith(u'"') ? 1 : 0);
    return std::any_of(std::begin(kPrefixes), std::end(kPrefixes),
                       [text](const char* p) { return text.startsWith(QLatin1String(p)); });
}

void quietAudio(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg && aboutAudio(context, message))
        return;
    if (previousHandler) {
        previousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

void installQuietAudio()
{
    static const bool installed = [] {
        previousHandler = qInstallMessageHandler(quietAudio);
        return true;
    }();
    (void)installed;
}

void setSoundThread(QThread* thread)
{
    soundThread = thread;
}

void tellOnce(const char* why)
{
    if (!told.test_and_set())
        std::fprintf(stderr, "No sound: %s. The game plays on silently.\n", why);
}

}  // namespace platform
