// The rules by which a window's timers tick.
#include "forms/timer_schedule.h"

#include <QTest>
#include <array>

using forms::ControlId;
using forms::ControlSpec;
using forms::FormModel;
using forms::TimerSchedule;

namespace {

constexpr ControlSpec timer(std::string_view name, int interval, bool enabled)
{
    ControlSpec c{};
    c.name = name;
    c.kind = forms::Kind::Timer;
    c.interval = interval;
    c.enabled = enabled;
    return c;
}

// Listed out of name order on purpose: ties go by name, not by table row.
constexpr std::array kTimers{timer("TimerB", 10, false), timer("TimerA", 10, false), timer("TimerC", 1000, true)};
constexpr forms::WindowSpec kWindow = [] {
    forms::WindowSpec w{};
    w.name = "w";
    w.controls = kTimers;
    return w;
}();
constexpr ControlId kB = 0, kA = 1, kC = 2;

struct Fixture {
    FormModel model{kWindow};
    TimerSchedule schedule{model};
    Fixture() { schedule.sync(0); }
};

}  // namespace

class TestTimerSchedule : public QObject {
    Q_OBJECT

private slots:
    void enabledByDesignCountsFromTheStart();
    void enablingSchedulesOneIntervalLater();
    void periodicWithoutDrift();
    void sameIntervalDoesNotRestart();
    void newIntervalRestartsFromNow();
    void disablingCancelsThePendingTick();
    void equalDueTimesGoInNameOrder();
    void lateTicksAreCaughtUp();
    void afterALongStallTheTimerGoesOnFromNow();
    void aWindowWakesOncePerFrame_data();
    void aWindowWakesOncePerFrame();
    void lateWakeUpsDoNotSlowTheFrames();
};

void TestTimerSchedule::enabledByDesignCountsFromTheStart()
{
    Fixture f;
    QCOMPARE(f.schedule.due(kC), std::optional<std::int64_t>(1000));
    QCOMPARE(f.schedule.due(kA), std::nullopt);
    QCOMPARE(f.schedule.nextDue(), std::optional<std::int64_t>(1000));
    QVERIFY(!f.schedule.takeDue(999));
}

void TestTimerSchedule::enablingSchedulesOneIntervalLater()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.schedule.sync(37);
    QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(47));
}

void TestTimerSchedule::periodicWithoutDrift()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.schedule.sync(0);
    // Handlers that finish late do not push the following ticks back.
    for (int k = 1; k <= 5; ++k) {
        const auto tick = f.schedule.takeDue(10 * k + 3);
        QVERIFY(tick && tick->timer == kA);
        QCOMPARE(tick->at, 10 * k);
        f.schedule.sync(10 * k + 3);
        QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(10 * (k + 1)));
    }
}

void TestTimerSchedule::sameIntervalDoesNotRestart()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.schedule.sync(0);
    f.model.setInterval(kA, 10);
    f.schedule.sync(7);
    QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(10));
}

void TestTimerSchedule::newIntervalRestartsFromNow()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.schedule.sync(0);
    QCOMPARE(f.schedule.takeDue(10)->timer, kA);
    // The handler sets 1 ms, then draws 20: one restart, from now.
    f.model.setInterval(kA, 1);
    f.model.setInterval(kA, 20);
    f.schedule.sync(10);
    QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(30));
    // A new interval on a stopped timer waits for the timer to start.
    f.model.setEnabled(kB, false);
    f.model.setInterval(kB, 5);
    f.schedule.sync(12);
    QCOMPARE(f.schedule.due(kB), std::nullopt);
}

void TestTimerSchedule::disablingCancelsThePendingTick()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.schedule.sync(0);
    f.model.setEnabled(kA, false);
    f.schedule.sync(5);
    QCOMPARE(f.schedule.due(kA), std::nullopt);
    QVERIFY(!f.schedule.takeDue(500));
    // Enabled again: a whole interval from then.
    f.model.setEnabled(kA, true);
    f.schedule.sync(600);
    QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(610));
}

void TestTimerSchedule::equalDueTimesGoInNameOrder()
{
    Fixture f;
    f.model.setEnabled(kB, true);
    f.model.setEnabled(kA, true);
    f.schedule.sync(0);
    QCOMPARE(f.schedule.takeDue(10)->timer, kA);
    QCOMPARE(f.schedule.takeDue(10)->timer, kB);
    QVERIFY(!f.schedule.takeDue(10));
}

void TestTimerSchedule::lateTicksAreCaughtUp()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.model.setInterval(kA, 1);
    f.schedule.sync(0);
    // A wake-up 40 ms late delivers the 40 ticks that were due, each at its
    // own moment; a handler's restart counts from the moment of its tick.
    int ticks = 0;
    std::int64_t expected = 1;
    while (const auto tick = f.schedule.takeDue(40)) {
        QCOMPARE(tick->at, expected);
        if (tick->at == 20)
            f.model.setInterval(kA, 2);
        f.schedule.sync(tick->at);
        expected += f.model[kA].interval;
        ++ticks;
    }
    QCOMPARE(ticks, 20 + 10);
    QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(42));
}

void TestTimerSchedule::afterALongStallTheTimerGoesOnFromNow()
{
    Fixture f;
    f.model.setEnabled(kA, true);
    f.model.setInterval(kA, 1);
    f.schedule.sync(0);
    // Three seconds stopped: one tick of each timer, then their paces from now on.
    int ticks = 0;
    while (const auto tick = f.schedule.takeDue(3000)) {
        QCOMPARE(tick->at, 3000);
        f.schedule.sync(tick->at);
        ticks += tick->timer == kA;
    }
    QCOMPARE(ticks, 1);
    QCOMPARE(f.schedule.due(kC), std::optional<std::int64_t>(4000));
    QCOMPARE(f.schedule.due(kA), std::optional<std::int64_t>(3001));
    QCOMPARE(f.schedule.takeDue(3000 + 1)->timer, kA);
    QVERIFY(TimerSchedule::kMaxCatchUp < 3000);
}

void TestTimerSchedule::aWindowWakesOncePerFrame_data()
{
    QTest::addColumn<int>("due");
    QTest::addColumn<int>("lastWake");
    QTest::addColumn<int>("wake");
    QTest::newRow("tick in a later frame") << 100 << 10 << 100;
    QTest::newRow("tick in the same frame") << 12 << 10 << 25;
    QTest::newRow("tick overdue") << 20 << 27 << 50;
    QTest::newRow("woken on a frame's first moment") << 51 << 50 << 75;
}

void TestTimerSchedule::aWindowWakesOncePerFrame()
{
    QFETCH(int, due);
    QFETCH(int, lastWake);
    QFETCH(int, wake);
    QCOMPARE(forms::nextWake(due, lastWake, 25), wake);
}

void TestTimerSchedule::lateWakeUpsDoNotSlowTheFrames()
{
    // A 1 ms timer keeps a tick always due; the system wakes the window
    // 1 to 3 ms after the moment it asked for. A second still has 40 frames.
    std::int64_t wake = 0;
    int wakes = 0;
    for (int late = 1; wake < 1000; late = late % 3 + 1) {
        ++wakes;
        wake = forms::nextWake(wake + 1, wake, 25) + late;
    }
    QCOMPARE(wakes, 40);
}

QTEST_APPLESS_MAIN(TestTimerSchedule)
#include "test_timer_schedule.moc"
