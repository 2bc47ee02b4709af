// A teacher's link and the kinds of course it names: what a link gives and
// writes back, what is left out of a broken or hostile one, and that every
// sum of every kind keeps its course, with near misses a child could take
// for its answer; a missed sum coming back.
#include "game/course.h"
#include "game/practice.h"
#include "game/sums.h"
#include "support/courses.h"
#include "support/scripted_random.h"

#include <QTest>
#include <algorithm>
#include <functional>
#include <set>

using game::Answer;
using game::Course;
using game::Practice;
using game::Sum;
using testing::courseOf;
using testing::keepsItsCourse;

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

// What a near miss of each kind may be.
bool nearTheAnswer(const Sum& s, Answer w)
{
    const std::string_view kind = game::kindOf(s).form().word;
    if (kind == "times")
        return w.value == s.answer - s.num1 || w.value == s.answer + s.num1 || w.value == s.answer - s.num2 ||
               w.value == s.answer + s.num2 || (s.answer == 1 && w.value == 0);
    if (kind == "div" && s.rest > 0) {
        const bool classic = w.value == s.answer - 1 && w.rest == s.rest + s.num2;  // 23 ÷ 4: 4あまり7
        const bool oneOff = std::abs(w.value - s.answer) + std::abs(w.rest - s.rest) == 1 && w.rest < s.num2;
        return classic || oneOff;
    }
    if (kind == "make")
        return w.rest == 0 && w.value <= s.num1 && std::abs(w.value - s.answer) <= std::max(2, std::abs(s.num2 - s.answer));
    return w.rest == 0 && (std::abs(w.value - s.answer) <= 10 || w.value == std::abs(s.answer - 10));
}

}  // namespace

class TestPractice : public QObject {
    Q_OBJECT

private slots:
    void readsALink();
    void readAndWrittenBackAlike();
    void leavesOutWhatItCannotRead_data();
    void leavesOutWhatItCannotRead();
    void everySumKeepsItsCourse_data();
    void everySumKeepsItsCourse();
    void everyTableAndMultiplierComeUpEachRound();
    void tablesInTurn();
    void howSumsAreShownAndSaid();
    void namesFitTheButtons();
    void missedSumsComeBack();
};

void TestPractice::readsALink()
{
    const Practice p = game::readPractice(
        "?course=times:7&course=times%3A2%2C5&course=div:2-5&course=add:1-9:carry&course=sub:10-99:noborrow"
        "&course=times:1-9&time=90&pace=0.5&sound=off");
    QVERIFY(p.leftOut.empty());
    QCOMPARE(p.courses.size(), 6u);
    QCOMPARE(p.courses[1].tables, (std::vector<std::uint8_t>{2, 5}));
    QCOMPARE(p.courses[2].tables, (std::vector<std::uint8_t>{2, 3, 4, 5}));
    QCOMPARE(p.courses[3].kind->form().word, "add");
    QVERIFY(p.courses[3].from == 1 && p.courses[3].to == 9 && p.courses[3].option == 1);
    QVERIFY(p.courses[4].from == 10 && p.courses[4].to == 99 && p.courses[4].option == 2);
    QCOMPARE(p.seconds, 90);
    QCOMPARE(p.pace, 0.5);
    QVERIFY(p.soundOff && p.again);
    // The teacher's page writes the same link back.
    QCOMPARE(game::practiceQuery(p), std::string("course=times:7&course=times:2,5&course=div:2-5&course=add:1-9:carry"
                                                 "&course=sub:10-99:noborrow&course=times:1-9&time=90&pace=0.5&sound=off"));
    // The README's examples for teachers read whole.
    for (const char* example : {"?course=times:2&course=times:5&course=times:3&course=times:4&course=times:2-5&course=times:1-9",
                                "?course=add:1-9:nocarry&course=add:1-9:carry&course=sub:2-18:borrow&time=90&pace=0.75",
                                "?course=times:7:up&course=times:7:down&course=times:7&course=div:2-9:rem",
                                "?course=make:10&course=make:5-9&course=three:1-9:add&course=three:1-9",
                                "?course=make:10&course=three:1-9&course=div:2-9:rem&course=times:7:up&again=off"})
        QVERIFY(game::readPractice(example).leftOut.empty());
    // A whole link pasted reads as its query; a "?" inside a query's value
    // is no address.
    const Practice pasted = game::readPractice("https://school.example/permoro/index.html?course=times:7&time=90#top");
    QVERIFY(pasted.leftOut.empty() && pasted.courses.size() == 1 && pasted.seconds == 90);
    const Practice odd = game::readPractice("course=times:7&time=9?0");
    QVERIFY(odd.courses.size() == 1 && odd.leftOut.size() == 1 && odd.seconds == 60);
    // No link, or the page's own parameters only: the design's game.
    for (const char* none : {"", "?", "?clock=manual&seed=7&&"}) {
        static constexpr std::array<std::string_view, 2> kPage{"clock", "seed"};
        const Practice q = game::readPractice(none, kPage);
        QVERIFY(q.courses.empty() && q.leftOut.empty() && q.seconds == 60 && q.pace == 1 && !q.soundOff && q.again);
        QCOMPARE(game::notice(q), std::string());
    }
}

// Every link of every kind is written back as it was read (tables of a
// mixed course in ascending order, of a course in turn in the order given).
void TestPractice::readAndWrittenBackAlike()
{
    const struct {
        const char* given;
        const char* written;
    } rows[] = {
        {"times:9,2,5", "times:2,5,9"},     {"times:5,2:up", "times:5,2:up"}, {"times:2-5:down", "times:2-5:down"},
        {"times:3,1-2:up", "times:3,1,2:up"}, {"div:2-9:rem", "div:2-9:rem"}, {"div:3:any", "div:3:any"},
        {"add:10-99:nocarry", "add:10-99:nocarry"}, {"sub:5", "sub:5"},      {"make:10", "make:10"},
        {"make:5-10", "make:5-10"},         {"three:0-99:mix", "three:0-99:mix"}, {"three:1-9", "three:1-9"},
        {"three:2-20:sub", "three:2-20:sub"},
    };
    for (const auto& r : rows) {
        const Practice p = game::readPractice(std::string("course=") + r.given + "&again=off");
        QVERIFY2(p.leftOut.empty(), game::notice(p).c_str());
        QCOMPARE(game::practiceQuery(p), std::string("course=") + r.written + "&again=off");
        QCOMPARE(game::readPractice(game::practiceQuery(p)).courses, p.courses);
    }
}

void TestPractice::leavesOutWhatItCannotRead_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("courses");  // read
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<int>("seconds");
    std::string thousand;
    for (int i = 0; i < 1000; ++i)
        thousand += "course=make:0&";
    const struct {
        const char* name;
        std::string link;
        int courses, leftOut, seconds;
    } rows[] = {
        {"tables out of range", "course=times:0&course=times:1-10&course=div:5-2&course=times:", 0, 4, 60},
        {"numbers out of range", "course=add:0-5&course=add:5-3&course=sub:1-100&course=add:1-9:x", 0, 4, 60},
        {"no sum has the conditions", "course=add:1-4:carry&course=sub:1-9:borrow&course=sub:10-19:borrow", 0, 3, 60},
        {"new kinds, odd parts", "course=make:0&course=make:999&course=make:1&course=make:21&course=three:5-2"
                                 "&course=three:0-100&course=three:5-9:sub&course=div:1:rem&course=div:1-9:rem"
                                 "&course=times:7:sideways&course=times:7:up:down&course=make:10:up", 0, 12, 60},
        {"a part repeated a thousand times", thousand + "time=45", 0, 75, 60},
        {"a seventh course", "course=times:1&course=times:2&course=times:3&course=times:4"
                             "&course=times:5&course=times:6&course=times:7", 6, 1, 60},
        {"time out of range, then a good one", "time=29&time=601&time=abc&time=60.5&time=45", 0, 4, 45},
        {"a part given twice", "time=45&time=90&pace=0.5&pace=1&sound=off&sound=off&again=off&again=off", 0, 4, 45},
        {"switches other than off", "sound=on&again=on&again=0", 0, 3, 60},
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
    // that could read as markup or turn the text around; each item says why.
    const std::string line = game::notice(p);
    QCOMPARE(line.empty(), leftOut == 0);
    QVERIFY(line.find('\n') == std::string::npos && line.size() < 8000);
    for (const char* unsafe : {"<", ">", "\"", "'", "\xE2\x80\xAE", "\xD9\xA3"})
        QVERIFY2(line.find(unsafe) == std::string::npos, line.c_str());
    for (const game::LeftOut& item : p.leftOut) {
        QVERIFY2(!item.why.empty() && line.find(item.part + "（" + item.why + "）") != std::string::npos, line.c_str());
        QVERIFY2(item.part.find_first_of("<>\"'\\ ") == std::string::npos, item.part.c_str());
    }
}

void TestPractice::everySumKeepsItsCourse_data()
{
    QTest::addColumn<QString>("course");
    for (const char* c : {"times:7", "times:1-9", "times:1", "times:3,8:down", "div:2,5", "div:1-9", "div:2-9:rem",
                          "div:2:rem", "div:9:any", "add:1-9", "add:1-9:carry", "add:10-99:nocarry", "add:6-6:carry",
                          "sub:1-9", "sub:10-99:borrow", "sub:10-99:noborrow", "sub:1-1", "add:99-99", "make:10",
                          "make:2", "make:2-20", "three:1-9", "three:0-99:mix", "three:0-0", "three:1-9:add",
                          "three:1-9:sub", "three:4-9:sub", "three:50-99"})
        QTest::newRow(c) << QString(c);
}

// Thousands of draws: each sum of its course, its answer once among three
// different answers, none below zero; near misses near it as the kind says.
void TestPractice::everySumKeepsItsCourse()
{
    QFETCH(QString, course);
    const Course c = courseOf(course.toStdString());
    game::CourseSums sums({c});
    testing::ScriptedRandom random(static_cast<std::uint64_t>(course.size()));
    for (int i = 0; i < 3000; ++i) {
        const game::Drawn d = sums.draw(1, random);
        const Sum& s = d.sum;
        const std::string text = game::sumText(s);
        QVERIFY2(s.kind == c.kind && keepsItsCourse(c, s), text.c_str());
        for (const Answer w : d.wrong) {
            QVERIFY2(nearTheAnswer(s, w) && w.value >= 0 && w.rest >= 0,
                     qPrintable(QString("%1: %2").arg(text.c_str(), game::answerText(w).c_str())));
        }
        QVERIFY2(d.wrong[0] != d.wrong[1] && d.wrong[0] != s.result() && d.wrong[1] != s.result(), text.c_str());
        // Different answers read differently on their buttons.
        QVERIFY(game::answerText(d.wrong[0]) != game::answerText(d.wrong[1]) &&
                game::answerText(d.wrong[0]) != game::answerText(s.result()));
    }
}

void TestPractice::everyTableAndMultiplierComeUpEachRound()
{
    for (const char* link : {"times:1-9", "div:2,3,7", "div:2-4:rem"}) {
        const Course c = courseOf(link);
        game::CourseSums sums({c});
        testing::ScriptedRandom random(3);
        const int round = 9 * static_cast<int>(c.tables.size());
        for (int r = 0; r < 3; ++r) {
            std::set<std::pair<int, int>> seen;
            for (int i = 0; i < round; ++i) {
                const Sum s = sums.draw(1, random).sum;
                seen.insert(s.op == game::Op::Times ? std::pair{int(s.num1), int(s.num2)} : std::pair{int(s.num2), int(s.answer)});
            }
            QCOMPARE(static_cast<int>(seen.size()), round);  // every table times every multiplier, once each
        }
    }
}

// 順 and 逆: each new sum the next of the tables in the order given, then
// round again.
void TestPractice::tablesInTurn()
{
    const struct {
        const char* course;
        std::vector<std::pair<int, int>> first;
    } rows[] = {
        {"times:7:up", {{7, 1}, {7, 2}, {7, 3}}},
        {"times:5,2:down", {{5, 9}, {5, 8}, {5, 7}, {5, 6}, {5, 5}, {5, 4}, {5, 3}, {5, 2}, {5, 1}, {2, 9}, {2, 8}}},
    };
    for (const auto& r : rows) {
        const Course c = courseOf(r.course);
        game::CourseSums sums({c});
        testing::ScriptedRandom random;
        const int round = 9 * static_cast<int>(c.tables.size());
        std::vector<std::pair<int, int>> said;
        for (int i = 0; i < 2 * round; ++i) {
            const Sum s = sums.draw(1, random).sum;
            said.push_back({s.num1, s.num2});
        }
        QVERIFY2(std::equal(r.first.begin(), r.first.end(), said.begin()), r.course);
        QVERIFY(std::equal(said.begin(), said.begin() + round, said.begin() + round));  // again from the start
    }
}

// The label, the written calculation and the words of each kind's sums.
void TestPractice::howSumsAreShownAndSaid()
{
    const auto of = [](const char* course, auto pick) {
        const Course c = courseOf(course);
        game::CourseSums sums({c});
        testing::ScriptedRandom random;
        for (int i = 0; i < 500; ++i) {
            const Sum s = sums.draw(1, random).sum;
            if (pick(s))
                return s;
        }
        qFatal("no such sum in %s", course);
    };
    const Sum div = of("div:4:rem", [](const Sum& s) { return s.num1 == 23; });
    QCOMPARE(game::sumText(div), "23 ÷ 4");
    QCOMPARE(game::answerText(div.result()), "5あまり3");
    QCOMPARE(game::kindOf(div).saidWith(div, div.result()), "23わる4 は 5あまり3");
    QCOMPARE(game::writtenOf(div).top, "23");
    const Sum make = of("make:10", [](const Sum& s) { return s.num2 == 3; });
    QCOMPARE(game::sumText(make), "10は 3と□");
    QCOMPARE(game::kindOf(make).said(make), "10は 3と いくつ");
    QCOMPARE(game::kindOf(make).saidWith(make, {7}), "10は 3と 7");
    const Sum three = of("three:1-9", [](const Sum& s) { return s.op != s.op2; });
    QVERIFY(game::sumText(three).find(" + ") != std::string::npos && game::sumText(three).find(" - ") != std::string::npos);
    // A sum of three numbers, or a whole and a part, has no written
    // calculation: all of it or nothing, never two numbers of three.
    for (const Sum& s : {make, three}) {
        const game::Written w = game::writtenOf(s);
        QVERIFY(w.top.empty() && w.bottom.empty() && w.sign.empty());
    }
    // The design's own sums are shown as they always were.
    QCOMPARE(game::sumText({7, 5, game::Op::Minus, 2}), "7 - 5");
    QCOMPARE(game::kindOf(Sum{7, 5, game::Op::Plus, 12}).saidWith({7, 5, game::Op::Plus, 12}, {12}), "7たす5 は 12");
}

// Every course a link can name has a short name of at most six full-width
// characters (the design's course button holds five; a longer name is set a
// little smaller) and a longer one to be heard; the names of one link's
// courses are told apart.
void TestPractice::namesFitTheButtons()
{
    std::vector<std::string> links;
    for (const game::CourseKind* kind : game::courseKinds()) {
        const game::CourseKind::Form& f = kind->form();
        for (std::size_t option = 0; option <= f.options.size(); ++option) {
            const std::string word = option ? ":" + std::string(f.options[option - 1].word) : "";
            std::vector<std::string> numbers;
            if (f.tables) {
                for (int bits = 1; bits < 512; ++bits) {
                    std::string list;
                    for (int d = 1; d <= 9; ++d)
                        list += bits >> (d - 1) & 1 ? (list.empty() ? "" : ",") + std::to_string(d) : "";
                    numbers.push_back(list);
                }
            } else {
                numbers = {std::to_string(f.lowest + 8) + "-" + std::to_string(f.highest), std::to_string(f.highest),
                           std::to_string(f.lowest + 8)};
            }
            for (const std::string& n : numbers)
                links.push_back(std::string(f.word) + ":" + n + word);
        }
    }
    std::set<std::string> shorts;
    for (const std::string& link : links) {
        const Practice p = game::readPractice("course=" + link);
        if (p.courses.empty())
            continue;  // div:1,...:rem
        const std::string name = game::shortName(p.courses[0]);
        QVERIFY2(!name.empty() && ems(name) <= 6, (link + ": " + name).c_str());
        // What a screen reader says holds what the child sees.
        const std::string full = game::fullName(p.courses[0]);
        QVERIFY2(full.starts_with(name + "　") && full.size() > name.size() + 6, full.c_str());
        shorts.insert(name);
    }
    QVERIFY(links.size() > 3000);
    for (const char* expected : {"7のだん", "2と5のだん", "2〜5のだん", "くくぜんぶ", "7でわる", "2〜5でわる",
                                 "1,3,5,7,9", "1〜5,7", "くりあがり", "くりさがり", "たしざん", "ひきざん", "7じゅん",
                                 "2〜5ぎゃく", "あまり2〜9", "10はいくつ", "3つのかず", "3つたす"})
        QVERIFY2(shorts.count(expected), expected);
    for (const char* unwanted : {"あがりなし", "さがりなし", "わり2〜5", "かけざん"})
        QVERIFY2(!shorts.count(unwanted), unwanted);
    // Courses named alike in one link are numbered; each spoken name begins
    // with its button's.
    const Practice alike = game::readPractice(
        "course=add:1-9:carry&course=add:10-99:carry&course=add:1-9&course=add:1-9:nocarry&course=times:7");
    const std::vector<std::string> named = game::shortNames(alike.courses);
    QCOMPARE(named, (std::vector<std::string>{"くりあがり1", "くりあがり2", "たしざん1", "たしざん2", "7のだん"}));
    const std::vector<std::string> heard = game::fullNames(alike.courses);
    for (std::size_t i = 0; i < named.size(); ++i)
        QVERIFY2(heard[i].starts_with(named[i] + "　") && heard[i].size() > named[i].size() + 6, heard[i].c_str());
}

// A sum that fell comes back among the next three to five new sums, until
// answered right, at most three times; never with again=off. One answered
// wrongly comes back once it has fallen, never while it is on screen.
void TestPractice::missedSumsComeBack()
{
    using Kind = game::Outcome::Kind;
    const Course c = courseOf("times:1-9");
    for (const bool again : {true, false}) {
        game::CourseSums sums({c}, again);
        testing::ScriptedRandom random(5);
        sums.read({.kind = Kind::Started});
        const Sum missed = sums.draw(1, random).sum;
        // Missed over and over: each time back within three to five sums.
        std::vector<int> gaps;
        for (int times = 0; times < 5; ++times) {
            sums.read({.kind = Kind::Wrong, .sum = missed});
            sums.read({.kind = Kind::Missed, .sum = missed});
            int gap = 1;
            while (gap <= 20 && !(sums.draw(1, random).sum == missed))
                ++gap;
            gaps.push_back(gap);
        }
        if (!again) {
            QVERIFY(std::all_of(gaps.begin(), gaps.end(), [](int g) { return g > 5; }));
            continue;
        }
        for (int i = 0; i < 3; ++i)
            QVERIFY2(gaps[size_t(i)] >= 3 && gaps[size_t(i)] <= 5, qPrintable(QString::number(gaps[size_t(i)])));
        QVERIFY(gaps[3] > 5);  // three times back is enough
        // Answered wrongly, it waits while it is on screen. (The tables come
        // in rounds of 81: no sum is posed twice within these draws by
        // chance.)
        game::CourseSums other({c});
        other.read({.kind = Kind::Started});
        const Sum wrong = other.draw(1, random).sum;
        other.read({.kind = Kind::Wrong, .sum = wrong});
        for (int i = 0; i < 8; ++i)
            QVERIFY(!(other.draw(1, random).sum == wrong));  // still on screen
        // Fallen, then answered right (posed again): it waits no more.
        other.read({.kind = Kind::Missed, .sum = wrong});
        other.read({.kind = Kind::Right, .sum = wrong});
        for (int i = 0; i < 8; ++i)
            QVERIFY(!(other.draw(1, random).sum == wrong));
    }
}

QTEST_APPLESS_MAIN(TestPractice)
#include "test_practice.moc"
