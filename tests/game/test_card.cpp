// The result card's two codes: every field back as written for every kind
// of course and at the edges of every range; a slip of the hand caught;
// anything that is not a card refused with a reason.
#include "game/card.h"
#include "game/practice.h"
#include "game/sums.h"
#include "support/scripted_random.h"

#include <QTest>
#include <algorithm>
#include <qrcodegen.hpp>
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

// The text as a version 1 card wrote it: its first nine fields.
std::string v1Of(const std::string& text)
{
    std::string out = "PMR1" + text.substr(4);
    for (int k = 0; k < 4; ++k)
        out.erase(out.rfind('/'));
    return out;
}

// The text with field k (0: "PMR2") put to `to`.
std::string withField(const std::string& text, std::size_t k, const std::string& to)
{
    std::vector<std::string> f;
    for (std::size_t at = 0, end = 0; end != std::string::npos; at = end + 1)
        f.push_back(text.substr(at, (end = text.find('/', at)) == std::string::npos ? end : end - at));
    f[k] = to;
    std::string out;
    for (const std::string& part : f)
        out += (out.empty() ? "" : "/") + part;
    return out;
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
    void cardsMadeBeforeReadTheSame();
    void slipsOfTheHandAreCaught();
    void whatATeacherTypesIsRead();
    void anythingElseIsRefused_data();
    void anythingElseIsRefused();
    void theLargestCardFitsItsCode_data();
    void theLargestCardFitsItsCode();
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
    Card often = cardOf("course=times:2-5&course=div:2-9:rem", 2, 5);
    often.missedTimes = {2, 1, Card::kMaxCount, 1, 3};
    often.slow = {often.missed[1], often.missed[3]}, often.slowTimes = {1, 4}, often.slowCount = 9;
    often.medianTenths = 0;
    QTest::newRow("how often, slow sums, a median of 0") << often;
    Card slowOnly = cardOf("", 6, 0);
    slowOnly.slow = {{.num1 = 38, .num2 = 27, .answer = 65}}, slowOnly.slowCount = 1, slowOnly.medianTenths = Card::kMaxTenths;
    QTest::newRow("one slow sum, the longest median") << slowOnly;
    Card many = cardOf("course=three:0-99:mix", 1, 0);
    for (int i = 0; i < 30; ++i)
        many.missed.push_back({.num1 = 99, .num2 = static_cast<game::Integer>(i), .op = game::Op::Minus,
                               .answer = static_cast<game::Integer>(99 - i), .kind = many.courses[0].kind});
    many.missedCount = 30, many.medianTenths = 31;
    QTest::newRow("more sums than version 1 held") << many;
    Card typed = cardOf("course=times:7", 1, 2);
    typed.typedAnswers = true, typed.right = 12, typed.points = 12, typed.medianTenths = 24;
    QTest::newRow("answers typed on the pad") << typed;
}

void TestCard::bothCodesGiveTheCardBack()
{
    QFETCH(Card, card);
    const game::CardReading read = game::readCard(game::cardText(card));
    QVERIFY2(read.card, read.why.c_str());
    QVERIFY(*read.card == card);
    QVERIFY(!read.typed);
    // A card of what version 1 held reads as it did from version 1's text.
    QCOMPARE(game::cardText(card).ends_with("/t"), card.typedAnswers);
    if (card.missedTimes.empty() && card.slow.empty() && card.slowCount == 0 && card.medianTenths < 0 &&
        !card.typedAnswers && card.missed.size() <= Card::kMaxMissed) {
        const game::CardReading first = game::readCard(v1Of(game::cardText(card)));
        QVERIFY2(first.card, first.why.c_str());
        QVERIFY(*first.card == card);
    }

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
// The written-down examples of version 1, as cards already shown to
// classes carry them, read as they always did.
void TestCard::cardsMadeBeforeReadTheSame()
{
    const game::CardReading qr = game::readCard("PMR1/V778KMH71XD8DYYTRN/46/60/100/202612091030/4/23:4/times:7;div:2-9:rem");
    QVERIFY2(qr.card, qr.why.c_str());
    QVERIFY(!qr.typed);
    QCOMPARE(qr.card->perMinute, 46);
    QCOMPARE(qr.card->seconds, 60);
    QCOMPARE(qr.card->missedCount, 4);
    QCOMPARE(qr.card->missed.size(), std::size_t{1});
    QCOMPARE(qr.card->courses.size(), std::size_t{2});
    const game::CardReading typed = game::readCard("V778 KMH7 1XDK HFMW QY");
    QVERIFY2(typed.card && typed.typed, typed.why.c_str());
}

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
    const auto field = [&](std::size_t k, const std::string& to) { return withField(text, k, to); };
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
    QTest::newRow("a later version") << ("PMR3/" + text.substr(5)) << newer;
    QTest::newRow("version 1 with the fields of 2") << ("PMR1/" + text.substr(5)) << notACard;
    QTest::newRow("version 2 with the fields of 1") << ("PMR2/" + v1Of(text).substr(5)) << notACard;
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
    const std::string v1 = v1Of(text);
    QTest::newRow("13 sums in version 1") << withField(v1, 7, "1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1,1+1") << impossible;
    QTest::newRow("how often in version 1") << withField(v1, 7, "7x8*2") << impossible;
    QTest::newRow("fewer missed than listed") << field(6, "1") << impossible;
    QTest::newRow("once, written") << field(7, "7x8*1") << impossible;
    QTest::newRow("no times") << field(7, "7x8*0") << impossible;
    QTest::newRow("too often") << field(7, "7x8*2048") << impossible;
    QTest::newRow("a count of nothing") << field(7, "7x8*") << impossible;
    QTest::newRow("fewer slow than listed") << withField(field(10, "7x8,7x9"), 9, "1") << impossible;
    QTest::newRow("a slow sum below 0") << withField(field(10, "3-5"), 9, "1") << impossible;
    QTest::newRow("a median past 999.9 s") << field(11, "10000") << impossible;
    QTest::newRow("a median not a number") << field(11, "1.5") << impossible;
    QTest::newRow("a way of answering of no game") << field(12, "x") << impossible;
    QTest::newRow("typed, in capitals") << field(12, "T") << impossible;
    QTest::newRow("a field too many") << text + "/t" << notACard;
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

// Cards with more sums than a code holds: cut to fit version 11 (the
// desktop's 192-pixel box at 3 pixels a module), the longer list first,
// the counts kept, and read back as cut.
void TestCard::theLargestCardFitsItsCode_data()
{
    QTest::addColumn<Card>("card");
    const auto filled = [](const std::string& link, int missed, int slow) {
        Card c = cardOf(link, 1, 0);
        testing::ScriptedRandom random(5);
        game::CourseSums sums(c.courses);
        for (int i = 0; i < missed + slow; ++i) {
            const game::Sum s = sums.draw(1, random).sum;
            (i < missed ? c.missed : c.slow).push_back(s);
            (i < missed ? c.missedTimes : c.slowTimes).push_back(Card::kMaxCount - i);
        }
        c.missedCount = missed, c.slowCount = slow;
        c.number = Card::kMaxNumber, c.points = 32767, c.right = c.wrong = c.fell = Card::kMaxCount;
        c.perMinute = 32767, c.seconds = 600, c.when = {2099, 12, 31, 23, 59}, c.medianTenths = Card::kMaxTenths;
        return c;
    };
    const std::string six = "course=three:90-99:mix&course=three:80-99:mix&course=three:70-99:mix&course=three:60-99:mix"
                            "&course=three:50-99:mix&course=three:40-99:mix";
    QTest::newRow("six long courses, 81 missed and 81 slow") << filled(six, 81, 81);
    QTest::newRow("the 九九, 81 missed and 81 slow") << filled("course=times:1-9", 81, 81);
    QTest::newRow("the 九九, 81 missed") << filled("course=times:1-9", 81, 0);
    QTest::newRow("division, 40 slow") << filled("course=div:2-9:rem", 0, 40);
}

void TestCard::theLargestCardFitsItsCode()
{
    QFETCH(Card, card);
    const Card fitted = game::fittedToCode(card);
    const std::string text = game::cardText(fitted);
    QVERIFY2(text.size() <= Card::kMaxCodeText, text.c_str());
    const int version = qrcodegen::QrCode::encodeText(text.c_str(), qrcodegen::QrCode::Ecc::LOW).getVersion();
    qInfo("%zu bytes, %zu missed and %zu slow kept: version %d", text.size(), fitted.missed.size(), fitted.slow.size(), version);
    QVERIFY(version <= 11);
    QCOMPARE(fitted.missedCount, card.missedCount);
    QCOMPARE(fitted.slowCount, card.slowCount);
    QVERIFY(!fitted.missed.empty() || !fitted.slow.empty());
    // The first sums stay, the longer list cut first, each with how often.
    QVERIFY(std::equal(fitted.missed.begin(), fitted.missed.end(), card.missed.begin()));
    QVERIFY(std::equal(fitted.slow.begin(), fitted.slow.end(), card.slow.begin()));
    QVERIFY(fitted.missed.size() + 1 >= std::min(card.missed.size(), fitted.slow.size()));
    QVERIFY(fitted.slow.size() + 1 >= std::min(card.slow.size(), fitted.missed.size()));
    QCOMPARE(fitted.missedTimes.size(), fitted.missed.size());
    // The last sum cut, whichever list it was of, would not have fitted.
    const auto withNext = [&](bool missed) {
        Card more = fitted;
        const std::size_t at = (missed ? fitted.missed : fitted.slow).size();
        if (at == (missed ? card.missed : card.slow).size())
            return false;
        (missed ? more.missed : more.slow).push_back((missed ? card.missed : card.slow)[at]);
        (missed ? more.missedTimes : more.slowTimes).push_back((missed ? card.missedTimes : card.slowTimes)[at]);
        return game::cardText(more).size() > Card::kMaxCodeText;
    };
    QVERIFY(withNext(true) || withNext(false));
    const game::CardReading read = game::readCard(text);
    QVERIFY2(read.card, read.why.c_str());
    QVERIFY(*read.card == fitted);
}

QTEST_APPLESS_MAIN(TestCard)
#include "test_card.moc"
