// The game's sounds as a listener hears them, measured on the rendered PCM:
// the pitch of every note, no click at any edge, peak and loudness, length,
// and the contour that tells the cues apart; at two sample rates.
#include "game/sounds.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <span>
#include <vector>

using game::Cue;
using game::SoundBank;

Q_DECLARE_METATYPE(Cue)

namespace {

using Pcm = std::span<const std::int16_t>;

const SoundBank& bank(int rate)
{
    static std::map<int, SoundBank> banks;
    return banks.try_emplace(rate, rate).first->second;
}

double dbfs(double amplitude) { return 20.0 * std::log10(amplitude / 32768.0); }

// The pitch over samples [from, to) from the rising zero crossings, each
// placed between its two samples by linear interpolation; 0 if fewer than
// three periods are there.
double pitch(Pcm pcm, int rate, std::size_t from, std::size_t to)
{
    std::vector<double> crossings;
    for (std::size_t i = std::max<std::size_t>(from, 1); i < std::min(to, pcm.size()); ++i)
        if (pcm[i - 1] < 0 && pcm[i] >= 0)
            crossings.push_back(static_cast<double>(i - 1) + pcm[i - 1] / double(pcm[i - 1] - pcm[i]));
    if (crossings.size() < 4)
        return 0.0;
    return (static_cast<double>(crossings.size()) - 1.0) * rate / (crossings.back() - crossings.front());
}

// The measured pitch of each note of a cue, over the stretch where it sounds
// alone, less 5 ms at either side where it is too faint to measure.
std::vector<double> pitches(Cue cue, int rate)
{
    const auto notes = game::notes(cue);
    std::vector<double> result;
    for (const game::Note& note : notes) {
        double from = note.start, to = note.start + note.length;
        for (const game::Note& other : notes) {
            if (&other == &note)
                continue;
            if (other.start <= from && other.start + other.length > from)
                from = other.start + other.length;
            if (other.start < to && other.start > from)
                to = other.start;
        }
        const auto sample = [rate](double s) { return static_cast<std::size_t>(std::lround(s * rate)); };
        result.push_back(pitch(bank(rate).pcm(cue), rate, sample(from + 0.005), sample(to - 0.005)));
    }
    return result;
}

double rmsOfSoundingPart(Pcm pcm)
{
    const auto loud = [](std::int16_t s) { return std::abs(s) >= 328; };  // -40 dBFS
    const auto first = std::find_if(pcm.begin(), pcm.end(), loud);
    const auto last = std::find_if(pcm.rbegin(), pcm.rend(), loud).base();
    double sum = 0.0;
    for (auto it = first; it < last; ++it)
        sum += double(*it) * *it;
    return first < last ? std::sqrt(sum / static_cast<double>(last - first)) : 0.0;
}

}  // namespace

class TestSounds : public QObject {
    Q_OBJECT

private slots:
    void eachCue_data();
    void eachCue();
    void rightAndWrongAreOctavesApart();
    void theBankIsSmall();
};

void TestSounds::eachCue_data()
{
    QTest::addColumn<Cue>("cue");
    QTest::addColumn<int>("rate");
    QTest::addColumn<double>("maxSeconds");
    QTest::addColumn<int>("contour");  // +1 each note higher, -1 each lower, 0 any
    struct Row {
        const char* name;
        Cue cue;
        double maxSeconds;
        int contour;
    };
    const Row rows[] = {
        {"Start", Cue::Start, 0.6, +1},          {"Right", Cue::Right, 0.6, +1},
        {"Wrong", Cue::Wrong, 0.6, -1},          {"Countdown", Cue::Countdown, 0.15, 0},
        {"EndLow", Cue::EndLow, 1.5, -1},        {"EndMiddle", Cue::EndMiddle, 1.5, 0},
        {"EndTop", Cue::EndTop, 1.5, +1},
    };
    for (const int rate : {44100, 48000})
        for (const Row& r : rows)
            QTest::addRow("%s@%d", r.name, rate) << r.cue << rate << r.maxSeconds << r.contour;
}

void TestSounds::eachCue()
{
    QFETCH(Cue, cue);
    QFETCH(int, rate);
    QFETCH(double, maxSeconds);
    QFETCH(int, contour);
    const Pcm pcm = bank(rate).pcm(cue);
    QCOMPARE(bank(rate).sampleRate(), rate);

    // Long enough to hold every note, no longer than allowed.
    QVERIFY(std::abs(static_cast<double>(pcm.size()) - game::duration(cue) * rate) <= 2.0);
    QVERIFY2(static_cast<double>(pcm.size()) <= maxSeconds * rate, qPrintable(QString::number(pcm.size())));

    // Each note at its pitch, within 1 %; the phrase goes the intended way.
    const auto notes = game::notes(cue);
    const std::vector<double> measured = pitches(cue, rate);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        QVERIFY2(std::abs(measured[i] / notes[i].hz - 1.0) < 0.01,
                 qPrintable(QStringLiteral("note %1: %2 Hz, measured %3 Hz").arg(i).arg(notes[i].hz).arg(measured[i])));
        if (i > 0 && contour != 0)
            QVERIFY2((measured[i] - measured[i - 1]) * contour > 0, qPrintable(QStringLiteral("note %1").arg(i)));
    }

    // No click: silence at both ends, and no jump above 1 % of full scale
    // within half a millisecond of a note's start or end where no other
    // note sounds.
    QVERIFY(std::abs(pcm.front()) <= 32 && std::abs(pcm.back()) <= 32);
    const auto halfMs = static_cast<std::ptrdiff_t>(rate / 2000);
    const auto covered = [&notes](double t) {
        return std::any_of(notes.begin(), notes.end(), [t](const game::Note& n) {
            return n.start + 0.001 < t && t < n.start + n.length - 0.001;
        });
    };
    for (const game::Note& note : notes)
        for (const double edge : {note.start, note.start + note.length}) {
            if (covered(edge))
                continue;
            const auto at = static_cast<std::ptrdiff_t>(std::lround(edge * rate));
            const auto end = std::min<std::ptrdiff_t>(at + halfMs, std::ssize(pcm));
            for (auto i = std::max<std::ptrdiff_t>(at - halfMs, 1); i < end; ++i)
                QVERIFY2(std::abs(pcm[i] - pcm[i - 1]) <= 328, qPrintable(QStringLiteral("sample %1").arg(i)));
        }

    // Peak at most -3 dBFS; loudness within 3 dB of the start cue's.
    const int peak = std::abs(*std::max_element(pcm.begin(), pcm.end(), [](auto a, auto b) { return std::abs(a) < std::abs(b); }));
    QVERIFY2(dbfs(peak) <= -3.0, qPrintable(QString::number(dbfs(peak))));
    const double loudness = dbfs(rmsOfSoundingPart(pcm));
    const double reference = dbfs(rmsOfSoundingPart(bank(rate).pcm(Cue::Start)));
    QVERIFY2(std::abs(loudness - reference) <= 3.0, qPrintable(QStringLiteral("%1 dBFS").arg(loudness)));
}

// A right answer sounds high, a wrong one low: every measured pitch of the
// one lies more than an octave above every measured pitch of the other.
void TestSounds::rightAndWrongAreOctavesApart()
{
    const std::vector<double> right = pitches(Cue::Right, 44100);
    const std::vector<double> wrong = pitches(Cue::Wrong, 44100);
    QVERIFY(!right.empty() && !wrong.empty());
    QVERIFY(*std::min_element(right.begin(), right.end()) > 2.0 * *std::max_element(wrong.begin(), wrong.end()));
}

void TestSounds::theBankIsSmall()
{
    std::size_t bytes = 0;
    for (std::size_t i = 0; i < game::kCueCount; ++i)
        bytes += bank(44100).pcm(static_cast<Cue>(i)).size_bytes();
    QVERIFY2(bytes <= 512 * 1024, qPrintable(QString::number(bytes)));
}

QTEST_APPLESS_MAIN(TestSounds)
#include "test_sounds.moc"
