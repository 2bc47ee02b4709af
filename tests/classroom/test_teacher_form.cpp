// The teacher's form: the fix offered for a course without sums, the
// ready-made units, the bounds and choices handed to the page (each one the
// game's reading takes), and a link opened in the page keeping every row
// it names.
#include "classroom/course_fix.h"
#include "classroom/teacher_form.h"
#include "classroom/units.h"
#include "classroom/worksheet.h"
#include "game/practice.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

using game::Course;
using game::Practice;

namespace {

QJsonValue parsed(const std::string& json)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json), &error);
    if (error.error != QJsonParseError::NoError)
        qFatal("not JSON: %s", json.c_str());
    return doc.isArray() ? QJsonValue(doc.array()) : QJsonValue(doc.object());
}

bool reads(const std::string& query)
{
    return game::readPractice(query).leftOut.empty();
}

}  // namespace

class TestTeacherForm : public QObject {
    Q_OBJECT

private slots:
    void aFixForACourseWithoutSums();
    void everyUnitIsPlayable();
    void theBoundsAreTheGames();
    void anOpenedLinkKeepsEveryRow_data();
    void anOpenedLinkKeepsEveryRow();
    void typedAnswers();
};

// A course the teacher's form asks for that cannot be played gets a fix in
// a teacher's words, and the fix gives sums.
void TestTeacherForm::aFixForACourseWithoutSums()
{
    const struct {
        const char* kind;
        std::vector<std::uint8_t> tables;
        game::Integer from, to;
        std::uint8_t option;
        const char* fix;
    } rows[] = {
        {"sub", {}, 1, 9, 1, "数を 1〜18 にします"},
        {"add", {}, 1, 4, 1, "数を 1〜8 にします"},
        {"three", {}, 5, 9, 2, "数を 5〜18 にします"},
        {"sub", {}, 90, 99, 1, "数を 89〜99 にします"},
        {"div", {1, 2, 3}, 1, 9, 1, "1の だんを はずします"},
        {"times", {}, 1, 9, 0, "だんを 1つ以上 えらびます"},
        {"add", {}, 1, 9, 1, ""},
    };
    for (const auto& r : rows) {
        const Course c{game::kindNamed(r.kind), r.tables, r.from, r.to, r.option};
        const std::string fix = classroom::courseFix(c);
        QVERIFY2(fix == r.fix, (std::string(r.kind) + ": " + fix).c_str());
        if (fix.starts_with("数を ")) {
            Course fixed = c;
            std::sscanf(fix.c_str() + std::strlen("数を "), "%hd〜%hd", &fixed.from, &fixed.to);
            QVERIFY2(c.kind->hasSums(fixed) && !c.kind->hasSums(c), fix.c_str());
        }
    }
}

// Each ready-made unit is a link read whole, whose courses have sums and
// names a child tells apart.
void TestTeacherForm::everyUnitIsPlayable()
{
    for (const classroom::Unit& unit : classroom::units()) {
        const Practice p = game::readPractice(unit.link);
        const std::string what = std::string(unit.grade) + " " + std::string(unit.name);
        QVERIFY2(p.leftOut.empty() && !p.courses.empty(), (what + ": " + game::notice(p)).c_str());
        std::set<std::string> names;
        for (const Course& c : p.courses) {
            QVERIFY2(c.kind->hasSums(c), what.c_str());
            names.insert(game::shortName(c));
        }
        QVERIFY2(names.size() == p.courses.size(), what.c_str());
        QCOMPARE(game::practiceQuery(p), std::string(unit.link));
    }
}

// What the page is told of the form's bounds and choices is what the
// game's reading and the sheets take: each bound is the last value taken.
void TestTeacherForm::theBoundsAreTheGames()
{
    const QJsonObject rules = parsed(classroom::rulesJson()).toObject();
    QCOMPARE(rules["courses"].toInt(), Practice::kMaxCourses);
    std::string seven;
    for (int i = 0; i <= rules["courses"].toInt(); ++i)
        seven += "course=times:" + std::to_string(i + 1) + "&";
    QCOMPARE(static_cast<int>(game::readPractice(seven).courses.size()), rules["courses"].toInt());

    const QJsonObject seconds = rules["seconds"].toObject();
    const auto time = [](int s) { return "time=" + std::to_string(s); };
    QVERIFY(reads(time(seconds["fewest"].toInt())) && !reads(time(seconds["fewest"].toInt() - 1)));
    QVERIFY(reads(time(seconds["most"].toInt())) && !reads(time(seconds["most"].toInt() + 1)));
    QCOMPARE(seconds["usual"].toInt(), Practice{}.seconds);
    QVERIFY(seconds["step"].toInt() > 0 && (seconds["most"].toInt() - seconds["fewest"].toInt()) % seconds["step"].toInt() == 0);

    int slowest = 1000;
    for (const QJsonValue pace : rules["paces"].toArray()) {
        const int thousandths = pace["value"].toInt();
        slowest = std::min(slowest, thousandths);
        Practice paced;
        paced.pace = thousandths / 1000.0;
        const Practice p = game::readPractice(game::practiceQuery(paced));
        QVERIFY2(p.leftOut.empty() && std::abs(p.pace * 1000 - thousandths) < 0.5, pace["label"].toString().toUtf8());
    }
    QCOMPARE(slowest / 1000.0, Practice::kSlowestPace);

    const QJsonObject sheets = rules["sheets"].toObject();
    const std::vector<Course> courses = game::readPractice("course=times:7").courses;
    for (const QJsonValue count : sheets["counts"].toArray())
        QCOMPARE(static_cast<int>(classroom::listSheet(courses, 1, count.toInt(), 1).size()), count.toInt());
    QVERIFY(classroom::listSheet(courses, 1, sheets["counts"].toArray().last().toInt() + 1, 1).empty());
    QCOMPARE(sheets["lowest"].toInt(), static_cast<int>(classroom::Sheet::kLowest));
    QCOMPARE(sheets["highest"].toInt(), static_cast<int>(classroom::Sheet::kHighest));
    QVERIFY(sheets["usualCopies"].toInt() >= 1 && sheets["usualCopies"].toInt() <= sheets["copies"].toInt());

    // The units the page is built with are the units.
    const QJsonArray units = parsed(classroom::unitsJson()).toArray();
    QCOMPARE(units.size(), static_cast<qsizetype>(classroom::units().size()));
    for (qsizetype i = 0; i < units.size(); ++i)
        QCOMPARE(units[i]["link"].toString().toStdString(), std::string(classroom::units()[static_cast<std::size_t>(i)].link));
}

// A link opened in the page keeps every course it names as a row where it
// stands, one that gives no sums too (the form marks it); the notice names
// only what has no row.
void TestTeacherForm::anOpenedLinkKeepsEveryRow_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("rows");      // each row as the link writes it
    QTest::addColumn<int>("playable");
    QTest::addColumn<QString>("noticed");       // what the notice names, or nothing
    QTest::newRow("a course without sums between two") << "?course=times:7&course=sub:1-9:borrow&course=add:1-9"
        << QStringList{"times:7", "sub:1-9:borrow", "add:1-9"} << 2 << "";
    QTest::newRow("first and alone") << "course=sub:1-9:borrow" << QStringList{"sub:1-9:borrow"} << 0 << "";
    QTest::newRow("an unknown kind stays in the notice") << "course=sub:1-9:borrow&course=zzz:1&time=90"
        << QStringList{"sub:1-9:borrow"} << 0 << "course=zzz:1";
    QTest::newRow("no row past six") << "course=times:1&course=times:2&course=times:3&course=times:4&course=times:5&course=div:1:rem&course=times:6"
        << QStringList{"times:1", "times:2", "times:3", "times:4", "times:5", "times:6"} << 6 << "course=div:1:rem";
}

void TestTeacherForm::anOpenedLinkKeepsEveryRow()
{
    QFETCH(QString, query);
    QFETCH(QStringList, rows);
    QFETCH(int, playable);
    QFETCH(QString, noticed);
    const QJsonObject reading = parsed(classroom::readingJson(query.toStdString())).toObject();
    const auto kinds = game::courseKinds();
    QStringList shown;
    for (const QJsonValue row : reading["rows"].toArray()) {
        Course c;
        c.kind = kinds[static_cast<std::size_t>(row["kind"].toInt())];
        for (const QJsonValue d : row["tables"].toArray())
            c.tables.push_back(static_cast<std::uint8_t>(d.toInt()));
        c.from = static_cast<game::Integer>(row["from"].toInt());
        c.to = static_cast<game::Integer>(row["to"].toInt());
        c.option = static_cast<std::uint8_t>(row["option"].toInt());
        shown << QString::fromStdString(game::courseText(c));
    }
    QCOMPARE(shown, rows);
    QCOMPARE(static_cast<int>(game::readPractice(reading["query"].toString().toStdString()).courses.size()), playable);
    const QString notice = reading["notice"].toString();
    QCOMPARE(notice.isEmpty(), noticed.isEmpty());
    QVERIFY2(noticed.isEmpty() || notice.contains(noticed), notice.toUtf8());
    for (const QString& row : rows)
        QVERIFY2(!notice.contains(row + "（"), notice.toUtf8());
}

// 「こたえを 入力する」 puts answer=type in the link, unless a course may
// leave a remainder: then the link chooses its answers, and the notice says
// why.
void TestTeacherForm::typedAnswers()
{
    const auto kinds = game::courseKinds();
    const auto number = [&](std::string_view word) {
        return static_cast<int>(std::find(kinds.begin(), kinds.end(), game::kindNamed(word)) - kinds.begin());
    };
    classroom::Form times;
    times.course(number("times"), 7, 1, 9, 0);
    const QJsonObject typed = parsed(times.link(60, 1000, false, false, 3, false, true)).toObject();
    QCOMPARE(typed["query"].toString(), QString("course=times:7&answer=type"));
    QVERIFY(typed["typed"].toBool());
    QVERIFY(!parsed(times.link(60, 1000, false, false)).toObject()["typed"].toBool());

    classroom::Form rest;
    rest.course(number("div"), 3, 1, 9, 1);
    const QJsonObject chosen = parsed(rest.link(60, 1000, false, false, 3, false, true)).toObject();
    QCOMPARE(chosen["query"].toString(), QString("course=div:3:rem"));
    QVERIFY(!chosen["typed"].toBool());
    QVERIFY2(chosen["notice"].toString().contains("answer=type"), chosen["notice"].toString().toUtf8());
}

QTEST_APPLESS_MAIN(TestTeacherForm)
#include "test_teacher_form.moc"
