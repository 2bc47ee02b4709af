// The game window worked from the keyboard: which key presses which button
// at rest, in play and after a game, and how the focus moves.
#include "game_fixture.h"

#include "forms/keyboard.h"

#include <QTest>

using forms::ControlId;
using forms::Key;
using forms::Keyboard;
using forms::kNoControl;
using testing::Game;

namespace {

enum State { Ready, Playing, Ended };

// A game in the given state; in play the course is 2.
void bring(Game& g, int state)
{
    if (state != Ready)
        g.choose(2);
    if (state == Ended)
        g.finish();
}

ControlId named(const Game& g, const QString& name, int index)
{
    return name.isEmpty() ? kNoControl : g.form.model().spec().find(name.toStdString(), index);
}

}  // namespace

class TestKeys : public QObject {
    Q_OBJECT

private slots:
    void digits_data();
    void digits();
    void tabOrder_data();
    void tabOrder();
    void arrows_data();
    void arrows();
    void focusSettlesWhereItCanStay();
};

void TestKeys::digits_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<char>("key");
    QTest::addColumn<QString>("control");  // empty: the key presses nothing
    QTest::addColumn<int>("index");
    for (int state : {Ready, Ended}) {
        const char* when = state == Ready ? "ready" : "ended";
        for (int k = 1; k <= 6; ++k)
            QTest::addRow("%s %d", when, k) << state << char('0' + k) << QString("rebel") << k;
        for (char key : {'7', '8', '9', '0', 'a', ' '})
            QTest::addRow("%s '%c'", when, key) << state << key << QString() << 0;
    }
    // In play the digits lie like the numeric keypad over the 3 x 3 answers.
    const struct {
        char key;
        const char* control;
        int index;
    } keypad[] = {{'7', "kotae1", 1}, {'8', "kotae2", 1}, {'9', "kotae3", 1}, {'4', "kotae1", 2}, {'5', "kotae2", 2},
                  {'6', "kotae3", 2}, {'1', "kotae1", 3}, {'2', "kotae2", 3}, {'3', "kotae3", 3}};
    for (const auto& row : keypad)
        QTest::addRow("playing %c", row.key) << int(Playing) << row.key << QString(row.control) << row.index;
    QTest::addRow("playing 0") << int(Playing) << '0' << QString() << 0;
}

void TestKeys::digits()
{
    QFETCH(int, state);
    QFETCH(char, key);
    QFETCH(QString, control);
    QFETCH(int, index);
    Game g;
    bring(g, state);
    const Keyboard keys(g.form.model());
    const forms::KeyOutcome out = keys.press(kNoControl, {Key::Character, key});
    QCOMPARE(out.press, named(g, control, index));
    QCOMPARE(out.focus, kNoControl);  // a digit never moves the focus
}

void TestKeys::tabOrder_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("backwards");
    QTest::addColumn<QStringList>("order");  // from no focus, one Tab after another
    // The sound toggle follows; the pause toggle is disabled without a game
    // window around the rules.
    const QStringList courses = {"rebel1", "rebel2", "rebel3", "rebel4", "rebel5", "rebel6", "oto-1", "rebel1"};
    const QStringList answers = {"kotae11", "kotae12", "kotae13", "kotae21", "kotae22",
                                 "kotae23", "kotae31", "kotae32", "kotae33", "oto-1", "kotae11"};
    QStringList reversed = answers.mid(0, 9);
    std::reverse(reversed.begin(), reversed.end());
    reversed.prepend("oto-1");
    reversed << "oto-1";
    QTest::newRow("ready") << int(Ready) << false << courses;
    QTest::newRow("ended") << int(Ended) << false << courses;
    QTest::newRow("playing") << int(Playing) << false << answers;
    QTest::newRow("playing, backwards") << int(Playing) << true << reversed;
}

void TestKeys::tabOrder()
{
    QFETCH(int, state);
    QFETCH(bool, backwards);
    QFETCH(QStringList, order);
    Game g;
    bring(g, state);
    const Keyboard keys(g.form.model());
    ControlId focus = kNoControl;
    QStringList seen;
    for (int i = 0; i < order.size(); ++i) {
        focus = keys.press(focus, {backwards ? Key::BackTab : Key::Tab}).focus;
        const forms::ControlSpec& d = g.form.model().design(focus);
        seen << QString::fromUtf8(d.name.data(), static_cast<qsizetype>(d.name.size())) + QString::number(d.index);
    }
    QCOMPARE(seen, order);
}

void TestKeys::arrows_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");  // empty: the focus stays
    const auto row = [](const char* name, int state, const char* from, Key key, const char* to) {
        QTest::newRow(name) << state << QString(from) << int(key) << QString(to);
    };
    row("right along the top row", Playing, "kotae1 1", Key::Right, "kotae2 1");
    row("left along the bottom row", Playing, "kotae3 3", Key::Left, "kotae2 3");
    row("down a column", Playing, "kotae2 1", Key::Down, "kotae2 2");
    row("up a column", Playing, "kotae3 3", Key::Up, "kotae3 2");
    row("no wrap at the right", Playing, "kotae3 2", Key::Right, "");
    row("no wrap at the top", Playing, "kotae1 1", Key::Up, "");
    row("down the courses", Ready, "rebel 3", Key::Down, "rebel 4");
    row("courses and answers are apart", Ended, "rebel 1", Key::Right, "");
    row("from no focus, the first button", Playing, "", Key::Down, "kotae1 1");
}

void TestKeys::arrows()
{
    QFETCH(int, state);
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    Game g;
    bring(g, state);
    const auto id = [&](const QString& s) {
        if (s.isEmpty())
            return kNoControl;
        const QStringList parts = s.split(' ');
        return g.form.model().spec().find(parts[0].toStdString(), parts[1].toInt());
    };
    const Keyboard keys(g.form.model());
    QCOMPARE(keys.press(id(from), {static_cast<Key>(key)}).focus, id(to));
}

void TestKeys::focusSettlesWhereItCanStay()
{
    Game g;
    const Keyboard keys(g.form.model());
    // Space on a course: the course button is disabled and the others go,
    // so the focus passes to the first answer.
    const ControlId course = g.c().rebel[3];
    QCOMPARE(keys.press(course, {Key::Activate}).press, course);
    g.clock.click(course);
    QCOMPARE(keys.settle(course), g.c().kotae[1][1]);
    QCOMPARE(keys.press(course, {Key::Activate}).press, kNoControl);
    QCOMPARE(keys.settle(g.c().kotae[2][3]), g.c().kotae[2][3]);
    // At the end the answers are disabled: the focus passes over the sound
    // toggle, round to the courses.
    g.finish();
    QCOMPARE(keys.settle(g.c().kotae[2][3]), g.c().rebel[1]);
    QCOMPARE(keys.settle(kNoControl), kNoControl);
}

QTEST_APPLESS_MAIN(TestKeys)
#include "test_keys.moc"
