// The opening sequence in virtual time: its timeline, what shows on each
// tick, and the hand-over.
#include "game/cright.h"
#include "support/virtual_clock.h"

#include <QTest>

using game::Cright;
using testing::VirtualClock;

class TestOpeningSequence : public QObject {
    Q_OBJECT

private slots:
    void afterLoad();
    void timeline();
    void spritesAndCovers();
    void handOverOnTheLastTickOnly();
    void intervalFormula_data();
    void intervalFormula();
};

void TestOpeningSequence::afterLoad()
{
    Cright cright({});
    VirtualClock clock(cright);
    clock.load();
    const auto& m = cright.model();
    QCOMPARE(cright.stage(), 0);
    QVERIFY(m[cright.timer1()].enabled);
    QCOMPARE(m[cright.timer1()].interval, 50);
    QCOMPARE(clock.due(cright.timer1()), std::optional<std::int64_t>(50));
    QVERIFY(m[cright.topCover()].visible);
    for (int k = 0; k < Cright::kFrames; ++k) {
        QVERIFY(!m[cright.sprite(k)].visible);
        QVERIFY(m[cright.cover(k)].visible);
    }
    QCOMPARE(cright.model().spec().caption, "オープニング");
    QCOMPARE(cright.model().spec().clientWidth, 426);
    QCOMPARE(cright.model().spec().clientHeight, 222);
    QVERIFY(cright.model().spec().toolWindow);
}

void TestOpeningSequence::timeline()
{
    Cright cright({});
    VirtualClock clock(cright);
    clock.load();
    const std::int64_t times[] = {50, 100, 150, 201, 254, 309, 367, 429, 495, 566, 643, 726};
    const int stages[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 13};
    for (int tick = 0; tick < 12; ++tick) {
        QCOMPARE(clock.step(), std::optional(cright.timer1()));
        QCOMPARE(clock.now(), times[tick]);
        QCOMPARE(cright.stage(), stages[tick]);
    }
    for (int tick = 13; tick <= Cright::kLastTick; ++tick) {
        QCOMPARE(clock.step(), std::optional(cright.timer1()));
        QCOMPARE(clock.now(), 726 + 90 * (tick - 12));
        QCOMPARE(cright.stage(), tick + 1);
    }
    QCOMPARE(clock.now(), 1986);
    QCOMPARE(cright.stage(), 27);
    QCOMPARE(clock.step(), std::nullopt);  // the timer is stopped with the window
}

void TestOpeningSequence::spritesAndCovers()
{
    Cright cright({});
    VirtualClock clock(cright);
    clock.load();
    const auto& m = cright.model();
    for (int tick = 1; tick <= Cright::kLastTick; ++tick) {
        clock.step();
        const int shown = std::min(tick - 1, 11);
        int visible = 0;
        for (int k = 0; k < Cright::kFrames; ++k) {
            visible += m[cright.sprite(k)].visible;
            QCOMPARE(m[cright.cover(k)].visible, k + 1 > tick);
        }
        QCOMPARE(visible, 1);
        QVERIFY(m[cright.sprite(shown)].visible);
        QCOMPARE(m[cright.topCover()].visible, tick < 12);
    }
    const auto& frame11 = m.design(cright.sprite(11)).rect;
    QCOMPARE(frame11.left, 360.0f);
    QCOMPARE(frame11.top, 128.0f);
}

void TestOpeningSequence::handOverOnTheLastTickOnly()
{
    int handOvers = 0;
    int stageAtHandOver = 0;
    Cright* self = nullptr;
    Cright cright([&] {
        ++handOvers;
        stageAtHandOver = self->stage();
    });
    self = &cright;
    VirtualClock clock(cright);
    clock.load();
    clock.advanceTo(1985);
    QCOMPARE(handOvers, 0);
    QVERIFY(!cright.gone());
    clock.advanceTo(1986);
    QCOMPARE(handOvers, 1);
    QCOMPARE(stageAtHandOver, 27);
    QVERIFY(cright.gone());
    QVERIFY(!cright.model()[cright.timer1()].enabled);
    // Stray ticks after the hand-over change nothing.
    cright.tick(cright.timer1());
    clock.advance(10'000);
    QCOMPARE(handOvers, 1);
    QCOMPARE(cright.stage(), 27);
}

void TestOpeningSequence::intervalFormula_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("interval");
    const int expected[] = {50, 50, 51, 53, 55, 58, 62, 66, 71, 77, 83, 90};
    for (int s = 0; s < 12; ++s)
        QTest::addRow("stage %d", s) << s << expected[s];
}

void TestOpeningSequence::intervalFormula()
{
    QFETCH(int, stage);
    QFETCH(int, interval);
    Cright cright({});
    VirtualClock clock(cright);
    clock.load();
    for (int s = 0; s <= stage; ++s)
        clock.step();
    QCOMPARE(cright.model()[cright.timer1()].interval, interval);
}

QTEST_APPLESS_MAIN(TestOpeningSequence)
#include "test_opening_sequence.moc"
