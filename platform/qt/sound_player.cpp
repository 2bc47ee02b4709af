// The sound player's thread: it opens the sink, feeds it from the mixer
// and pauses it when all is quiet.
#include "sound_player.h"

#include "mixer.h"
#include "quiet_audio.h"
#include "server_probe.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QDeadlineTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <utility>

namespace platform {
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

// The mixer's name for what the sink takes.
MixFormat mixFormatOf(const QAudioFormat& format)
{
    MixFormat mix;
    mix.channels = format.channelCount();
    switch (format.sampleFormat()) {
    case QAudioFormat::UInt8: mix.sample = SampleFormat::UInt8; break;
    case QAudioFormat::Int32: mix.sample = SampleFormat::Int32; break;
    case QAudioFormat::Float: mix.sample = SampleFormat::Float; break;
    default: mix.sample = SampleFormat::Int16;
    }
    return mix;
}

}  // namespace

// --- The player's thread -----------------------------------------------------

class SoundPlayer::Engine final : public QObject {
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
        mixer_ = std::make_unique<Mixer>(std::move(clips), mixFormatOf(format));
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

SoundPlayer::SoundPlayer(std::size_t count, Render render)
    : thread_(std::make_unique<QThread>()), engine_(new Engine(count, std::move(render)))
{
    installQuietAudio();
    thread_->setObjectName(QStringLiteral("sound"));
    engine_->moveToThread(thread_.get());
    setSoundThread(thread_.get());
    thread_->start();
    QMetaObject::invokeMethod(engine_, [e = engine_] { e->open(); }, Qt::QueuedConnection);
}

SoundPlayer::~SoundPlayer()
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
        setSoundThread(nullptr);
    else
        (void)thread_.release();
}

void SoundPlayer::play(std::size_t index)
{
    QMetaObject::invokeMethod(
        engine_, [e = engine_, index, asked = Clock::now()] { e->play(index, asked); }, Qt::QueuedConnection);
}

}  // namespace platform
