// Falling sums and the judging of answers, in virtual time.
#include "game_fixture.h"

#include <QTest>
#include <random>

using testing::Game;
using testing::ScriptedRandom;

namespace {

bool isNumberText(const std::string& s)
{
    if (s.empty() || s.size() > 5 || (s.size() > 1 && s[0] == '0'))
        return false;
    for (char ch : s) {
        if (ch < '0' || ch > '9')
            return false;
    }
    return true;
}

bool drawnInterval(int ms)
{
    return ms == 10 || ms == 20 || ms == 30;
}

// Everything that belongs to problem n.
struct ProblemSnapshot {
    std::vector<std::string> captions;
    float top;
    int interval;
    std::optional<std::int64_t> due;
    game::Integer answer, num1, num2;

    static ProblemSnapshot of(const Game& g, int n)
    {
        ProblemSnapshot s{{}, g[g.c().mondai[n]].top, g[g.c().timer[n]].interval, g.clock.due(g.c().timer[n]),
                          g.v().answer[n], g.v().num1[n], g.v().num2[n]};
        s.captions.push_back(g.caption(g.c().mondai[n]));
        for (int k = 1; k <= 3; ++k)
            s.captions.push_back(g.caption(g.c().kotae[n][k]));
        for (int row = 1; row <= 2; ++row)
            s.captions.push_back(g.caption(g.c().hissan[n][row]));
        s.captions.push_back(g.caption(g.c().kigou[n]));
        return s;
    }
    bool operator==(const ProblemSnapshot&) const = default;
};

// Runs until problem n's timer has ticked `count` times in all.
void fallTo(Game& g, int n, int count)
{
    while (g.clock.ticks(g.c().timer[n]) < count)
        g.clock.step();
}

}  // namespace

class TestFalling : public QObject {
    Q_OBJECT

private slots:
    void crossingTheFastDropLine();
    void replacedAtTheBottom();
    void timelineOfAnUnansweredProblem();
    void rightAnswerAddsTheCoursePoints_data();
    void rightAnswerAddsTheCoursePoints();
    void rightAnswerDuringTheFastDrop();
    void wrongAnswerDuringTheFastDrop();
    void wrongAnswerAtZero();
    void answersTouchOnlyTheirProblem();
    void eitherButtonWithTheResultCounts();
    void captionThatIsNotANumberIsWrong();
    void monkey();
};

void TestFalling::crossingTheFastDropLine()
{
    Game g;
    g.choose(3);
    const int drawn = g[g.c().timer[1]].interval;
    fallTo(g, 1, 281);
    QCOMPARE(g[g.c().mondai[1]].top, 300.0f);
    QCOMPARE(g[g.c().timer[1]].interval, drawn);
    fallTo(g, 1, 282);
    QCOMPARE(g[g.c().mondai[1]].top, 301.0f);
    QCOMPARE(g[g.c().timer[1]].interval, 1);
    // From then on it falls one unit a millisecond.
    QCOMPARE(g.clock.due(g.c().timer[1]), std::optional<std::int64_t>(g.clock.now() + 1));
}

void TestFalling::replacedAtTheBottom()
{
    Game g;
    g.choose(2);
    g.answerRight(2);
    g.answerRight(3);
    fallTo(g, 1, 481);
    QCOMPARE(g[g.c().mondai[1]].top, 500.0f);
    QCOMPARE(g[g.c().timer[1]].interval, 1);
    const int reseeds = g.random.reseeds();
    fallTo(g, 1, 482);
    QCOMPARE(g[g.c().mondai[1]].top, 19.0f);
    QVERIFY(drawnInterval(g[g.c().timer[1]].interval));
    QCOMPARE(g.clock.due(g.c().timer[1]), std::optional<std::int64_t>(g.clock.now() + g[g.c().timer[1]].interval));
    QCOMPARE(g.random.reseeds() - reseeds, 5 + 1);  // a new problem and a new pace
    QCOMPARE(g.v().score, 4);
    QCOMPARE(g.caption(g.c().tokuten), "4");
    QVERIFY(g.button(1, true) != 0);
}

void TestFalling::timelineOfAnUnansweredProblem()
{
    // 282 ticks at the drawn pace, then 200 at 1 ms.
    Game g;
    g.choose(1);
    const std::int64_t start = g.clock.now();
    const int drawn = g[g.c().timer[3]].interval;
    fallTo(g, 3, 482);
    QCOMPARE(g.clock.now() - start, 282 * drawn + 200);
    QCOMPARE(g[g.c().mondai[3]].top, 19.0f);
}

void TestFalling::rightAnswerAddsTheCoursePoints_data()
{
    QTest::addColumn<int>("course");
    for (int k = 1; k <= 6; ++k)
        QTest::addRow("course %d", k) << k;
}

void TestFalling::rightAnswerAddsTheCoursePoints()
{
    QFETCH(int, course);
    Game g;
    g.choose(course);
    for (int a = 1; a <= 3; ++a) {
        g.clock.advance(700);
        const auto other = ProblemSnapshot::of(g, 3);
        g.answerRight(1);
        QCOMPARE(g.v().score, a * course);
        QCOMPARE(g.caption(g.c().tokuten), std::to_string(a * course));
        QCOMPARE(g[g.c().mondai[1]].top, 19.0f);
        QVERIFY(drawnInterval(g[g.c().timer[1]].interval));
        QVERIFY(ProblemSnapshot::of(g, 3) == other);
    }
}

void TestFalling::rightAnswerDuringTheFastDrop()
{
    Game g;
    g.choose(4);
    fallTo(g, 2, 300);
    QCOMPARE(g[g.c().timer[2]].interval, 1);
    g.answerRight(2);
    QCOMPARE(g[g.c().mondai[2]].top, 19.0f);
    const int interval = g[g.c().timer[2]].interval;
    QVERIFY(drawnInterval(interval));
    QCOMPARE(g.clock.due(g.c().timer[2]), std::optional<std::int64_t>(g.clock.now() + interval));
    QCOMPARE(g.caption(g.c().tokuten), "4");
}

void TestFalling::wrongAnswerDuringTheFastDrop()
{
    Game g;
    g.choose(6);
    g.answerRight(1);
    fallTo(g, 1, 350);
    const auto before = ProblemSnapshot::of(g, 1);
    QCOMPARE(before.interval, 1);
    const int k = g.button(1, false);
    QVERIFY(k != 0);
    g.answer(1, k);
    QCOMPARE(g.v().score, 0);
    QCOMPARE(g.caption(g.c().tokuten), "0");
    QVERIFY(ProblemSnapshot::of(g, 1) == before);
    g.clock.step();
    QCOMPARE(g[g.c().mondai[1]].top, before.top + 1.0f);
}

void TestFalling::wrongAnswerAtZero()
{
    Game g;
    g.choose(2);
    QVERIFY(g.answerWrong());
    QCOMPARE(g.v().score, 0);
    QCOMPARE(g.caption(g.c().tokuten), "0");
}

void TestFalling::answersTouchOnlyTheirProblem()
{
    Game g;
    g.choose(5);
    g.clock.advance(4'321);
    const auto one = ProblemSnapshot::of(g, 1);
    const auto three = ProblemSnapshot::of(g, 3);
    g.answerRight(2);
    QVERIFY(g.answerWrong());
    g.answerRight(2);
    QVERIFY(ProblemSnapshot::of(g, 1) == one);
    QVERIFY(ProblemSnapshot::of(g, 3) == three);
    QCOMPARE(g.v().score, 5);
}

void TestFalling::eitherButtonWithTheResultCounts()
{
    for (int k : {1, 2}) {
        Game g;
        // Paces, then problem 1 as 1 + 2 with the result folded onto a second
        // button: |3 - 6| = 3 on button 2, 3 + 1 = 4 on button 3.
        g.random.script({0.1f, 0.5f, 0.9f,                                      // paces
                         0.25f, ScriptedRandom::pick(1, 1, 9), ScriptedRandom::pick(2, 1, 9),  // kind, operands
                         ScriptedRandom::pick(1, 1, 6),                          // arrangement 1, 2, 3
                         ScriptedRandom::pick(1, 1, 10), ScriptedRandom::pick(6, 1, 10),   // -6
                         ScriptedRandom::pick(10, 1, 10), ScriptedRandom::pick(1, 1, 10)}); // +1
        g.choose(1);
        QCOMPARE(g.caption(g.c().mondai[1]), "1 + 2");
        QCOMPARE(g.caption(g.c().kotae[1][1]), "3");
        QCOMPARE(g.caption(g.c().kotae[1][2]), "3");
        QCOMPARE(g.caption(g.c().kotae[1][3]), "4");
        g.answer(1, k);
        QCOMPARE(g.v().score, 1);
    }
}

void TestFalling::captionThatIsNotANumberIsWrong()
{
    Game g;
    g.choose(3);
    g.answerRight(1);
    const int k = g.button(2, true);
    for (const char* caption : {"abc", "", " 3", "3x"}) {
        g.answerRight(1);
        g.form.model().setCaption(g.c().kotae[2][k], caption);
        g.answer(2, k);
        QCOMPARE(g.v().score, 0);
    }
    QCOMPARE(game::captionValue("107"), 107.0);
    QVERIFY(std::isnan(game::captionValue("1 0")));
}

// Random clicks at random moments, on every button and on no button, in
// and out of games; the rules hold after every single event.
void TestFalling::monkey()
{
    const int games = qEnvironmentVariableIntValue("MONKEY_GAMES") > 0 ? qEnvironmentVariableIntValue("MONKEY_GAMES") : 2000;
    Game g;
    std::mt19937 chance(20261207);
    const auto& c = g.c();
    std::vector<forms::ControlId> targets{-1, c.tokuten, c.hyouka, 999};
    for (int k = 1; k <= 6; ++k)
        targets.push_back(c.rebel[k]);
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k)
            targets.push_back(c.kotae[n][k]);
    }

    int expected = 0;  // points since the last wrong answer
    bool started = false;
    std::array<float, 4> restingTop{};
    auto check = [&] {
        const auto& v = g.v();
        QVERIFY(v.score >= 0);
        QCOMPARE(static_cast<int>(v.score), expected);
        QCOMPARE(g.caption(c.tokuten), std::to_string(expected));
        for (int n = 1; n <= 3; ++n) {
            const float top = g[c.mondai[n]].top;
            if (!g.playing()) {
                QCOMPARE(top, restingTop[n]);
                continue;
            }
            QVERIFY(top >= 19.0f && top <= 501.0f);
            QVERIFY(g.button(n, true) != 0);
            for (int k = 1; k <= 3; ++k)
                QVERIFY(isNumberText(g.caption(c.kotae[n][k])));
            QVERIFY(isNumberText(g.caption(c.hissan[n][1])));
        }
        QVERIFY(isNumberText(g.caption(c.seigenjikan)));
    };
    auto rememberTops = [&] {
        for (int n = 1; n <= 3; ++n)
            restingTop[n] = g[c.mondai[n]].top;
    };
    rememberTops();

    int played = 0;
    bool wasPlaying = false;
    while (played < games) {
        // The next click comes after a pause of 0 to 400 ms.
        g.clock.advance(std::uniform_int_distribution<int>(0, 400)(chance), [&] {
            if (wasPlaying && !g.playing()) {
                ++played;
                rememberTops();
            }
            wasPlaying = g.playing();
            check();
        });
        if (QTest::currentTestFailed())
            return;

        const forms::ControlId target = targets[std::uniform_int_distribution<std::size_t>(0, targets.size() - 1)(chance)];
        if (g.form.model().clickable(target) && target != c.tokuten && target != c.hyouka) {
            bool course = false;
            for (int k = 1; k <= 6; ++k)
                course = course || target == c.rebel[k];
            if (course) {
                expected = 0;
                started = true;
            } else {
                for (int n = 1; n <= 3; ++n) {
                    for (int k = 1; k <= 3; ++k) {
                        if (c.kotae[n][k] == target)
                            expected = game::captionValue(g.caption(target)) == g.v().answer[n] ? expected + g.v().level : 0;
                    }
                }
            }
        }
        g.clock.click(target);
        wasPlaying = g.playing();
        if (!g.playing())
            rememberTops();
        check();
        if (QTest::currentTestFailed())
            return;
    }
    QVERIFY(started);
    QVERIFY(g.v().record > 0);
}

QTEST_APPLESS_MAIN(TestFalling)
#include "test_falling.moc"
