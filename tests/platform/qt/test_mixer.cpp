// The sound player's mixer: which clips it hears when too many are started,
// how loud sums stay within 16 bits, how it writes each sample format, and
// what it does with starts it cannot play and buffers that end in a frame.
#include "platform/qt/mixer.h"

#include <QTest>
#include <cstdint>
#include <cstring>
#include <limits>

using namespace platform;
using Clip = std::vector<std::int16_t>;

Q_DECLARE_METATYPE(platform::SampleFormat)

namespace {

constexpr MixFormat kMono16{SampleFormat::Int16, 1};

// Clip i holds only 1 << i, so a mixed sample names the clips heard in it;
// clip `count` is empty.
std::vector<Clip> namedClips(int count)
{
    std::vector<Clip> clips;
    for (int i = 0; i < count; ++i)
        clips.emplace_back(4, static_cast<std::int16_t>(1 << i));
    clips.emplace_back();
    return clips;
}

Clip mix16(Mixer& mixer, std::size_t frames)
{
    std::vector<char> out(frames * 2);
    mixer.mix(out);
    Clip samples(frames);
    std::memcpy(samples.data(), out.data(), out.size());
    return samples;
}

template <typename T>
QByteArray repeated(T value, int times)
{
    QByteArray bytes;
    while (times-- > 0)
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    return bytes;
}

}  // namespace

class TestMixer : public QObject {
    Q_OBJECT

private slots:
    void aNinthVoiceReplacesTheOldest()
    {
        Mixer mixer(namedClips(10), kMono16);
        for (std::size_t i = 0; i < Mixer::kVoices; ++i)
            mixer.start(i);
        QCOMPARE(mix16(mixer, 1), Clip{0xFF});
        mixer.start(8);  // clip 0 goes
        QCOMPARE(mix16(mixer, 1), Clip{0x1FE});
        mixer.start(9);  // then clip 1
        QCOMPARE(mix16(mixer, 1), Clip{0x3FC});
    }

    void loudSumsAreClampedNotWrapped_data()
    {
        QTest::addColumn<QList<int>>("voices");
        QTest::addColumn<int>("sample");
        QTest::newRow("the top, exactly") << QList<int>{16000, 16767} << 32767;
        QTest::newRow("over the top") << QList<int>{30000, 30000} << 32767;
        QTest::newRow("under the bottom") << QList<int>{-30000, -30000} << -32768;
        QTest::newRow("eight at the bottom") << QList<int>(8, -32768) << -32768;
        QTest::newRow("clamped once, after the sum") << QList<int>{30000, 30000, -30000} << 30000;
    }

    void loudSumsAreClampedNotWrapped()
    {
        QFETCH(QList<int>, voices);
        QFETCH(int, sample);
        std::vector<Clip> clips;
        for (int v : voices)
            clips.push_back({static_cast<std::int16_t>(v)});
        Mixer mixer(clips, kMono16);
        for (std::size_t i = 0; i < clips.size(); ++i)
            mixer.start(i);
        QCOMPARE(mix16(mixer, 1), Clip{static_cast<std::int16_t>(sample)});
    }

    void eachFormatWritesTheSampleOnEveryChannel_data()
    {
        using F = SampleFormat;
        QTest::addColumn<F>("format");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("sample");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("Int16, stereo") << F::Int16 << 2 << -1234 << repeated<std::int16_t>(-1234, 2);
        QTest::newRow("UInt8, lowest") << F::UInt8 << 1 << -32768 << repeated<std::uint8_t>(0, 1);
        QTest::newRow("UInt8, just below 0") << F::UInt8 << 1 << -1 << repeated<std::uint8_t>(127, 1);
        QTest::newRow("UInt8, highest, stereo") << F::UInt8 << 2 << 32767 << repeated<std::uint8_t>(255, 2);
        QTest::newRow("Int32, -1") << F::Int32 << 1 << -1 << repeated<std::int32_t>(-65536, 1);
        QTest::newRow("Int32, lowest, stereo") << F::Int32 << 2 << -32768 << repeated<std::int32_t>(INT32_MIN, 2);
        QTest::newRow("Float, lowest") << F::Float << 1 << -32768 << repeated(-1.0f, 1);
        QTest::newRow("Float, highest, 6 channels") << F::Float << 6 << 32767 << repeated(32767.0f / 32768.0f, 6);
    }

    void eachFormatWritesTheSampleOnEveryChannel()
    {
        QFETCH(SampleFormat, format);
        QFETCH(int, channels);
        QFETCH(int, sample);
        QFETCH(QByteArray, frame);
        const MixFormat mixFormat{format, channels};
        QCOMPARE(mixFormat.bytesPerFrame(), frame.size());
        Mixer mixer({{static_cast<std::int16_t>(sample)}}, mixFormat);
        mixer.start(0);
        std::vector<char> out(static_cast<std::size_t>(frame.size()));
        mixer.mix(out);
        QCOMPARE(QByteArray(out.data(), frame.size()), frame);
    }

    void silenceFollowsTheEndOfAClip()
    {
        Mixer mixer({{100, 200, 300}}, kMono16);
        mixer.start(0);
        QCOMPARE(mix16(mixer, 2), (Clip{100, 200}));
        QVERIFY(!mixer.silent());
        QCOMPARE(mix16(mixer, 3), (Clip{300, 0, 0}));
        QVERIFY(mixer.silent());
        QCOMPARE(mix16(mixer, 2), (Clip{0, 0}));

        Mixer bytes({{-32768}}, {SampleFormat::UInt8, 1});  // its silence is 128
        bytes.start(0);
        std::vector<char> out(3);
        bytes.mix(out);
        QCOMPARE(QByteArray(out.data(), 3), QByteArray("\x00\x80\x80", 3));
        bytes.mix(out);
        QCOMPARE(QByteArray(out.data(), 3), QByteArray("\x80\x80\x80", 3));
    }

    void startsThatCannotPlayAreIgnored_data()
    {
        QTest::addColumn<qulonglong>("index");
        QTest::newRow("an empty clip") << qulonglong{8};
        QTest::newRow("one past the last clip") << qulonglong{9};
        QTest::newRow("far past the last clip") << qulonglong{std::numeric_limits<std::size_t>::max()};
    }

    void startsThatCannotPlayAreIgnored()
    {
        QFETCH(qulonglong, index);
        // With every voice busy, a start that cannot play must not end one.
        Mixer full(namedClips(8), kMono16);
        for (std::size_t i = 0; i < Mixer::kVoices; ++i)
            full.start(i);
        full.start(index);
        QCOMPARE(mix16(full, 1), Clip{0xFF});
    }

    void bytesPastTheLastWholeFrameAreLeftAlone()
    {
        Mixer mixer({{7, 8, 9}}, {SampleFormat::Int16, 2});
        mixer.start(0);
        std::vector<char> out(3, 'x');
        mixer.mix(out);
        QCOMPARE(QByteArray(out.data(), 3), QByteArray("xxx"));
        out.assign(10, 'x');
        mixer.mix(out);
        QCOMPARE(QByteArray(out.data(), 10), repeated<std::int16_t>(7, 2) + repeated<std::int16_t>(8, 2) + "xx");
        out.resize(4);  // the clip went on by two samples, no more
        mixer.mix(out);
        QCOMPARE(QByteArray(out.data(), 4), repeated<std::int16_t>(9, 2));
    }
};

QTEST_APPLESS_MAIN(TestMixer)
#include "test_mixer.moc"
