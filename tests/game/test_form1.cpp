// The life of a game: the resting screen, a course choice, the countdown,
// the end with its record and verdict, and the next game.
#include "game/course.h"
#include "game_fixture.h"

#include <QTest>

using game::Form1;
using forms::Colour;
using testing::Game;
namespace colours = forms::colours;

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void readyAfterLoad();
    void nothingHappensBeforeTheFirstChoice();
    void courseChoiceStartsAGame();
    void theTickThatShowsZeroEndsTheGame();
    void onlyTheChosenCourseStaysInView();
    void coloursAfterTheGame();
    void recordOverGames();
    void equalScoreKeepsTheRecord();
    void zeroFinalScoreInTheFirstGame();
    void nextGameRestarts();
    void evaluationMessages_data();
    void evaluationMessages();
    void scoreStopsAtTheTopOfItsRange();
    void saturatingArithmetic();
    void clicksOnHiddenOrDisabledButtonsAreIgnored();
    void outcomesOfAWholeGame();
};

void TestForm1::readyAfterLoad()
{
    Game g;
    QCOMPARE(g.caption(g.c().tokuten), "0");
    QCOMPARE(g.caption(g.c().seigenjikan), "60");
    QCOMPARE(g.v().timeleft, 60);
    QCOMPARE(g.v().level, 0);
    QCOMPARE(g.caption(g.c().hyouka), "");
    QCOMPARE(g.caption(g.c().kirokuhyouji), "");
    QCOMPARE(g.random.reseeds(), 1);  // one re-seed ahead of the three pace draws
    QCOMPARE(g.random.draws(), 3);
    for (int t = 1; t <= 4; ++t)
        QVERIFY(!g[g.c().timer[t]].enabled);
    QCOMPARE(g[g.c().timer[4]].interval, 1000);
    for (int n = 1; n <= 3; ++n) {
        const int interval = g[g.c().timer[n]].interval;
        QVERIFY2(interval == 10 || interval == 20 || interval == 30, qPrintable(QString::number(interval)));
        QCOMPARE(g.caption(g.c().mondai[n]), "問題" + std::string(n == 1 ? "１" : n == 2 ? "２" : "３"));
        QCOMPARE(g[g.c().mondai[n]].top, g.form.model().designTop(g.c().mondai[n]));
        for (int k = 1; k <= 3; ++k)
            QVERIFY(!g[g.c().kotae[n][k]].enabled);
        QCOMPARE(g.caption(g.c().hissan[n][1]), "Label5");
        QCOMPARE(g.caption(g.c().kigou[n]), "Label5");
    }
    for (int k = 1; k <= 6; ++k) {
        QVERIFY(g[g.c().rebel[k]].visible);
        QVERIFY(g[g.c().rebel[k]].enabled);
        QCOMPARE(g[g.c().rebel[k]].back, colours::lightGreen);
    }
}

void TestForm1::nothingHappensBeforeTheFirstChoice()
{
    Game g;
    g.answer(2, 1);
    g.clock.advance(120'000);
    QCOMPARE(g.clock.ticks(g.c().timer[1]) + g.clock.ticks(g.c().timer[4]), 0);
    QCOMPARE(g.caption(g.c().seigenjikan), "60");
    QCOMPARE(g.caption(g.c().mondai[2]), "問題２");
    QCOMPARE(g[g.c().mondai[2]].top, g.form.model().designTop(g.c().mondai[2]));
}

void TestForm1::courseChoiceStartsAGame()
{
    Game g;
    g.choose(5);
    QVERIFY(g.playing());
    QCOMPARE(g.v().level, 5);
    QCOMPARE(g.v().score, 0);
    QCOMPARE(g.caption(g.c().tokuten), "0");
    QCOMPARE(g.caption(g.c().seigenjikan), "60");
    QCOMPARE(g.caption(g.c().hyouka), "");
    for (int n = 1; n <= 3; ++n) {
        QVERIFY(g[g.c().timer[n]].enabled);
        QCOMPARE(g[g.c().mondai[n]].top, 19.0f);
        for (int k = 1; k <= 3; ++k)
            QVERIFY(g[g.c().kotae[n][k]].enabled);
        // The problem is on screen: text, column display, and its result on a button.
        QVERIFY(g.caption(g.c().mondai[n]).find(g.caption(g.c().hissan[n][1])) == 0);
        QVERIFY(g.button(n, true) != 0);
    }
    // The first countdown tick comes one second after the choice.
    QCOMPARE(g.clock.due(g.c().timer[4]), std::optional<std::int64_t>(1000));
    g.clock.advanceTo(999);
    QCOMPARE(g.caption(g.c().seigenjikan), "60");
    g.clock.advanceTo(1000);
    QCOMPARE(g.caption(g.c().seigenjikan), "59");
}

void TestForm1::theTickThatShowsZeroEndsTheGame()
{
    Game g;
    g.choose(2);
    g.clock.advanceTo(59'000);
    QCOMPARE(g.caption(g.c().seigenjikan), "1");
    QVERIFY(g.playing());
    const int fallTicks = g.clock.ticks(g.c().timer[1]);
    QVERIFY(fallTicks > 0);

    g.clock.advanceTo(60'000);
    QCOMPARE(g.caption(g.c().seigenjikan), "0");
    QCOMPARE(g.v().timeleft, 0);
    QVERIFY(!g.playing());
    for (int t = 1; t <= 3; ++t)
        QVERIFY(!g[g.c().timer[t]].enabled);
    QCOMPARE(g.caption(g.c().hyouka), "どうした？");
    QCOMPARE(g.caption(g.c().kirokuhyouji), "0");

    // Nothing ticks after the end: the problems stay where they stopped.
    const int fallAtEnd = g.clock.ticks(g.c().timer[1]);
    const float top = g[g.c().mondai[1]].top;
    g.clock.advance(10'000);
    QCOMPARE(g.clock.ticks(g.c().timer[4]), 60);
    QCOMPARE(g.clock.ticks(g.c().timer[1]), fallAtEnd);
    QCOMPARE(g[g.c().mondai[1]].top, top);
    QCOMPARE(g.caption(g.c().seigenjikan), "0");
}

void TestForm1::onlyTheChosenCourseStaysInView()
{
    Game g;
    g.choose(3);
    for (int k = 1; k <= 6; ++k)
        QCOMPARE(g[g.c().rebel[k]].visible, k == 3);
    QVERIFY(!g[g.c().rebel[3]].enabled);
    QCOMPARE(g[g.c().rebel[3]].back, colours::lightGreen);
    QCOMPARE(g[g.c().label1[2]].fore, colours::black);
    QCOMPARE(g[g.c().label1[0]].fore, colours::white);

    // The chosen button does not react, nor do the hidden ones.
    g.clock.advanceTo(5'000);
    const std::string problem = g.caption(g.c().mondai[1]);
    g.choose(3);
    g.choose(1);
    QCOMPARE(g.v().level, 3);
    QCOMPARE(g.caption(g.c().seigenjikan), "55");
    QCOMPARE(g.caption(g.c().mondai[1]), problem);
}

void TestForm1::coloursAfterTheGame()
{
    Game g;
    g.choose(4);
    g.finish();
    for (int k = 1; k <= 6; ++k) {
        QVERIFY(g[g.c().rebel[k]].visible);
        QVERIFY(g[g.c().rebel[k]].enabled);
        QCOMPARE(g[g.c().rebel[k]].back, k == 4 ? colours::lightGreen : colours::white);
        QCOMPARE(g[g.c().label1[k - 1]].fore, k == 4 ? colours::black : colours::white);
    }
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k)
            QVERIFY(!g[g.c().kotae[n][k]].enabled);
    }
    g.choose(6);
    QCOMPARE(g[g.c().rebel[6]].back, colours::lightGreen);
    QCOMPARE(g[g.c().label1[5]].fore, colours::black);
    QCOMPARE(g[g.c().rebel[4]].back, colours::white);
    QCOMPARE(g[g.c().label1[3]].fore, colours::white);
}

void TestForm1::recordOverGames()
{
    Game g;
    // Course 5 earns 5 points an answer.
    for (const auto& [answers, record] : {std::pair{10, "50"}, {6, "50"}, {4, "50"}, {12, "60"}}) {
        g.choose(5);
        for (int a = 0; a < answers; ++a)
            g.answerRight(a % 3 + 1);
        g.finish();
        QCOMPARE(g.v().lastscore, answers * 5);
        QCOMPARE(g.caption(g.c().kirokuhyouji), record);
        QCOMPARE(g.caption(g.c().hyouka), game::evaluation(g.v().lastscore));
    }
    QCOMPARE(g.v().record, 60);
}

void TestForm1::equalScoreKeepsTheRecord()
{
    Game g;
    for (int game = 0; game < 2; ++game) {
        g.choose(6);
        for (int a = 0; a < 5; ++a)
            g.answerRight(2);
        g.finish();
        QCOMPARE(g.caption(g.c().kirokuhyouji), "30");
        QCOMPARE(g.v().record, 30);
    }
}

void TestForm1::zeroFinalScoreInTheFirstGame()
{
    Game g;
    g.choose(1);
    g.answerRight(1);
    QCOMPARE(g.caption(g.c().tokuten), "1");
    QVERIFY(g.answerWrong());
    g.finish();
    QCOMPARE(g.caption(g.c().tokuten), "0");
    QCOMPARE(g.caption(g.c().kirokuhyouji), "0");
    QCOMPARE(g.caption(g.c().hyouka), "どうした？");
}

void TestForm1::nextGameRestarts()
{
    Game g;
    g.choose(2);
    for (int a = 0; a < 7; ++a)
        g.answerRight(3);
    g.clock.advance(20'000);  // the problems have fallen some way
    g.finish();
    QCOMPARE(g.caption(g.c().kirokuhyouji), "14");
    const int reseeds = g.random.reseeds();

    g.choose(1);
    QCOMPARE(g.v().score, 0);
    QCOMPARE(g.caption(g.c().tokuten), "0");
    QCOMPARE(g.v().timeleft, 60);
    QCOMPARE(g.caption(g.c().seigenjikan), "60");
    QCOMPARE(g.caption(g.c().hyouka), "");
    QCOMPARE(g.caption(g.c().kirokuhyouji), "14");
    QCOMPARE(g.v().record, 14);
    // One re-seed for the paces and five for each of the three problems.
    QCOMPARE(g.random.reseeds() - reseeds, 1 + 3 * 5);
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(g[g.c().mondai[n]].top, 19.0f);
        const int interval = g[g.c().timer[n]].interval;
        QVERIFY(interval == 10 || interval == 20 || interval == 30);
        QCOMPARE(g.clock.due(g.c().timer[n]), std::optional<std::int64_t>(g.clock.now() + interval));
    }
    g.clock.advance(60'000);
    QVERIFY(!g.playing());
}

void TestForm1::evaluationMessages_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("message");
    const QString rows[] = {
        "どうした？", "がんばれ!　がんばれ!", "まだ まだ!", "もう ひとがんばり!", "もっと　がんばれるぞ!",
        "なかなか　やるなあ!", "おっ!　これは？", "これは　きたいできるぞ!", "もうすこしで　たつじん　じゃ!",
        "きみは　計算の　たつじん!",
    };
    for (int band = 0; band < 10; ++band) {
        for (int score : {band * 10, band * 10 + 9})
            QTest::addRow("%d", score) << score << rows[band];
    }
    for (int score : {100, 101, 250, 32767})
        QTest::addRow("%d", score) << score << QStringLiteral("先生も　まいった!!");
    QTest::addRow("-1") << -1 << QStringLiteral("どうした？");
}

void TestForm1::evaluationMessages()
{
    QFETCH(int, score);
    QFETCH(QString, message);
    const std::string_view got = game::evaluation(static_cast<game::Integer>(score));
    QCOMPARE(QString::fromUtf8(got.data(), static_cast<qsizetype>(got.size())), message);
}

void TestForm1::scoreStopsAtTheTopOfItsRange()
{
    Game g;
    g.choose(6);
    // 5462 right answers would pass 32767; the score stays at the top.
    for (int a = 0; a < 5470; ++a)
        g.answerRight(a % 3 + 1);
    QCOMPARE(g.v().score, 32767);
    QCOMPARE(g.caption(g.c().tokuten), "32767");
    g.finish();
    QCOMPARE(g.caption(g.c().kirokuhyouji), "32767");
    QCOMPARE(g.caption(g.c().hyouka), "先生も　まいった!!");
}

void TestForm1::saturatingArithmetic()
{
    using namespace game;
    QCOMPARE(add(32760, 6), 32766);
    QCOMPARE(add(32767, 6), 32767);
    QCOMPARE(sub(-32768, 1), -32768);
    QCOMPARE(sub(0, 1), -1);
    QCOMPARE(mul(3, 10), 30);
    QCOMPARE(mul(400, 100), 32767);
    QCOMPARE(mul(-400, 100), -32768);
}

void TestForm1::clicksOnHiddenOrDisabledButtonsAreIgnored()
{
    Game g;
    g.choose(2);
    g.answerRight(1);
    g.finish();
    const std::string before = g.caption(g.c().mondai[1]);
    // Answer buttons are disabled after the game; a stray id is no control.
    for (int k = 1; k <= 3; ++k)
        g.answer(1, k);
    g.clock.click(-1);
    g.clock.click(10'000);
    g.clock.click(g.c().tokuten);
    QCOMPARE(g.caption(g.c().tokuten), "2");
    QCOMPARE(g.caption(g.c().mondai[1]), before);
    QVERIFY(!g.playing());
}

// What the rules say of each event of a game, checked against what the
// window showed just before it: the sum answered or missed is the one that
// was on the screen, and the phase follows the game.
void TestForm1::outcomesOfAWholeGame()
{
    using Kind = game::Outcome::Kind;
    Game g;
    std::vector<game::Outcome> heard;
    std::array<std::string, 4> shown;  // each sum's text before the event
    const auto text = [](const game::Sum& s) { return game::sumText(s); };
    const auto note = [&] {
        for (int n = 1; n <= 3; ++n)
            shown[n] = g.caption(g.c().mondai[n]);
    };
    g.rules.listener = [&](const game::Outcome& o) {
        if (o.kind == Kind::Missed)
            QCOMPARE(text(o.sum), shown[o.problem]);
        if (o.kind != Kind::Moved)
            heard.push_back(o);
        note();
    };
    QCOMPARE(g.form.phase(), game::Phase::Rest);
    g.choose(4);
    QCOMPARE(g.rules.last().kind, Kind::Started);
    QCOMPARE(g.rules.last().course, 4);
    QCOMPARE(g.form.phase(), game::Phase::Playing);

    g.clock.advance(700);
    const std::string before = shown[2];
    g.answerRight(2);
    const game::Outcome right = g.rules.last();
    QCOMPARE(right.kind, Kind::Right);
    QCOMPARE(right.problem, 2);
    QCOMPARE(right.points, 4);
    QCOMPARE(right.score, 4);
    QCOMPARE(text(right.sum), before);
    QCOMPARE(right.sum.answer, right.sum.op == game::Op::Plus ? right.sum.num1 + right.sum.num2 : right.sum.num1 - right.sum.num2);
    const std::array<std::string, 4> beforeWrong = shown;
    QVERIFY(g.answerWrong());
    const game::Outcome wrong = g.rules.last();
    QCOMPARE(wrong.kind, Kind::Wrong);
    QCOMPARE(wrong.score, 0);
    QCOMPARE(text(wrong.sum), beforeWrong[wrong.problem]);
    QVERIFY(wrong.given != wrong.sum.result());
    QCOMPARE(double(wrong.given.value), game::captionValue(g.caption(g.c().kotae[wrong.problem][g.button(wrong.problem, false)])));

    heard.clear();
    g.finish();
    QCOMPARE(g.form.phase(), game::Phase::Over);
    std::vector<int> seconds;
    int missed = 0;
    for (const game::Outcome& o : heard) {
        if (o.kind == Kind::Second)
            seconds.push_back(o.seconds);
        missed += o.kind == Kind::Missed;
    }
    QCOMPARE(seconds.size(), 59u);
    QCOMPARE(seconds.front(), 59);
    QCOMPARE(seconds.back(), 1);
    QVERIFY2(missed > 20, "sums fell unanswered for most of a minute");
    QCOMPARE(heard.back().kind, Kind::Over);
    QCOMPARE(heard.back().score, 0);
    QCOMPARE(heard.back().record, 0);
    // Stray events say nothing happened.
    QCOMPARE(g.form.click(g.c().kotae[1][1]).kind, Kind::Nothing);
    QCOMPARE(g.form.tick(g.c().timer[1]).kind, Kind::Nothing);
}

QTEST_APPLESS_MAIN(TestForm1)
#include "test_form1.moc"
