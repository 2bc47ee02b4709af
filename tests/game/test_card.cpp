// The result card's two codes: every field back as written for every kind
// of course and at the edges of every range; a slip of the hand caught;
// anything that is not a card refused with a reason.
#include "game/card.h"
#include "game/practice.h"
#include "game/sums.h"
#include "support/scripted_random.h"

#include <QTest>
#include <tuple>

using game::Card;

Q_DECLARE_METATYPE(game::Card)

namespace {

// A card of a game of course `course` of `link` (none: the animals), with
// `missed` sums that course really poses.
Card cardOf(const std::string& link, int course, int missed)
{
    Card card;
    card.course = course;
    card.courses = game::readPractice(link).courses;
    card.link = card.courses.empty() ? 0 : game::linkMark(card.courses);
    testing::ScriptedRandom random(7);
    game::CourseSums sums(card.courses.empty() ? std::vector<game::Course>{} : card.courses);
    for (int i = 0; i < missed; ++i) {
        game::Sum s = card.courses.empty() ? game::Sum{.num1 = 9, .num2 = static_cast<game::Integer>(i % 9), .op = game::Op::Minus,
                                                       .answer = static_cast<game::Integer>(9 - i % 9)}
                                           : sums.draw(course, random).sum;
        if (card.missed.size() < Card::kMaxMissed)
            card.missed.push_back(s);
    }
    card.missedCount = missed;
    return card;
}

std::string signsOf(const std::string& code)
{
    std::string out = code;
    std::erase(out, ' ');
    return out;
}

}  // namespace

class TestCard : public QObject {
    Q_OBJECT

private slots:
    void bothCodesGiveTheCardBack_data();
    void bothCodesGiveTheCardBack();
    void slipsOfTheHandAreCaught();
    void whatATeacherTypesIsRead();
    void anythingElseIsRefused_data();
    void anythingElseIsRefused();
};

void TestCard::bothCodesGiveTheCardBack_data()
{
    QTest::addColumn<Card>("card");
    Card animals = cardOf("", 3, 5);
    animals.number = 17, animals.points = 46, animals.right = 23, animals.wrong = 1, animals.fell = 5, animals.perMinute = 46;
    animals.when = {2026, 12, 9, 10, 5};
    QTest::newRow("the animals' course 3") << animals;
    const std::string link = "course=times:7:up&course=div:2-9:rem&course=add:1-9:carry&course=sub:10-99:borrow"
                             "&course=make:5-10&course=three:1-9:mix";
    for (int course = 1; course <= 6; ++course) {
        Card c = cardOf(link, course, course * 3);
        c.number = course, c.points = static_cast<game::Integer>(course * 11), c.right = course * 9, c.fell = course * 3;
        c.seconds = 90, c.pace = 50, c.when = {2027, 2, 28, 23, 59};
        QTest::newRow(("a teacher's course of each kind: " + std::to_string(course)).c_str()) << c;
    }
    Card most = cardOf("course=times:1-9", 1, 40);
    most.number = Card::kMaxNumber, most.points = 32767, most.right = most.wrong = most.fell = Card::kMaxCount;
    most.perMinute = 32767, most.seconds = 600, most.pace = 100, most.when = {2099, 12, 31, 23, 59};
    QTest::newRow("every range at its top, 40 sums missed") << most;
    Card least = cardOf("course=make:20", 1, 0);
    least.seconds = 30, least.pace = 25, least.when = {2000, 1, 1, 0, 0};
    QTest::newRow("every range at its foot, no number") << least;
}

void TestCard::bothCodesGiveTheCardBack()
{
    QFETCH(Card, card);
    const game::CardReading read = game::readCard(game::cardText(card));
    QVERIFY2(read.card, read.why.c_str());
    QVERIFY(*read.card == card);
    QVERIFY(!read.typed);

    const std::string code = game::shortCode(card);
    QCOMPARE(code.size(), std::size_t{22});
    QVERIFY(code[4] == ' ' && code[9] == ' ' && code[14] == ' ' && code[19] == ' ');
    const game::CardReading typed = game::readCard(code);
    QVERIFY2(typed.card, typed.why.c_str());
    const Card& t = *typed.card;
    QVERIFY(typed.typed);
    QVERIFY(std::tuple(t.number, t.course, t.link, t.points, t.right, t.wrong, t.fell) ==
            std::tuple(card.number, card.course, card.link, card.points, card.right, card.wrong, card.fell));
}

// One sign wrong anywhere, two signs swapped anywhere, two signs wrong: the
// code is refused as mistyped, never read as another child's card.
void TestCard::slipsOfTheHandAreCaught()
{
    const std::string signs = "0123456789ACDEFGHJKMNPQRTVWXY";
    Card card = cardOf("course=times:7", 1, 0);
    card.number = 12, card.points = 120, card.right = 40, card.wrong = 2, card.fell = 3;
    const std::string code = signsOf(game::shortCode(card));
    const auto refused = [](const std::string& text) { return game::readCard(text).why.find("打ちまちがい") != std::string::npos; };
    int tried = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        for (const char other : signs) {
            if (other == code[i])
                continue;
            std::string one = code;
            one[i] = other;
            QVERIFY2(refused(one), one.c_str());
            std::string two = one;
            two[(i + 5) % code.size()] = signs[(signs.find(code[(i + 5) % code.size()]) + 1) % signs.size()];
            QVERIFY2(refused(two), two.c_str());
            tried += 2;
        }
        for (std::size_t j = i + 1; j < code.size(); ++j) {
            std::string swapped = code;
            std::swap(swapped[i], swapped[j]);
            if (swapped != code) {
                QVERIFY2(refused(swapped), swapped.c_str());
                ++tried;
            }
        }
    }
    QVERIFY(tried > 1000);
    QVERIFY(game::readCard(code).why.empty());
}

// Small letters, the look-alikes the code leaves out, full-width signs and
// spaces from a Japanese keyboard, hyphens: all read as meant.
void TestCard::whatATeacherTypesIsRead()
{
    Card card = cardOf("", 6, 0);
    card.number = 45, card.points = 300, card.right = 60;
    const std::string code = game::shortCode(card);
    std::string lower, wide, alike, dashed;
    for (const char c : code) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        wide += c == ' ' ? std::string("\u3000") : std::string{'\xEF', '\xBC', static_cast<char>(c + 0x60)};
        alike += c == '0' ? 'O' : c == '1' ? 'l' : c == '8' ? 'B' : c == '5' ? 'S' : c == '2' ? 'Z' : c == 'V' ? 'U' : c;
        dashed += c == ' ' ? '-' : c;
    }
    for (const std::string& typed : {lower, wide, alike, dashed, " " + code + " "}) {
        const game::CardReading read = game::readCard(typed);
        QVERIFY2(read.card && read.card->points == 300 && read.card->number == 45, typed.c_str());
    }
}

void TestCard::anythingElseIsRefused_data()
{
    QTest::addColumn<std::string>("text");
    QTest::addColumn<QString>("why");
    const Card good = cardOf("course=div:2-9:rem&course=times:3", 2, 2);
    const std::string text = game::cardText(good);
    const auto field = [&](std::size_t k, const std::string& to) {
        std::vector<std::string> f;
        for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1)
            f.push_back(text.substr(at, (end = text.find('/', at)) == std::string::npos ? end : end - at));
        f[k] = to;
        std::string out;
        for (const std::string& part : f)
            out += (out.empty() ? "" : "/") + part;
        return out;
    };
    const QString notACard = "けっかカードでは ありません", impossible = "ありえない", newer = "新しい版";
    QTest::newRow("a web address") << std::string("https://example.org/?course=times:7") << notACard;
    QTest::newRow("plain text") << std::string("こんにちは") << notACard;
    QTest::newRow("nothing") << std::string() << notACard;
    QTest::newRow("a long string") << std::string(20'000, 'A') << notACard;
    QTest::newRow("a short code one sign short") << signsOf(game::shortCode(good)).substr(1) << notACard;
    // A full-width form's first two bytes before a plain character, which
    // once read as the full-width sign: the QR text then lost the sign
    // after it (EF BD 'M', a full-width hyphen), a typed code read 'Y' as
    // '9'.
    const std::string code = signsOf(game::shortCode(good));
    QTest::newRow("a full-width form broken in a QR code") << field(1, "\xEF\xBD" "M" + code) << notACard;
    QTest::newRow("a full-width form broken in a typed code")
        << "\xEF\xBD" + std::string(1, static_cast<char>(code[0] + 0x20)) + code.substr(1) << notACard;
    QTest::newRow("a full-width form's last byte out of range") << "\xEF\xBC\xC5" + code.substr(1) << notACard;
    QTest::newRow("a later version") << ("PMR2/" + text.substr(5)) << newer;
    QTest::newRow("a later version's short code") << std::string("PMR9/ABCD") << newer;
    QTest::newRow("a field too few") << text.substr(0, text.rfind('/')) << notACard;
    QTest::newRow("a game of 9999 s") << field(3, "9999") << impossible;
    QTest::newRow("a thirteenth month") << field(5, "202613011200") << impossible;
    QTest::newRow("courses the mark does not fit") << field(8, "div:2-9:rem;times:4") << impossible;
    QTest::newRow("a course the link lacks") << field(8, "div:2-9:rem") << impossible;
    QTest::newRow("a course no game plays") << field(8, "div:1:rem;times:3") << impossible;
    QTest::newRow("a division by 0") << field(7, "5:0") << impossible;
    QTest::newRow("a sum below 0") << field(7, "3-5") << impossible;
    QTest::newRow("a sum below 0 half way") << field(7, "3-5+9") << impossible;
    QTest::newRow("four numbers") << field(7, "1+2+3+4") << impossible;
    QTest::newRow("markup for a sum") << field(7, "7x8<script>") << impossible;
    QTest::newRow("13 sums") << field(7, "1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1") << impossible;
    QTest::newRow("fewer missed than listed") << field(6, "1") << impossible;
}

void TestCard::anythingElseIsRefused()
{
    QFETCH(std::string, text);
    QFETCH(QString, why);
    const game::CardReading read = game::readCard(text);
    QVERIFY(!read.card);
    QVERIFY2(QString::fromStdString(read.why).contains(why), read.why.c_str());
    QVERIFY(read.why.find('\n') == std::string::npos);
}

QTEST_APPLESS_MAIN(TestCard)
#include "test_card.moc"
