#include "qt_sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <pulse/context.h>
#include <pulse/mainloop.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <utility>

namespace screens {
namespace {

using Clock = std::chrono::steady_clock;

// The latency asked of the sound server. It keeps about three quarters of
// it queued in the stream, and the rest in the device: a sound that starts
// while another plays waits behind that queue (about 18 ms). Fed every
// 5 ms, it ran without a gap with both cores of the machine busy.
constexpr int kQueuedMs = 24;
// How often the queue is topped up while something sounds, and for how
// many feeds after the last sound ends.
constexpr int kFeedMs = 5;
constexpr int kQuietFeeds = 20;
// After this long without a sound the stream is paused, which stops the
// sink's own timer; the next sound resumes it.
constexpr int kRestMs = 1000;
// A sound asked for longer ago than this (the thread was held up) is
// dropped: heard late, it would only confuse.
constexpr auto kStale = std::chrono::milliseconds(250);
// How long the sound server may take to accept a connection.
constexpr auto kServerLimit = std::chrono::milliseconds(3000);
// How long the end of the program waits for the sound thread to finish.
constexpr int kShutdownMs = 1000;
// The most sounds heard at once; a new one takes the place of the oldest.
constexpr std::size_t kVoices = 8;

// --- One line of our own, and none of Qt's, about audio ----------------------

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

void installQuietAudio()
{
    static const bool installed = [] {
        previousHandler = qInstallMessageHandler(quietAudio);
        return true;
    }();
    (void)installed;
}

void tellOnce(const char* why)
{
    if (!told.test_and_set())
        std::fprintf(stderr, "No sound: %s. The game plays on silently.\n", why);
}

// --- The mixer ------------------------------------------------------------------

// Sums the clips that sound, in the sink's format; silence where none does.
class Mixer {
public:
    Mixer(std::vector<std::vector<std::int16_t>> clips, const QAudioFormat& format)
        : clips_(std::move(clips)), format_(format)
    {
    }

    void start(std::size_t index)
    {
        if (index >= clips_.size() || clips_[index].empty())
            return;
        if (voices_.size() == kVoices)
            voices_.erase(voices_.begin());
        voices_.push_back({index, 0});
    }

    bool silent() const { return voices_.empty(); }

    // Fills `out` with as many whole frames as it holds.
    void mix(std::vector<char>& out)
    {
        const int channels = format_.channelCount();
        const std::size_t frames = out.size() / static_cast<std::size_t>(format_.bytesPerFrame());
        char* at = out.data();
        for (std::size_t f = 0; f < frames; ++f) {
            int sum = 0;
            for (Voice& v : voices_) {
                const auto& clip = clips_[v.clip];
                if (v.at < clip.size())
                    sum += clip[v.at++];
            }
            const auto sample = static_cast<std::int16_t>(std::clamp(sum, -32768, 32767));
            for (int c = 0; c < channels; ++c)
                at = put(at, sample);
        }
        std::erase_if(voices_, [this](const Voice& v) { return v.at >= clips_[v.clip].size(); });
    }

private:
    struct Voice {
        std::size_t clip;
        std::size_t at;
    };

    template <typename T>
    static char* store(char* at, T value)
    {
        std::memcpy(at, &value, sizeof value);
        return at + sizeof value;
    }

    char* put(char* at, std::int16_t s) const
    {
        switch (format_.sampleFormat()) {
        case QAudioFormat::UInt8: return store(at, static_cast<std::uint8_t>((s >> 8) + 128));
        case QAudioFormat::Int32: return store(at, static_cast<std::int32_t>(static_cast<std::uint32_t>(s) << 16));
        case QAudioFormat::Float: return store(at, static_cast<float>(s) / 32768.0f);
        default: return store(at, s);
        }
    }

    std::vector<std::vector<std::int16_t>> clips_;
    QAudioFormat format_;
    std::vector<Voice> voices_;
};

// --- The sound server ----------------------------------------------------------

enum class Server { Answers, Absent, Silent, Stopped };

// Connects to the sound server as Qt would, but on a loop of our own that
// gives up after `limit`, or when `stop` is set. Qt waits half a minute
// for a server that takes the connection and never answers, holding a lock
// that the end of the program needs; so Qt is only let near a server that
// has answered.
Server probeServer(std::chrono::milliseconds limit, const std::atomic<bool>& stop)
{
    pa_mainloop* loop = pa_mainloop_new();
    if (!loop)
        return Server::Absent;
    pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "sound check");
    Server result = Server::Absent;
    if (context && pa_context_connect(context, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
        const auto deadline = Clock::now() + limit;
        result = Server::Silent;
        while (Clock::now() < deadline) {
            if (stop) {
                result = Server::Stopped;
                break;
            }
            const pa_context_state_t state = pa_context_get_state(context);
            if (state == PA_CONTEXT_READY) {
                result = Server::Answers;
                break;
            }
            if (!PA_CONTEXT_IS_GOOD(state)) {
                result = Server::Absent;
                break;
            }
            if (pa_mainloop_prepare(loop, 20000) < 0 || pa_mainloop_poll(loop) < 0 || pa_mainloop_dispatch(loop) < 0)
                break;
        }
    }
    if (context) {
        pa_context_disconnect(context);
        pa_context_unref(context);
    }
    pa_mainloop_free(loop);
    return result;
}

// 44.1 kHz mono 16-bit when the device takes it; else the device's own
// rate and channels, in a sample format the mixer can write.
QAudioFormat formatFor(const QAudioDevice& device)
{
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(format))
        return format;
    format = device.preferredFormat();
    if (format.sampleRate() <= 0)
        format.setSampleRate(44100);
    if (format.channelCount() <= 0)
        format.setChannelCount(1);
    switch (format.sampleFormat()) {
    case QAudioFormat::UInt8:
    case QAudioFormat::Int16:
    case QAudioFormat::Int32:
    case QAudioFormat::Float: break;
    default: format.setSampleFormat(QAudioFormat::Int16);
    }
    return format;
}

}  // namespace

// --- The player's thread -----------------------------------------------------

class QtSound::Engine final : public QObject {
public:
    Engine(std::size_t count, Render render) : count_(count), render_(std::move(render))
    {
        feeder_.setTimerType(Qt::PreciseTimer);
        feeder_.setInterval(kFeedMs);
        connect(&feeder_, &QTimer::timeout, this, &Engine::feed);
        rest_.setSingleShot(true);
        rest_.setInterval(kRestMs);
        connect(&rest_, &QTimer::timeout, this, [this] {
            if (sink_)
                sink_->suspend();
        });
    }

    ~Engine() override
    {
        if (sink_)
            sink_->stop();
    }

    // Set by the GUI thread when the player goes.
    std::atomic<bool> stopping{false};

    void open()
    {
        switch (probeServer(kServerLimit, stopping)) {
        case Server::Answers: break;
        case Server::Absent: tellOnce("no sound server"); return;
        case Server::Silent: tellOnce("the sound server does not answer"); return;
        case Server::Stopped: return;
        }
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            tellOnce("no audio device");
            return;
        }
        const QAudioFormat format = formatFor(device);
        std::vector<std::vector<std::int16_t>> clips;
        for (std::size_t i = 0; i < count_; ++i)
            clips.push_back(render_(i, format.sampleRate()));
        mixer_ = std::make_unique<Mixer>(std::move(clips), format);
        frameBytes_ = format.bytesPerFrame();

        sink_ = new QAudioSink(device, format, this);
        sink_->setBufferSize(format.bytesForDuration(kQueuedMs * 1000));
        connect(sink_, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && sink_ && sink_->error() != QAudio::NoError)
                fail("the audio device stopped");
        });
        output_ = sink_->start();
        if (sink_ && (!output_ || sink_->state() == QAudio::StoppedState))
            fail("the audio device does not open");
    }

    void play(std::size_t index, Clock::time_point asked)
    {
        if (!sink_ || Clock::now() - asked >= kStale)
            return;
        rest_.stop();
        if (sink_->state() == QAudio::SuspendedState)
            sink_->resume();
        mixer_->start(index);
        feed();
        if (!feeder_.isActive())
            feeder_.start();
    }

private:
    // Tops the sink's queue up with what the mixer gives. While nothing
    // sounds the queue is left to run dry, and the feeding stops.
    void feed()
    {
        if (!sink_) {
            feeder_.stop();
            return;
        }
        const qsizetype room = sink_->bytesFree() / frameBytes_ * frameBytes_;
        if (room > 0) {
            chunk_.resize(static_cast<std::size_t>(room));
            mixer_->mix(chunk_);
            output_->write(chunk_.data(), room);
        }
        quietFeeds_ = mixer_->silent() ? quietFeeds_ + 1 : 0;
        if (quietFeeds_ > kQuietFeeds) {
            feeder_.stop();
            rest_.start();
        }
    }

    void fail(const char* why)
    {
        tellOnce(why);
        feeder_.stop();
        rest_.stop();
        sink_->disconnect(this);
        sink_->deleteLater();
        sink_ = nullptr;
        output_ = nullptr;
    }

    std::size_t count_;
    Render render_;
    std::unique_ptr<Mixer> mixer_;
    int frameBytes_ = 2;
    QAudioSink* sink_ = nullptr;
    QIODevice* output_ = nullptr;  // the sink's
    QTimer feeder_{this};
    QTimer rest_{this};
    int quietFeeds_ = 0;
    std::vector<char> chunk_;
};

QtSound::QtSound(std::size_t count, Render render)
    : thread_(std::make_unique<QThread>()), engine_(new Engine(count, std::move(render)))
{
    installQuietAudio();
    thread_->setObjectName(QStringLiteral("sound"));
    engine_->moveToThread(thread_.get());
    soundThread = thread_.get();
    thread_->start();
    QMetaObject::invokeMethod(engine_, [e = engine_] { e->open(); }, Qt::QueuedConnection);
}

QtSound::~QtSound()
{
    engine_->stopping = true;
    QMetaObject::invokeMethod(
        engine_,
        [e = engine_] {
            delete e;
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    // A thread held up in the sound server is left to the end of the
    // process: destroying a running QThread would abort.
    if (thread_->wait(QDeadlineTimer(kShutdownMs)))
        soundThread = nullptr;
    else
        (void)thread_.release();
}

void QtSound::play(std::size_t index)
{
    QMetaObject::invokeMethod(
        engine_, [e = engine_, index, asked = Clock::now()] { e->play(index, asked); }, Qt::QueuedConnection);
}

}  // namespace screens
