// The sums a class missed, counted in children from the cards as the
// teacher's page reads them: the 九九 on its grid, the other sums listed
// most first, a child's second card and a sum missed twice counted once.
#include "classroom/class_missed.h"
#include "game/practice.h"

#include <QTest>
#include <algorithm>

namespace {

// One card of the link below: its number, course, the sums it carries as
// the QR code writes them, and how many its child missed (-1: as many);
// and the sums it was slow on (a card of version 2; none: of version 1).
struct Given {
    int number = 0;
    int course = 1;
    std::string sums;
    int missed = -1;
    bool typed = false;
    std::string slow{};
};
using Cards = std::vector<Given>;
using Lines = std::vector<std::string>;

constexpr const char* kLink = "course=times:1-9&course=add:1-20&course=div:2-9:rem&course=make:2-20&course=sub:1-20";

// The card as the teacher's page reads it: from its QR code's text, its
// sums written in, or from its short code.
game::CardReading readingOf(const Given& g)
{
    game::Card card;
    card.courses = game::readPractice(kLink).courses;
    card.link = game::linkMark(card.courses);
    card.number = g.number;
    card.course = g.course;
    if (g.typed)
        return game::readCard(game::shortCode(card));
    std::vector<std::string> f;
    const std::string text = game::cardText(card);
    for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1)
        f.push_back(text.substr(at, (end = text.find('/', at)) == std::string::npos ? end : end - at));
    const auto listed = [](const std::string& sums) { return sums.empty() ? 0 : std::count(sums.begin(), sums.end(), ',') + 1; };
    f[6] = std::to_string(g.missed < 0 ? listed(g.sums) : g.missed);
    f[7] = g.sums;
    f[9] = std::to_string(listed(g.slow));
    f[10] = g.slow;
    if (g.slow.empty()) {
        f[0] = "PMR1";
        f.resize(9);
    }
    std::string out;
    for (const std::string& part : f)
        out += (out.empty() ? "" : "/") + part;
    return game::readCard(out);
}

}  // namespace

Q_DECLARE_METATYPE(Cards)
Q_DECLARE_METATYPE(Lines)

class TestClassMissed : public QObject {
    Q_OBJECT

private slots:
    void countedInChildren_data();
    void countedInChildren();
};

// Each row: the cards in the order read; the 九九 cells not 0 ("7x8=2"),
// the other sums as listed, and children, sums, typed and cut short.
void TestClassMissed::countedInChildren_data()
{
    QTest::addColumn<Cards>("cards");
    QTest::addColumn<Lines>("times");
    QTest::addColumn<Lines>("others");
    QTest::addColumn<Lines>("counts");
    QTest::newRow("two children's misses") << Cards{{3, 1, "7x8,6x7"}, {5, 1, "9x9,7x8"}}
                                           << Lines{"6x7=1", "7x8=2", "9x9=1"} << Lines{} << Lines{"2", "4", "0", "0"};
    QTest::newRow("a child's second card, and a sum missed twice on one")
        << Cards{{3, 1, "7x8,6x7"}, {3, 1, "7x8,7x8,2x3"}} << Lines{"2x3=1", "6x7=1", "7x8=1"} << Lines{}
        << Lines{"1", "5", "0", "0"};
    QTest::newRow("cards without a number: a child each") << Cards{{0, 1, "7x8"}, {0, 1, "7x8"}, {4, 1, ""}}
                                                          << Lines{"7x8=2"} << Lines{} << Lines{"3", "2", "0", "0"};
    QTest::newRow("the 九九 on the grid, any other sum listed")
        << Cards{{1, 1, "1x1,9x9,10x3"}, {1, 2, "7+8"}, {1, 3, "23:4,56:7"}, {2, 2, "7+8"}}
        << Lines{"1x1=1", "9x9=1"} << Lines{"7 + 8 = 15: 2", "10 × 3 = 30: 1", "23 ÷ 4 = 5あまり3: 1", "56 ÷ 7 = 8: 1"}
        << Lines{"2", "7", "0", "0"};
    QTest::newRow("most first, ties in the order first read")
        << Cards{{1, 2, "3+4,2+2"}, {2, 2, "2+2,5+1"}, {3, 2, "5+1"}, {4, 2, "9+9"}, {5, 2, "9+9"}, {6, 2, "9+9"}}
        << Lines{} << Lines{"9 + 9 = 18: 3", "2 + 2 = 4: 2", "5 + 1 = 6: 2", "3 + 4 = 7: 1"} << Lines{"6", "8", "0", "0"};
    QTest::newRow("alike in numbers, not as read: two sums") << Cards{{1, 4, "10-3"}, {2, 5, "10-3"}} << Lines{}
                                                             << Lines{"10は 3と□ = 7: 1", "10 - 3 = 7: 1"} << Lines{"2", "2", "0", "0"};
    QTest::newRow("typed codes carry nothing; a card cut short is counted")
        << Cards{{1, 1, "", -1, true}, {2, 1, "4x6", 30}, {1, 1, "", -1, true}} << Lines{"4x6=1"} << Lines{}
        << Lines{"1", "1", "2", "1"};
    QTest::newRow("slow apart from missed, in children")
        << Cards{{1, 1, "7x8", -1, false, "6x7,7x8"}, {1, 1, "", -1, false, "6x7"}, {2, 1, "6x7", -1, false, "7x8"}}
        << Lines{"6x7=1", "7x8=1", "6x7~1", "7x8~2"} << Lines{} << Lines{"2", "6", "0", "0"};
    QTest::newRow("other sums slow, listed after those missed as often")
        << Cards{{1, 2, "7+8", -1, false, "9+9,7+8"}, {2, 2, "", -1, false, "9+9"}, {3, 2, "3+4", -1, false, "7+8"}}
        << Lines{} << Lines{"7 + 8 = 15: 1 ~2", "3 + 4 = 7: 1", "9 + 9 = 18: 0 ~2"} << Lines{"3", "6", "0", "0"};
    QTest::newRow("a slow sum counted twice on a card of 2 as often")
        << Cards{{1, 1, "7x8*3", 1, false, "7x8*2"}} << Lines{"7x8=1", "7x8~1"} << Lines{} << Lines{"1", "2", "0", "0"};
}

void TestClassMissed::countedInChildren()
{
    QFETCH(Cards, cards);
    QFETCH(Lines, times);
    QFETCH(Lines, others);
    QFETCH(Lines, counts);
    std::vector<game::CardReading> read;
    for (const Given& g : cards) {
        read.push_back(readingOf(g));
        QVERIFY2(read.back().card, read.back().why.c_str());
    }
    const classroom::ClassMissed m = classroom::classMissed(read);
    Lines cells, listed;
    for (int a = 1; a <= 9; ++a) {
        for (int b = 1; b <= 9; ++b) {
            if (const int n = m.times[static_cast<std::size_t>(a - 1)][static_cast<std::size_t>(b - 1)])
                cells.push_back(std::to_string(a) + "x" + std::to_string(b) + "=" + std::to_string(n));
        }
    }
    for (int a = 1; a <= 9; ++a) {
        for (int b = 1; b <= 9; ++b) {
            if (const int n = m.slowTimes[static_cast<std::size_t>(a - 1)][static_cast<std::size_t>(b - 1)])
                cells.push_back(std::to_string(a) + "x" + std::to_string(b) + "~" + std::to_string(n));
        }
    }
    for (const auto& o : m.others)
        listed.push_back(game::sumText(o.sum) + " = " + game::answerText(o.sum.result()) + ": " + std::to_string(o.children) +
                         (o.slow ? " ~" + std::to_string(o.slow) : ""));
    const auto text = [](const Lines& lines) {
        QStringList out;
        for (const std::string& line : lines)
            out << QString::fromStdString(line);
        return out;
    };
    QCOMPARE(text(cells), text(times));
    QCOMPARE(text(listed), text(others));
    QCOMPARE(text({std::to_string(m.children), std::to_string(m.sums), std::to_string(m.typed), std::to_string(m.cut)}), text(counts));
}

QTEST_APPLESS_MAIN(TestClassMissed)
#include "test_class_missed.moc"
