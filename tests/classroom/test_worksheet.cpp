// Printed worksheets: every sum of a list and every cell of a 百ます is one
// its course poses, with its answer; a sheet number gives the same sheet
// each time and another number another; a subtracting grid never goes
// below 0; what cannot be a sheet gives none.
#include "classroom/worksheet.h"
#include "game/practice.h"
#include "support/courses.h"

#include <QRegularExpression>
#include <QTest>
#include <set>

using game::Course;
using classroom::Sheet;
using classroom::SheetLine;
using testing::courseOf;
using testing::keepsItsCourse;

namespace {

std::vector<game::Sum> sumsOf(const std::vector<SheetLine>& lines)
{
    std::vector<game::Sum> sums;
    for (const SheetLine& l : lines)
        sums.push_back(l.sum);
    return sums;
}

}  // namespace

class TestWorksheet : public QObject {
    Q_OBJECT

private slots:
    void aListKeepsItsCourse_data();
    void aListKeepsItsCourse();
    void mixedTakesEveryCourseInTurn();
    void aGridKeepsItsCourse_data();
    void aGridKeepsItsCourse();
    void aGridWantsFiveNumbersASide();
    void nothingForWhatCannotBeASheet();
};

void TestWorksheet::aListKeepsItsCourse_data()
{
    QTest::addColumn<QString>("course");
    QTest::addColumn<QString>("line");  // how each line reads, before and after the box
    QTest::addColumn<bool>("rest");
    QTest::addColumn<bool>("varies");  // another number, other sums: not for tables said in turn
    QTest::newRow("times") << "times:7" << "^7 × \\d =□$" << false << true;
    QTest::newRow("times in turn") << "times:3,8:down" << "^[38] × \\d =□$" << false << false;
    QTest::newRow("div") << "div:2-5" << "^\\d+ ÷ [2-5] =□$" << false << true;
    QTest::newRow("div rem") << "div:2-9:rem" << "^\\d+ ÷ [2-9] =□$" << true << true;
    QTest::newRow("div any") << "div:3:any" << "^\\d+ ÷ 3 =□$" << true << true;
    QTest::newRow("add") << "add:10-99:carry" << "^\\d\\d \\+ \\d\\d =□$" << false << true;
    QTest::newRow("sub") << "sub:2-18:borrow" << "^\\d+ − \\d+ =□$" << false << true;
    QTest::newRow("make") << "make:5-10" << "^\\d+は \\dと□$" << false << true;
    QTest::newRow("three") << "three:1-9" << "^\\d [+−] \\d [+−] \\d =□$" << false << true;
}

// Each length of list, two numbers: the same number the same sums, another
// number others; every sum its course's; no sum twice within five.
void TestWorksheet::aListKeepsItsCourse()
{
    QFETCH(QString, course);
    QFETCH(QString, line);
    QFETCH(bool, rest);
    QFETCH(bool, varies);
    const std::vector<Course> courses{courseOf(course.toStdString())};
    const QRegularExpression shape(line);
    for (const int count : Sheet::kCounts) {
        const std::vector<SheetLine> one = classroom::listSheet(courses, 1, count, 4711);
        QCOMPARE(one.size(), static_cast<std::size_t>(count));
        QVERIFY(sumsOf(one) == sumsOf(classroom::listSheet(courses, 1, count, 4711)));
        QCOMPARE(sumsOf(one) != sumsOf(classroom::listSheet(courses, 1, count, 4712)), varies);
        for (std::size_t i = 0; i < one.size(); ++i) {
            const SheetLine& l = one[i];
            const QString text = QString::fromStdString(l.before + "□" + l.after);
            QVERIFY2(l.sum.kind == courses[0].kind && keepsItsCourse(courses[0], l.sum), qPrintable(text));
            QVERIFY2(shape.match(text).hasMatch(), qPrintable(text));
            QCOMPARE(l.rest, rest);
            for (std::size_t k = i >= 4 ? i - 4 : 0; k < i; ++k)
                QVERIFY2(!(one[k].sum == l.sum), qPrintable(text));
        }
    }
}

void TestWorksheet::mixedTakesEveryCourseInTurn()
{
    const std::vector<Course> courses{courseOf("times:7"), courseOf("div:2-9:rem"), courseOf("make:10"), courseOf("add:1-9")};
    const std::vector<SheetLine> lines = classroom::listSheet(courses, 0, 20, 12);
    std::vector<int> counts(courses.size());
    for (const SheetLine& l : lines) {
        const auto it = std::find_if(courses.begin(), courses.end(), [&](const Course& c) { return c.kind == l.sum.kind; });
        QVERIFY(it != courses.end() && keepsItsCourse(*it, l.sum));
        ++counts[static_cast<std::size_t>(it - courses.begin())];
        QCOMPARE(l.rest, l.sum.op == game::Op::Divide);  // only the remainders' course has their box
    }
    QCOMPARE(counts, (std::vector<int>{5, 5, 5, 5}));
    QCOMPARE(classroom::sheetTitle(courses, 0), std::string("まぜて（7のだん・あまり2〜9・10はいくつ・たしざん）"));
    QCOMPARE(classroom::sheetTitle(courses, 1), std::string("7のだん　かけざん"));
}

void TestWorksheet::aGridKeepsItsCourse_data()
{
    QTest::addColumn<QString>("course");
    QTest::addColumn<int>("fewer");  // distinct numbers on the side with fewer, at least
    QTest::addColumn<int>("more");   // and on the other
    QTest::newRow("times:2-6") << "times:2-6" << 5 << 9;
    QTest::newRow("times:1-9") << "times:1-9" << 9 << 9;
    QTest::newRow("add:1-9") << "add:1-9" << 9 << 9;
    // 11 to 18 in every cell: 6〜9 down the side, 5〜9 along the top at most.
    QTest::newRow("add:10-99:nocarry") << "add:10-99:nocarry" << 9 << 10;
    QTest::newRow("sub:1-9") << "sub:1-9" << 5 << 5;
    QTest::newRow("sub:2-18:borrow") << "sub:2-18:borrow" << 5 << 5;
    QTest::newRow("sub:10-99") << "sub:10-99" << 10 << 10;
    QTest::newRow("sub:10-99:noborrow") << "sub:10-99:noborrow" << 9 << 10;
}

// Every cell its course's sum, its answer right; the same number the same
// grid, and twenty numbers more than one grid where there is a choice.
void TestWorksheet::aGridKeepsItsCourse()
{
    QFETCH(QString, course);
    QFETCH(int, fewer);
    QFETCH(int, more);
    const Course c = courseOf(course.toStdString());
    std::set<std::pair<std::array<game::Integer, 10>, std::array<game::Integer, 10>>> grids;
    for (std::uint32_t number = 1; number <= 20; ++number) {
        const std::optional<classroom::Grid> grid = classroom::gridSheet(c, number);
        QVERIFY(grid);
        const std::optional<classroom::Grid> again = classroom::gridSheet(c, number);
        QVERIFY(again->left == grid->left && again->top == grid->top);
        grids.insert({grid->left, grid->top});
        for (std::size_t r = 0; r < 10; ++r) {
            for (std::size_t k = 0; k < 10; ++k) {
                const game::Sum s = grid->at(r, k);
                QVERIFY2(keepsItsCourse(c, s), qPrintable(QString::fromStdString(game::sumText(s))));
            }
        }
        const std::size_t left = std::set(grid->left.begin(), grid->left.end()).size();
        const std::size_t top = std::set(grid->top.begin(), grid->top.end()).size();
        QVERIFY(std::min(left, top) >= static_cast<std::size_t>(fewer) && std::max(left, top) >= static_cast<std::size_t>(more));
    }
    QVERIFY(grids.size() > 1);
    QVERIFY(!classroom::gridFault(c));
}

// A 百ます with fewer than five numbers on a side would be one sum over and
// over: refused with the reason, and for a course of tables, the course of
// all of them offered instead.
void TestWorksheet::aGridWantsFiveNumbersASide()
{
    const struct {
        const char* course;
        const char* instead;  // the course offered, or none
    } rows[] = {{"times:7", "times:1-9"}, {"times:2-5:up", "times:1-9"}, {"add:5-5", nullptr}, {"sub:1-4", nullptr},
                {"add:1-9:carry", nullptr},  // 11 to 18: four numbers at most on one side
                {"div:2-9", nullptr}, {"make:10", nullptr}};
    for (const auto& r : rows) {
        const Course c = courseOf(r.course);
        QVERIFY2(!classroom::gridSheet(c, 1), r.course);
        const std::optional<classroom::GridFault> fault = classroom::gridFault(c);
        QVERIFY2(fault && !fault->why.empty(), r.course);
        QCOMPARE(fault->instead ? game::courseText(*fault->instead) : std::string(), std::string(r.instead ? r.instead : ""));
        if (fault->instead)
            QVERIFY(classroom::gridSheet(*fault->instead, 1));
    }
}

void TestWorksheet::nothingForWhatCannotBeASheet()
{
    QVERIFY(!classroom::gridSheet(courseOf("three:1-9"), 1));
    const std::vector<Course> courses{courseOf("times:7")};
    for (const auto& [course, count] : {std::pair{2, 20}, {-1, 20}, {1, 25}, {1, 0}, {1, 51}})
        QVERIFY(classroom::listSheet(courses, course, count, 1).empty());
    QVERIFY(classroom::listSheet({}, 0, 20, 1).empty());
}

QTEST_GUILESS_MAIN(TestWorksheet)
#include "test_worksheet.moc"
