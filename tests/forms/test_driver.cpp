// What every realisation of a window shares: the driver's order of an
// event and its keyboard policies, where a caption stands, and names that
// must resolve in a table.
#include "forms/driver.h"
#include "forms/layout.h"
#include "forms/names.h"

#include <QTest>
#include <array>
#include <string>
#include <vector>

using namespace forms;

namespace {

constexpr ControlSpec timer(std::string_view name, int interval)
{
    ControlSpec c{};
    c.name = name;
    c.kind = Kind::Timer;
    c.interval = interval;
    c.enabled = false;
    return c;
}

constexpr ControlSpec button(std::string_view name, float left)
{
    ControlSpec c{};
    c.name = name;
    c.kind = Kind::Button;
    c.rect = {left, 0, 40, 20};
    return c;
}

constexpr ControlSpec label(std::string_view name, float left, Align align, bool whole)
{
    ControlSpec c{};
    c.name = name;
    c.rect = {left, 30, 60, 20};
    c.align = align;
    c.wholeCaption = whole;
    return c;
}

constexpr std::array kControls{timer("Timer1", 10), button("go", 0), button("stop", 50),
                               label("left", 10, Align::Left, true), label("right", 10, Align::Right, true),
                               label("centre", 70, Align::Centre, true), label("cut", 70, Align::Centre, false)};
constexpr std::array<KeyBinding, 2> kKeys{{{'g', "go"}, {'s', "stop"}}};
constexpr std::array<FocusCell, 2> kFocus{{{"go", -1, 0, 0, 0}, {"stop", -1, 0, 1, 0}}};
constexpr WindowSpec kWindow = [] {
    WindowSpec w{};
    w.name = "w";
    w.clientWidth = 200;
    w.clientHeight = 100;
    w.controls = kControls;
    w.keys = {kKeys, kFocus};
    return w;
}();
constexpr ControlId kTicker = 0, kGo = 1, kStop = 2;
static_assert(!kWindow.unresolvedName());

// A window whose "go" starts its timer and "stop" disables itself; it notes
// every event in order, and the surface notes what it was asked.
struct Logic final : FormLogic {
    FormModel form{kWindow};
    std::vector<std::string> log;
    FormModel& model() override { return form; }
    void load() override { log.push_back("load"); }
    void click(ControlId id) override
    {
        log.push_back(id == kGo ? "go" : "stop");
        if (id == kGo)
            form.setEnabled(kTicker, true);
        else
            form.setEnabled(kStop, false);
    }
    void tick(ControlId) override { log.push_back("tick"); }
};

struct Screen final : Surface {
    std::vector<std::string>& log;
    ControlId held = kNoControl;
    bool ring = false;
    std::optional<std::int64_t> wake;
    explicit Screen(std::vector<std::string>& l) : log(l) {}
    void draw() override { log.push_back("draw"); }
    ControlId focused() const override { return held; }
    void focus(ControlId id) override { held = id; }
    void showFocus(bool shown) override { ring = shown; }
    void wakeAt(std::optional<std::int64_t> time) override { wake = time; }
};

struct Run {
    Logic logic;
    Screen screen{logic.log};
    Driver driver{logic, screen};
    Run() { driver.load(0); }
    bool key(KeyPress press, bool repeat = false, bool shortcut = false)
    {
        return driver.key({press, repeat, shortcut}, 0);
    }
};

}  // namespace

class TestDriver : public QObject {
    Q_OBJECT

private slots:
    void anEventRunsTheTicksDueFirstAndDrawsOnce();
    void keys();
    void focusLeavesAButtonThatGoes();
    void captionRoom_data();
    void captionRoom();
    void namesThatDoNotResolve();
};

void TestDriver::anEventRunsTheTicksDueFirstAndDrawsOnce()
{
    Run r;
    QCOMPARE(r.logic.log, (std::vector<std::string>{"load", "draw"}));
    QCOMPARE(r.screen.wake, std::nullopt);
    r.driver.click(kGo, 5);
    QCOMPARE(r.screen.wake, std::optional<std::int64_t>(25));  // due at 15, but not before the next slot
    r.logic.log.clear();
    // A click at 37 comes after the ticks due at 15, 25 and 35.
    r.driver.click(kStop, 37);
    QCOMPARE(r.logic.log, (std::vector<std::string>{"tick", "tick", "tick", "stop", "draw"}));
    r.logic.log.clear();
    r.driver.wake(60);
    QCOMPARE(r.logic.log, (std::vector<std::string>{"tick", "tick", "draw"}));
    QCOMPARE(r.screen.wake, std::optional<std::int64_t>(75));
}

void TestDriver::keys()
{
    Run r;
    // Keys that are not the game's: the toolkit keeps them, and the focus
    // is not shown for them.
    QVERIFY(!r.key({Key::Character, 'x'}));
    QVERIFY(!r.key({Key::Character, 'g'}, false, true));
    QVERIFY(!r.key({Key::Other}));
    QVERIFY(!r.screen.ring);
    // A held key presses once.
    QVERIFY(r.key({Key::Character, 'g'}, true));
    QVERIFY(!r.logic.form[kTicker].enabled);
    // The first key starts from no focus, whatever the toolkit focused.
    r.screen.held = kStop;
    QVERIFY(r.key({Key::Tab}));
    QVERIFY(r.screen.ring);
    QCOMPARE(r.screen.held, kGo);
    QVERIFY(r.key({Key::Activate}));
    QVERIFY(r.logic.form[kTicker].enabled);
    // After the mouse, keys start from no focus again.
    r.driver.pointer();
    QVERIFY(!r.screen.ring);
    QVERIFY(r.key({Key::BackTab}));
    QCOMPARE(r.screen.held, kStop);
}

void TestDriver::focusLeavesAButtonThatGoes()
{
    Run r;
    r.key({Key::Tab});
    r.key({Key::Right});
    QCOMPARE(r.screen.held, kStop);
    r.key({Key::Activate});  // "stop" disables itself
    QCOMPARE(r.screen.held, kGo);
}

void TestDriver::captionRoom_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("roomWidth");
    QTest::addColumn<int>("at");
    QTest::addColumn<bool>("cut");
    // Boxes 60 wide: "left" and "right" at 10, "centre" and "cut" at 70, in a window 200 wide.
    QTest::newRow("fits, left") << "left" << 20 << 10 << 60 << 10 << false;
    QTest::newRow("fits, right") << "right" << 20 << 10 << 60 << 50 << false;
    QTest::newRow("fits, centre") << "centre" << 21 << 70 << 60 << 89 << false;
    QTest::newRow("whole, widens right") << "left" << 100 << 10 << 100 << 10 << false;
    QTest::newRow("whole, widens left, kept in") << "right" << 100 << 0 << 100 << 0 << false;
    QTest::newRow("whole, widens both ways") << "centre" << 80 << 60 << 80 << 60 << false;
    QTest::newRow("whole, kept in on the right") << "left" << 195 << 5 << 195 << 5 << false;
    QTest::newRow("whole, wider than the window") << "centre" << 260 << 0 << 260 << 0 << false;
    QTest::newRow("design caption, cut around its centre") << "cut" << 80 << 70 << 60 << 60 << true;
}

void TestDriver::captionRoom()
{
    QFETCH(QString, control);
    QFETCH(int, width);
    const Layout layout(kWindow);
    const CaptionRoom room = layout.captionRoom(kWindow.find(control.toStdString()), width);
    QTEST(room.left, "left");
    QTEST(room.width, "roomWidth");
    QTEST(room.at, "at");
    QTEST(room.cut, "cut");
}

void TestDriver::namesThatDoNotResolve()
{
    Names name(kWindow);
    QCOMPARE(name("go"), kGo);
    QCOMPARE(name("Timer", 1), kNoControl);
    QCOMPARE(name("stpo"), kNoControl);
    QCOMPARE(name.missing(), (std::vector<std::string>{"Timer(1)", "stpo"}));

    // A table that names a control it lacks, in each place a table names one.
    constexpr std::array<KeyBinding, 1> kBadKey{{{'q', "quit"}}};
    constexpr std::array<FocusCell, 1> kBadFocus{{{"gone"}}};
    WindowSpec keys = kWindow;
    keys.keys = {kBadKey, kFocus};
    QCOMPARE(keys.unresolvedName(), std::optional<std::string_view>("quit"));
    WindowSpec focus = kWindow;
    focus.keys = {kKeys, kBadFocus};
    QCOMPARE(focus.unresolvedName(), std::optional<std::string_view>("gone"));
    std::array controls = kControls;
    controls[3].movedBy = "Timer2";
    WindowSpec mover = kWindow;
    mover.controls = controls;
    QCOMPARE(mover.unresolvedName(), std::optional<std::string_view>("Timer2"));
}

QTEST_APPLESS_MAIN(TestDriver)
#include "test_driver.moc"
