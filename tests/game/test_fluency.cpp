// How fast, not only how right: each right answer timed in the timers' own
// time (a pause left out, a sum timed from the answer before it), the slow
// line a link sets, a wrong answer that keeps the score, もういちど ending
// once its sums are done, and the first grade's carrying.
#include "game/course.h"
#include "game/practice.h"
#include "game/session.h"
#include "game/sums.h"
#include "support/scripted_random.h"
#include "support/virtual_clock.h"

#include <QTest>

using forms::ControlId;
using forms::kNoControl;

namespace {

// A slow fall, so that no sum reaches the bottom while a row waits.
constexpr const char* kSlowFall = "course=times:7&pace=0.25";

struct Play {
    testing::ScriptedRandom random;
    game::Session window;
    testing::VirtualClock clock{window};

    explicit Play(std::string_view link) : window(random, false, {}, game::readPractice(link)) { clock.load(); }

    const game::Form1::Controls& c() const { return window.rules().controls(); }
    const forms::FormModel& m() const { return window.model(); }
    int score() const { return window.rules().vars().score; }
    // Button k's value on problem n is (or is not) its sum's answer.
    ControlId button(int n, bool right) const
    {
        const game::Form1::Shown& shown = window.rules().shown(n);
        for (std::size_t k = 1; k <= 3; ++k) {
            if ((shown.values[k] == shown.sum.result()) == right)
                return c().kotae[n][k];
        }
        return kNoControl;
    }
    void answer(int n, bool right) { clock.click(button(n, right)); }
    void finish() { clock.advance(601'000); }
};

}  // namespace

class TestFluency : public QObject {
    Q_OBJECT

private slots:
    void answersAreTimedInTheTimersTime_data();
    void answersAreTimedInTheTimersTime();
    void aLinkSetsTheSlowLine_data();
    void aLinkSetsTheSlowLine();
    void aWrongAnswerMayKeepTheScore_data();
    void aWrongAnswerMayKeepTheScore();
    void playedAgainEndsWhenEachSumIsDone_data();
    void playedAgainEndsWhenEachSumIsDone();
    void aSlowSumComesBackInATeachersCourse();
    void carryingIsElevenToEighteen_data();
    void carryingIsElevenToEighteen();
};

// Each row a script: "w800" waits 800 ms, "p" pauses or goes on, "1" to "3"
// answers that problem right. Then the card's median time in tenths and
// the look back's slow sums.
void TestFluency::answersAreTimedInTheTimersTime_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<int>("tenths");
    QTest::addColumn<int>("slow");
    const QString link = kSlowFall;
    QTest::newRow("at once") << link << QStringList{"w800", "1"} << 8 << 0;
    QTest::newRow("on the slow line is not slow") << link << QStringList{"w3000", "1"} << 30 << 0;
    QTest::newRow("past the slow line") << link << QStringList{"w3001", "1"} << 30 << 1;
    QTest::newRow("a pause counts for nothing") << link << QStringList{"w1000", "p", "w60000", "p", "w1000", "2"} << 20 << 0;
    QTest::newRow("two pauses") << link << QStringList{"w500", "p", "w9000", "p", "w500", "p", "w100", "p", "w1500", "3"} << 25 << 0;
    QTest::newRow("timed from the answer before")
        << link << QStringList{"w2500", "1", "w1500", "2"} << 20 << 0;
    QTest::newRow("the answer before, with a slow line of 2")
        << (link + "&slow=2") << QStringList{"w2500", "1", "w1500", "2"} << 20 << 1;
    QTest::newRow("a new sum timed from its appearing") << link << QStringList{"w500", "1", "w700", "1"} << 6 << 0;
    QTest::newRow("three answers, the middle one") << link << QStringList{"w400", "1", "w9000", "2", "w1000", "3"} << 10 << 1;
}

void TestFluency::answersAreTimedInTheTimersTime()
{
    QFETCH(QString, link);
    QFETCH(QStringList, script);
    QFETCH(int, tenths);
    QFETCH(int, slow);
    Play p(link.toStdString());
    p.clock.click(p.c().rebel[1]);
    for (const QString& step : script) {
        if (step.startsWith('w'))
            p.clock.advance(step.mid(1).toInt());
        else if (step == "p")
            p.clock.click(p.window.controls().yasumi);
        else
            p.answer(step.toInt(), true);
        QVERIFY(p.window.rules().phase() != game::Phase::Over);
    }
    // Nothing fell meanwhile: each answer was the one timed.
    QVERIFY(p.window.lines().empty());
    p.finish();
    const std::optional<game::Card>& card = p.window.resultCard().card();
    QVERIFY(card);
    QCOMPARE(card->right, static_cast<int>(std::count_if(script.begin(), script.end(), [](const QString& s) { return s[0].isDigit(); })));
    QCOMPARE(card->medianTenths, tenths);
    QCOMPARE(card->slowCount, slow);
}

void TestFluency::aLinkSetsTheSlowLine_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<int>("slow");
    QTest::addColumn<QString>("why");  // of the part left out; empty: none
    QTest::addColumn<QString>("back"); // the query written back
    QTest::newRow("none") << "course=times:7" << 3 << "" << "course=times:7";
    QTest::newRow("the fewest") << "course=times:7&slow=2" << 2 << "" << "course=times:7&slow=2";
    QTest::newRow("the most") << "course=times:7&slow=8" << 8 << "" << "course=times:7&slow=8";
    QTest::newRow("the default, said") << "course=times:7&slow=3" << 3 << "" << "course=times:7";
    QTest::newRow("below") << "course=times:7&slow=1" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("above") << "course=times:7&slow=9" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("not whole") << "course=times:7&slow=2.5" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("below 0") << "course=times:7&slow=-4" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("empty") << "course=times:7&slow=" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("huge") << "course=times:7&slow=99999999999999999999" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("markup") << "course=times:7&slow=%3Cscript%3E" << 3 << "2から8びょう" << "course=times:7";
    QTest::newRow("twice") << "course=times:7&slow=5&slow=6" << 5 << "2つめ" << "course=times:7&slow=5";
    QTest::newRow("with the rest") << "course=times:7&time=90&again=off&slow=4&miss=keep" << 4 << ""
                                   << "course=times:7&time=90&again=off&slow=4&miss=keep";
    QTest::newRow("miss, another word") << "course=times:7&miss=off" << 3 << "miss=keep" << "course=times:7";
}

void TestFluency::aLinkSetsTheSlowLine()
{
    QFETCH(QString, query);
    QFETCH(int, slow);
    QFETCH(QString, why);
    QFETCH(QString, back);
    const game::Practice p = game::readPractice(query.toStdString());
    QCOMPARE(p.slow, slow);
    QCOMPARE(p.leftOut.size(), std::size_t(why.isEmpty() ? 0 : 1));
    if (!why.isEmpty()) {
        QVERIFY2(QString::fromStdString(p.leftOut[0].why).contains(why), p.leftOut[0].why.c_str());
        QVERIFY(p.leftOut[0].part.find('<') == std::string::npos);
        QVERIFY(!game::notice(p).empty());
    }
    QCOMPARE(QString::fromStdString(game::practiceQuery(p)), back);
}

// A right answer (1 point in a link's first course), then a wrong one:
// the score after it, and what a right answer to that same sum earns.
void TestFluency::aWrongAnswerMayKeepTheScore_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("afterWrong");
    QTest::addColumn<int>("thenRight");
    QTest::newRow("the design's rule") << QString(kSlowFall) << 0 << 1;
    QTest::newRow("miss=keep") << QString(kSlowFall) + "&miss=keep" << 1 << 0;
}

void TestFluency::aWrongAnswerMayKeepTheScore()
{
    QFETCH(QString, link);
    QFETCH(int, afterWrong);
    QFETCH(int, thenRight);
    Play p(link.toStdString());
    p.clock.click(p.c().rebel[1]);
    p.answer(1, true);
    QCOMPARE(p.score(), 1);
    p.answer(2, false);
    QCOMPARE(p.score(), afterWrong);
    QCOMPARE(p.m()[p.c().tokuten].caption, std::to_string(afterWrong));
    p.answer(2, true);
    QCOMPARE(p.score(), afterWrong + thenRight);
    // Either way the sum is missed: listed, and counted wrong on the card.
    QCOMPARE(p.window.lines().size(), std::size_t{1});
    QVERIFY(!p.window.lines()[0].first.fell);
    p.finish();
    QCOMPARE(p.window.resultCard().card()->wrong, 1);
}

// A game of two sums answered wrongly and one slow, played again: each
// answered right, at once or slowly. Done, it ends with its verdict and
// time to spare; a slow sum answered slowly again keeps it going.
void TestFluency::playedAgainEndsWhenEachSumIsDone_data()
{
    QTest::addColumn<int>("wait");   // before each answer of the game played again
    QTest::addColumn<bool>("ends");
    QTest::newRow("each at once") << 200 << true;
    QTest::newRow("each slowly") << 3500 << false;
}

void TestFluency::playedAgainEndsWhenEachSumIsDone()
{
    QFETCH(int, wait);
    QFETCH(bool, ends);
    Play p("course=times:7&pace=0.25&time=30&again=off");
    p.clock.click(p.c().rebel[1]);
    p.answer(1, false);
    p.answer(2, false);
    p.clock.advance(3500);
    p.answer(3, true);
    // Answered right, so that they do not fall as well.
    p.answer(1, true);
    p.answer(2, true);
    p.clock.advance(30'000);
    QCOMPARE(p.window.rules().phase(), game::Phase::Over);
    const std::size_t sums = p.window.lines().size() + p.window.slowLines().size();
    QVERIFY(sums >= 3);
    p.clock.click(p.window.controls().minaoshi);
    p.clock.click(p.window.controls().mouichido);
    QCOMPARE(p.window.rules().phase(), game::Phase::Playing);
    std::vector<std::string> answered;
    // Within the game's 30 seconds, so that its time does not end it.
    for (int k = 0; k < 3 * static_cast<int>(sums) && (k + 1) * wait < 28'000 && p.window.rules().phase() == game::Phase::Playing; ++k) {
        p.clock.advance(wait);
        const int n = 1 + k % 3;
        answered.push_back(game::sumText(p.window.rules().shown(n).sum));
        p.answer(n, true);
    }
    QCOMPARE(p.window.rules().phase() == game::Phase::Over, ends);
    if (ends) {
        QVERIFY(p.window.rules().vars().timeleft > 0);
        QVERIFY(!p.m()[p.c().hyouka].caption.empty());
        QVERIFY(p.window.resultCard().card());
        std::sort(answered.begin(), answered.end());
        QCOMPARE(static_cast<std::size_t>(std::unique(answered.begin(), answered.end()) - answered.begin()), sums);
    }
}

// In a teacher's course a sum answered slowly comes back, as a missed one
// does; with again=off it does not.
void TestFluency::aSlowSumComesBackInATeachersCourse()
{
    for (const bool again : {true, false}) {
        game::CourseSums sums(game::readPractice("course=times:1-9").courses, again);
        testing::ScriptedRandom random(3);
        sums.read({.kind = game::Outcome::Kind::Started, .course = 1});
        const game::Sum slow = sums.draw(1, random).sum;
        sums.read({.kind = game::Outcome::Kind::Right, .problem = 1, .sum = slow, .millis = 4000, .slow = true});
        int back = 0;
        for (int k = 0; k < 6; ++k)
            back += sums.draw(1, random).sum == slow;
        QCOMPARE(back > 0, again);
    }
}

void TestFluency::carryingIsElevenToEighteen_data()
{
    QTest::addColumn<QString>("course");
    QTest::addColumn<int>("a");
    QTest::addColumn<int>("b");
    QTest::addColumn<bool>("fits");
    const QString carry = "add:1-9:carry", none = "add:1-9:nocarry", tens = "add:1-99:carry";
    QTest::newRow("9 + 1 makes 10") << carry << 9 << 1 << false;
    QTest::newRow("4 + 6 makes 10") << carry << 4 << 6 << false;
    QTest::newRow("5 + 5 makes 10") << carry << 5 << 5 << false;
    QTest::newRow("9 + 2 carries") << carry << 9 << 2 << true;
    QTest::newRow("9 + 9 carries") << carry << 9 << 9 << true;
    QTest::newRow("9 + 1, no carrying") << none << 9 << 1 << true;
    QTest::newRow("8 + 3, no carrying") << none << 8 << 3 << false;
    QTest::newRow("15 + 5 carries in the ones") << tens << 15 << 5 << true;
    QTest::newRow("5 + 15 too") << tens << 5 << 15 << true;
    QTest::newRow("38 + 27") << tens << 38 << 27 << true;
    QTest::newRow("30 + 40 does not") << tens << 30 << 40 << false;
    QTest::newRow("10 - 1 borrows") << "sub:2-18:borrow" << 10 << 1 << true;
    QTest::newRow("18 - 9 borrows") << "sub:2-18:borrow" << 18 << 9 << true;
    QTest::newRow("15 - 3 does not") << "sub:2-18:borrow" << 15 << 3 << false;
}

void TestFluency::carryingIsElevenToEighteen()
{
    QFETCH(QString, course);
    QFETCH(int, a);
    QFETCH(int, b);
    QFETCH(bool, fits);
    const game::Practice p = game::readPractice("course=" + course.toStdString());
    QVERIFY(!p.courses.empty());
    const game::Course& c = p.courses[0];
    QCOMPARE(c.kind->crosses(c, static_cast<game::Integer>(a), static_cast<game::Integer>(b)), fits);
    // And the sums drawn: add:1-9:carry never 10, always 11 to 18.
    if (course == "add:1-9:carry") {
        game::CourseSums sums(p.courses);
        testing::ScriptedRandom random(11);
        for (int k = 0; k < 2000; ++k) {
            const game::Sum s = sums.draw(1, random).sum;
            QVERIFY2(s.answer >= 11 && s.answer <= 18, game::sumText(s).c_str());
        }
    }
}

QTEST_APPLESS_MAIN(TestFluency)
#include "test_fluency.moc"
