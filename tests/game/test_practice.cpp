// A teacher's link and the sums of its courses: what a link gives, what is
// left out of a broken or hostile one, and that every sum drawn keeps its
// course's conditions with answers a child could mistake for it.
#include "game/practice.h"
#include "game/sums.h"
#include "support/scripted_random.h"

#include <QTest>
#include <algorithm>
#include <set>

using game::Course;
using game::Practice;
using Kind = game::Course::Kind;
using Carry = game::Course::Carry;

namespace {

// The width of a name in full-width characters: digits and ASCII count half.
double ems(const std::string& utf8)
{
    double width = 0;
    for (const unsigned char c : utf8) {
        if (c < 0x80)
            width += 0.5;
        else if ((c & 0xC0) != 0x80)
            width += 1;
    }
    return width;
}

std::uint16_t tables(std::initializer_list<int> dans)
{
    std::uint16_t bits = 0;
    for (int d : dans)
        bits = static_cast<std::uint16_t>(bits | 1u << d);
    return bits;
}

}  // namespace

class TestPractice : public QObject {
    Q_OBJECT

private slots:
    void readsALink();
    void leavesOutWhatItCannotRead_data();
    void leavesOutWhatItCannotRead();
    void everySumKeepsItsCourse_data();
    void everySumKeepsItsCourse();
    void everyTableAndMultiplierComeUpEachRound();
    void namesFitTheButtons();
};

void TestPractice::readsALink()
{
    const Practice p = game::readPractice(
        "?course=times:7&course=times%3A2%2C5&course=div:2-5&course=add:1-9:carry&course=sub:10-99:noborrow"
        "&course=times:1-9&time=90&pace=0.5&sound=off");
    QCOMPARE(p.leftOut, std::vector<std::string>{});
    QCOMPARE(p.courses.size(), 6u);
    QCOMPARE(p.courses[0], (Course{Kind::Times, tables({7})}));
    QCOMPARE(p.courses[1], (Course{Kind::Times, tables({2, 5})}));
    QCOMPARE(p.courses[2], (Course{Kind::Divide, tables({2, 3, 4, 5})}));
    QCOMPARE(p.courses[3], (Course{Kind::Add, 0, 1, 9, Carry::Only}));
    QCOMPARE(p.courses[4], (Course{Kind::Subtract, 0, 10, 99, Carry::Never}));
    QCOMPARE(p.seconds, 90);
    QCOMPARE(p.pace, 0.5);
    QVERIFY(p.soundOff);
    // The teacher's page writes the same link back.
    QCOMPARE(game::practiceQuery(p), std::string("course=times:7&course=times:2,5&course=div:2-5&course=add:1-9:carry"
                                                 "&course=sub:10-99:noborrow&course=times:1-9&time=90&pace=0.5&sound=off"));
    QCOMPARE(game::readPractice(game::practiceQuery(p)).courses, p.courses);
    // The README's examples for teachers read whole.
    for (const char* example : {"?course=times:2&course=times:5&course=times:3&course=times:4&course=times:2-5&course=times:1-9",
                                "?course=add:1-9:nocarry&course=add:1-9:carry&course=sub:2-18:borrow&time=90&pace=0.75"})
        QCOMPARE(game::readPractice(example).leftOut, std::vector<std::string>{});
    // No link, or the page's own parameters only: the design's game.
    for (const char* none : {"", "?", "?clock=manual&seed=7&&"}) {
        static constexpr std::array<std::string_view, 2> kPage{"clock", "seed"};
        const Practice q = game::readPractice(none, kPage);
        QVERIFY(q.courses.empty() && q.leftOut.empty() && q.seconds == 60 && q.pace == 1 && !q.soundOff);
        QCOMPARE(game::notice(q), std::string());
    }
}

void TestPractice::leavesOutWhatItCannotRead_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("courses");  // read
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<int>("seconds");
    const struct {
        const char* name;
        std::string link;
        int courses, leftOut, seconds;
    } rows[] = {
        {"tables out of range", "course=times:0&course=times:1-10&course=div:5-2&course=times:", 0, 4, 60},
        {"numbers out of range", "course=add:0-5&course=add:5-3&course=sub:1-100&course=add:1-9:x", 0, 4, 60},
        {"no sum has the conditions", "course=add:1-4:carry&course=sub:1-9:borrow&course=sub:10-19:borrow", 0, 3, 60},
        {"a seventh course", "course=times:1&course=times:2&course=times:3&course=times:4"
                             "&course=times:5&course=times:6&course=times:7", 6, 1, 60},
        {"time out of range, then a good one", "time=29&time=601&time=abc&time=60.5&time=45", 0, 4, 45},
        {"a part given twice", "time=45&time=90&pace=0.5&pace=1&sound=off&sound=off", 0, 3, 45},
        {"pace out of range", "pace=0.2&pace=1.1&pace=1e0&pace=.&pace=0.3333", 0, 5, 60},
        {"markup", "course=<script>alert(1)</script>&time=<b>45</b>&<img src=x>", 0, 3, 60},
        {"other scripts", "course=%E3%81%8B%E3%81%91&time=%D9%A3%D9%A0&x%E2%80%AE=1&course=times:%EF%BC%97", 0, 4, 60},
        {"broken escapes and no value", "course=times:%7&time=%zz&sound&=&course=times:7", 1, 4, 60},
        {"very long", "time=45&course=times:" + std::string(5000, '7'), 0, 2, 45},
        {"very long link", "time=45&" + std::string(3000, '&') + "course=times:7", 0, 1, 45},
        {"unknown names", "clock=manual&seed=1&course=times:7&lang=en", 1, 3, 60},
    };
    for (const auto& r : rows)
        QTest::newRow(r.name) << QString::fromStdString(r.link) << r.courses << r.leftOut << r.seconds;
}

void TestPractice::leavesOutWhatItCannotRead()
{
    QFETCH(QString, link);
    QFETCH(int, courses);
    QFETCH(int, leftOut);
    QFETCH(int, seconds);
    const Practice p = game::readPractice(link.toStdString());
    QCOMPARE(static_cast<int>(p.courses.size()), courses);
    QCOMPARE(static_cast<int>(p.leftOut.size()), leftOut);
    QCOMPARE(static_cast<int>(p.seconds), seconds);
    // One line that names what was left out, and carries nothing of a link
    // that could read as markup or turn the text around.
    const std::string line = game::notice(p);
    QCOMPARE(line.empty(), leftOut == 0);
    QVERIFY(line.find('\n') == std::string::npos && line.size() < 4000);
    for (const char* unsafe : {"<", ">", "\"", "'", "\xE2\x80\xAE", "\xD9\xA3"})
        QVERIFY2(line.find(unsafe) == std::string::npos, line.c_str());
}

void TestPractice::everySumKeepsItsCourse_data()
{
    QTest::addColumn<QString>("course");
    for (const char* c : {"times:7", "times:1-9", "times:1", "div:2,5", "div:1-9", "add:1-9", "add:1-9:carry",
                          "add:10-99:nocarry", "add:5-5:carry", "sub:1-9", "sub:10-99:borrow", "sub:10-99:noborrow",
                          "sub:1-1", "add:99-99"})
        QTest::newRow(c) << QString(c);
}

// Thousands of draws: each sum of its course, with its result once among
// three different answers, none below zero; the times tables' near misses
// neighbouring products.
void TestPractice::everySumKeepsItsCourse()
{
    QFETCH(QString, course);
    const Practice p = game::readPractice("course=" + course.toStdString());
    QCOMPARE(p.courses.size(), 1u);
    const Course& c = p.courses[0];
    game::CourseSums sums(p.courses);
    testing::ScriptedRandom random(course.size());
    for (int i = 0; i < 3000; ++i) {
        const game::Drawn d = sums.draw(1, random);
        const game::Sum& s = d.sum;
        const std::string text = game::sumText(s);
        switch (c.kind) {
        case Kind::Times:
            QVERIFY2(s.op == game::Op::Times && c.hasDan(s.num1) && s.num2 >= 1 && s.num2 <= 9 && s.answer == s.num1 * s.num2, text.c_str());
            for (const game::Integer w : d.wrong) {
                const bool neighbour = w == s.answer - s.num1 || w == s.answer + s.num1 || w == s.answer - s.num2 ||
                                       w == s.answer + s.num2 || (s.answer == 1 && w == 0);
                QVERIFY2(neighbour, qPrintable(QString("%1: %2").arg(text.c_str()).arg(w)));
            }
            break;
        case Kind::Divide:
            QVERIFY2(s.op == game::Op::Divide && c.hasDan(s.num2) && s.answer >= 1 && s.answer <= 9 && s.num1 == s.num2 * s.answer, text.c_str());
            break;
        case Kind::Add:
        case Kind::Subtract: {
            const bool add = c.kind == Kind::Add;
            QVERIFY2(s.op == (add ? game::Op::Plus : game::Op::Minus), text.c_str());
            QVERIFY2(s.num1 >= c.from && s.num1 <= c.to && s.num2 >= c.from && s.num2 <= c.to, text.c_str());
            QCOMPARE(s.answer, add ? s.num1 + s.num2 : s.num1 - s.num2);
            QVERIFY2(s.answer >= 0, text.c_str());
            const bool carried = add ? s.num1 % 10 + s.num2 % 10 >= 10 : s.num1 % 10 < s.num2 % 10;
            if (c.carry != Carry::Any)
                QVERIFY2(carried == (c.carry == Carry::Only), text.c_str());
            for (const game::Integer w : d.wrong)
                QVERIFY2(std::abs(w - s.answer) <= 10 || w == std::abs(s.answer - 10), text.c_str());
            break;
        }
        }
        QVERIFY2(d.wrong[0] != d.wrong[1] && d.wrong[0] != s.answer && d.wrong[1] != s.answer, text.c_str());
        QVERIFY2(d.wrong[0] >= 0 && d.wrong[1] >= 0, text.c_str());
    }
}

void TestPractice::everyTableAndMultiplierComeUpEachRound()
{
    for (const char* link : {"course=times:1-9", "course=div:2,3,7"}) {
        const Practice p = game::readPractice(link);
        game::CourseSums sums(p.courses);
        testing::ScriptedRandom random(3);
        const int round = game::sumCount(p.courses[0]);
        for (int r = 0; r < 3; ++r) {
            std::set<std::pair<int, int>> seen;
            for (int i = 0; i < round; ++i) {
                const game::Sum s = sums.draw(1, random).sum;
                seen.insert(s.op == game::Op::Times ? std::pair{int(s.num1), int(s.num2)} : std::pair{int(s.num2), int(s.answer)});
            }
            QCOMPARE(static_cast<int>(seen.size()), round);  // every table times every multiplier, once each
        }
    }
}

// Every course a link can name has a short name within five full-width
// characters (the design's course button) and a longer one to be heard.
void TestPractice::namesFitTheButtons()
{
    std::vector<Course> all;
    for (std::uint16_t dans = 2; dans < 1024; dans = static_cast<std::uint16_t>(dans + 2)) {
        all.push_back({Kind::Times, dans});
        all.push_back({Kind::Divide, dans});
    }
    for (const Carry carry : {Carry::Any, Carry::Only, Carry::Never}) {
        all.push_back({Kind::Add, 0, 1, 99, carry});
        all.push_back({Kind::Subtract, 0, 1, 99, carry});
    }
    std::set<std::string> shorts;
    for (const Course& c : all) {
        const std::string name = game::shortName(c);
        QVERIFY2(!name.empty() && ems(name) <= 5, name.c_str());
        // What a screen reader says holds what the child sees.
        QVERIFY2(game::fullName(c).starts_with(name + "　") && game::fullName(c).size() > name.size() + 3, name.c_str());
        shorts.insert(name);
    }
    for (const char* expected : {"7のだん", "2と5のだん", "2〜5のだん", "くくぜんぶ", "わりざん7", "わり2〜5",
                                 "くりあがり", "くりさがり", "たしざん", "ひきざん"})
        QVERIFY2(shorts.count(expected), expected);
}

QTEST_APPLESS_MAIN(TestPractice)
#include "test_practice.moc"
