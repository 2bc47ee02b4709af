// A typed game (answer=type), in virtual time: the number pad in the
// answers' place, which sum a number answers, the number sent by itself at
// full length, deleting, the keyboard, a pause with digits half typed, what
// a screen reader hears, and the link that asks for it.
#include "game/practice.h"
#include "game/session.h"
#include "game/spoken.h"

#include "forms/keyboard.h"
#include "support/rules_only.h"
#include "support/scripted_random.h"
#include "support/virtual_clock.h"

#include <QTest>

#include <string>
#include <vector>

using forms::ControlId;
using forms::Key;
using forms::kNoControl;
using game::Outcome;

namespace {

// Sums of the given results, in turn, each drawn as (r - 1) + 1.
class Results final : public game::SumSource {
public:
    explicit Results(std::vector<int> results) : results_(std::move(results)) {}
    game::Drawn draw(int, game::RandomSource&) override
    {
        const auto r = static_cast<game::Integer>(results_[next_++ % results_.size()]);
        const auto off = [r](int by) { return static_cast<game::Integer>(r + by); };
        return {{off(-1), 1, game::Op::Plus, r}, {{{off(1)}, {off(2)}}}};
    }

private:
    std::vector<int> results_;
    std::size_t next_ = 0;
};

game::GameSettings typedSettings(bool keep)
{
    game::GameSettings s;
    s.typed = true;
    s.keepScore = keep;
    return s;
}

// The rules of a typed game of course 1 on the given sums, begun.
struct Typed {
    testing::ScriptedRandom random;
    Results sums;
    game::Form1 form;
    testing::RulesOnly rules{form};
    testing::VirtualClock clock{rules};
    std::vector<Outcome> judged;  // the right and wrong answers, in order

    Typed(std::vector<int> results, bool keep) : sums(std::move(results)), form(random, typedSettings(keep))
    {
        form.setCourseSums(&sums);
        rules.listener = [this](const Outcome& o) {
            if (o.kind == Outcome::Kind::Right || o.kind == Outcome::Kind::Wrong)
                judged.push_back(o);
        };
        clock.load();
        clock.click(form.controls().rebel[1]);
    }
    // Digits, 'b' for けす and 'e' for おくる, pressed on the pad.
    void press(const QString& keys)
    {
        const auto& c = form.controls();
        for (const QChar key : keys)
            clock.click(key == 'b' ? c.kesu : key == 'e' ? c.okuru : c.suuji[static_cast<std::size_t>(key.digitValue())]);
    }
};

}  // namespace

class TestTyped : public QObject {
    Q_OBJECT

private slots:
    void padInTheAnswersPlace();
    void numbersAnswer_data();
    void numbersAnswer();
    void pausedWithDigitsHalfTyped();
    void heardByEar();
    void enterSendsOrPressesTheFocus();
    void theLink();
};

void TestTyped::padInTheAnswersPlace()
{
    Typed t({7, 12, 25}, false);
    const auto& c = t.form.controls();
    const auto& m = t.form.model();
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k)
            QVERIFY(!m[c.kotae[n][k]].visible);
    }
    for (const ControlId key : c.suuji)
        QVERIFY(m.clickable(key));
    QVERIFY(m.clickable(c.kesu) && m.clickable(c.okuru) && m[c.nyuuryoku].visible);
    t.press("1");
    QCOMPARE(m[c.nyuuryoku].caption, std::string("1"));
    // After the game the pad takes nothing, and what was typed is gone.
    t.clock.advance(61'000);
    QVERIFY(!m.clickable(c.suuji[1]) && !m.clickable(c.okuru));
    QCOMPARE(m[c.nyuuryoku].caption, std::string());
}

void TestTyped::numbersAnswer_data()
{
    QTest::addColumn<QList<int>>("results");  // of problems 1, 2, 3
    QTest::addColumn<int>("lowered");          // the problem fallen furthest, or 0: none
    QTest::addColumn<bool>("keep");            // miss=keep
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("answered");  // each judged answer's problem, negative when wrong
    QTest::addColumn<int>("given");            // the last judged answer's number
    QTest::addColumn<int>("score");
    QTest::addColumn<QString>("left");         // the digits still typed

    QTest::newRow("right, sent") << QList<int>{7, 12, 25} << 0 << false << "7e" << QList<int>{1} << 7 << 1 << "";
    QTest::newRow("two share it, the second lower") << QList<int>{7, 7, 12} << 2 << false << "7e" << QList<int>{2} << 7 << 1 << "";
    QTest::newRow("two share it, the first lower") << QList<int>{7, 7, 12} << 1 << false << "7e" << QList<int>{1} << 7 << 1 << "";
    QTest::newRow("wrong wipes the score, the lowest missed")
        << QList<int>{7, 12, 25} << 3 << false << "7e8e" << QList<int>{1, -3} << 8 << 0 << "";
    QTest::newRow("wrong with miss=keep keeps it")
        << QList<int>{7, 12, 25} << 3 << true << "7e8e" << QList<int>{1, -3} << 8 << 1 << "";
    QTest::newRow("a spoiled sum earns nothing") << QList<int>{7, 12, 25} << 3 << true << "8e25" << QList<int>{-3, 3} << 25 << 0 << "";
    QTest::newRow("sent by itself at full length") << QList<int>{7, 12, 25} << 0 << false << "25" << QList<int>{3} << 25 << 1 << "";
    QTest::newRow("one digit short waits") << QList<int>{7, 12, 25} << 0 << false << "2" << QList<int>{} << 0 << 0 << "2";
    QTest::newRow("full length unmatched waits") << QList<int>{7, 12, 25} << 0 << false << "26" << QList<int>{} << 0 << 0 << "26";
    QTest::newRow("no digit past full length") << QList<int>{7, 12, 25} << 0 << false << "261" << QList<int>{} << 0 << 0 << "26";
    QTest::newRow("full length unmatched, then sent") << QList<int>{7, 12, 25} << 1 << false << "26e" << QList<int>{-1} << 26 << 0 << "";
    QTest::newRow("deleted, then typed right") << QList<int>{7, 12, 25} << 0 << false << "13b2" << QList<int>{2} << 12 << 1 << "";
    QTest::newRow("deleted to nothing, nothing sent") << QList<int>{7, 12, 25} << 0 << false << "1bbe" << QList<int>{} << 0 << 0 << "";
    QTest::newRow("one-digit sums send at once") << QList<int>{3, 4, 5} << 0 << false << "4" << QList<int>{2} << 4 << 1 << "";
    QTest::newRow("a nought alone is the number") << QList<int>{7, 12, 25} << 0 << false << "0e" << QList<int>{-1} << 0 << 0 << "";
    QTest::newRow("a digit after a nought replaces it") << QList<int>{7, 12, 25} << 0 << false << "07" << QList<int>{} << 0 << 0 << "7";
}

void TestTyped::numbersAnswer()
{
    QFETCH(QList<int>, results);
    QFETCH(int, lowered);
    QFETCH(bool, keep);
    QFETCH(QString, keys);
    QFETCH(QList<int>, answered);
    QFETCH(int, given);
    QFETCH(int, score);
    QFETCH(QString, left);

    Typed t({results.begin(), results.end()}, keep);
    if (lowered)
        for (int step = 0; step < 20; ++step)
            t.form.timerTick(lowered);
    t.press(keys);
    QList<int> problems;
    for (const Outcome& o : t.judged)
        problems.push_back(o.kind == Outcome::Kind::Right ? o.problem : -o.problem);
    QCOMPARE(problems, answered);
    if (!t.judged.empty()) {
        const Outcome& last = t.judged.back();
        QCOMPARE(last.kind == Outcome::Kind::Right ? last.sum.answer : last.given.value, given);
    }
    QCOMPARE(t.form.vars().score, score);
    QCOMPARE(QString::fromStdString(t.form.typed()), left);
    QCOMPARE(QString::fromStdString(t.form.model()[t.form.controls().nyuuryoku].caption), left);
}

namespace {

// A whole typed game, worked from the keyboard as a window works it.
struct Play {
    testing::ScriptedRandom random;
    game::Session window;
    testing::VirtualClock clock{window};
    forms::Keyboard keys{window.model()};

    explicit Play(std::string_view link) : window(random, false, {}, game::readPractice(link))
    {
        clock.load();
    }
    const game::Form1& rules() const { return window.rules(); }
    void press(forms::KeyPress key)
    {
        const ControlId press = keys.press(kNoControl, key).press;
        if (press != kNoControl)
            clock.click(press);
    }
    void key(char character) { press({Key::Character, character}); }
    void enter() { press({Key::Activate, forms::kEnter}); }
    // A digit that neither answers a sum nor is sent by itself.
    char harmless() const
    {
        for (char d = '1'; d <= '9'; ++d) {
            bool answers = false;
            for (int n = 1; n <= 3; ++n)
                answers = answers || game::numberText(rules().shown(n).sum.answer) == std::string(1, d);
            if (!answers)
                return d;
        }
        return 0;
    }
};

}  // namespace

void TestTyped::pausedWithDigitsHalfTyped()
{
    Play p("answer=type");
    const auto& c = p.rules().controls();
    p.key('1');  // the first course
    QVERIFY(p.rules().phase() == game::Phase::Playing);
    const char d = p.harmless();
    p.key(d);
    QCOMPARE(p.rules().typed(), std::string(1, d));
    p.key('p');  // a pause
    QVERIFY(p.window.phase() == game::Phase::Paused);
    QVERIFY(!p.window.model()[c.suuji[1]].visible && !p.window.model()[c.nyuuryoku].visible);
    const int score = p.rules().vars().score;
    for (char key : {'4', '2', forms::kBackspace})
        p.key(key);
    p.enter();
    p.clock.advance(5000);
    QCOMPARE(p.rules().typed(), std::string(1, d));
    QCOMPARE(p.rules().vars().score, score);
    p.key('p');  // on again: the digits where they were, the answers still hidden
    QVERIFY(p.window.phase() == game::Phase::Playing);
    QCOMPARE(p.window.model()[c.nyuuryoku].caption, std::string(1, d));
    QVERIFY(p.window.model()[c.nyuuryoku].visible && p.window.model().clickable(c.okuru));
    QVERIFY(!p.window.model()[c.kotae[1][1]].visible);
    p.key(forms::kBackspace);
    QCOMPARE(p.rules().typed(), std::string());
    // The right answer to the first sum, by its digits and Enter.
    const std::string right = game::numberText(p.rules().shown(1).sum.answer);
    for (const char digit : right)
        p.key(digit);
    p.enter();
    QVERIFY(p.rules().vars().score > score);
    QCOMPARE(p.rules().typed(), std::string());
}

void TestTyped::heardByEar()
{
    Play p("answer=type");
    const ControlId announcer = p.window.controls().shirase;
    forms::FormModel& m = p.window.model();
    const auto heard = [&] {
        std::string said = (m.changes(announcer) & forms::kCaption) ? m[announcer].caption : std::string();
        m.clearChanges();
        return said;
    };
    p.key('1');
    heard();
    const char d = p.harmless();
    p.key(d);
    QCOMPARE(heard(), std::string(1, d));
    p.key(forms::kBackspace);
    QCOMPARE(heard(), std::string("けす"));
    // A right answer names the sum it answered.
    const game::Sum first = p.rules().shown(1).sum;
    for (const char digit : game::numberText(first.answer))
        p.key(digit);
    p.enter();
    const std::string said = heard();
    // (The last digit may have sent it, and is heard first.)
    QVERIFY2(said.find("もんだい1 " + game::spoken::answer(first, first.result()) + " せいかい") != std::string::npos,
             said.c_str());
    // A wrong one names the sum missed and the number typed.
    const char wrong = p.harmless();
    p.key(wrong);
    heard();
    p.enter();
    const std::string missed = heard();
    QVERIFY2(missed.find(game::spoken::sum(p.rules().shown(1).sum)) != std::string::npos ||
                 missed.find(game::spoken::sum(p.rules().shown(2).sum)) != std::string::npos ||
                 missed.find(game::spoken::sum(p.rules().shown(3).sum)) != std::string::npos,
             missed.c_str());
    QVERIFY2(missed.ends_with(std::string(1, wrong) + " ざんねん"), missed.c_str());
    // The pad's keys are named.
    QCOMPARE(m[p.rules().controls().kesu].caption, std::string("けす"));
    QCOMPARE(m[p.rules().controls().okuru].caption, std::string("おくる"));
}

// Enter sends in a typed game wherever the focus is, Space presses the
// button in focus; without the pad both press the focus, and Backspace
// nothing.
void TestTyped::enterSendsOrPressesTheFocus()
{
    Play typed("answer=type");
    typed.key('1');
    const auto& c = typed.rules().controls();
    QCOMPARE(typed.keys.press(c.suuji[3], {Key::Activate, forms::kEnter}).press, c.okuru);
    QCOMPARE(typed.keys.press(c.suuji[3], {Key::Activate}).press, c.suuji[3]);
    QCOMPARE(typed.keys.press(kNoControl, {Key::Character, forms::kBackspace}).press, c.kesu);

    Play chosen("");
    chosen.key('1');
    QCOMPARE(chosen.keys.press(c.kotae[1][1], {Key::Activate, forms::kEnter}).press, c.kotae[1][1]);
    QCOMPARE(chosen.keys.press(kNoControl, {Key::Activate, forms::kEnter}).press, kNoControl);
    QCOMPARE(chosen.keys.press(kNoControl, {Key::Character, forms::kBackspace}).press, kNoControl);
    QCOMPARE(chosen.keys.press(kNoControl, {Key::Character, '0'}).press, kNoControl);
}

void TestTyped::theLink()
{
    const game::Practice typed = game::readPractice("answer=type&course=times:7");
    QVERIFY(typed.typed);
    QVERIFY(typed.leftOut.empty());
    QCOMPARE(game::practiceQuery(typed), std::string("course=times:7&answer=type"));
    QVERIFY(!game::readPractice("course=times:7").typed);
    QVERIFY(game::readPractice("answer=type&course=div:3").typed);  // division that comes out even

    for (const char* link : {"answer=type&course=div:2-9:rem", "course=div:3:any&answer=type"}) {
        const game::Practice p = game::readPractice(link);
        QVERIFY2(!p.typed, link);
        QCOMPARE(p.courses.size(), std::size_t(1));
        QCOMPARE(p.leftOut.size(), std::size_t(1));
        QCOMPARE(p.leftOut[0].part, std::string("answer=type"));
        QVERIFY(game::notice(p).find("answer=type") != std::string::npos);
        QCOMPARE(game::practiceQuery(p).find("answer"), std::string::npos);
    }
    for (const char* link : {"answer=choose", "answer=type&answer=type"}) {
        const game::Practice p = game::readPractice(link);
        QCOMPARE(p.leftOut.size(), std::size_t(1));
    }
    QVERIFY(game::readPractice("answer=type&answer=type").typed);
}

QTEST_GUILESS_MAIN(TestTyped)
#include "test_typed.moc"
