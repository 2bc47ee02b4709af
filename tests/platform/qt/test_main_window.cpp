// The game window as drawn: checked on the rendered image, offscreen.
#include "platform/qt/control_widgets.h"
#include "platform/qt/fonts.h"
#include "game/form1_table.h"
#include "game/practice.h"
#include "window_probe.h"

#include <QApplication>
#include <QSignalSpy>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <QKeyEvent>
#include <QTest>
#include <cmath>

using forms::ControlId;
using forms::Kind;

using namespace testing;

namespace {

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

using Window = GameWindow;

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void frame();
    void everyControlWhereDesigned();
    void firstFrameColours();
    void firstFrameCaptions();
    void problemAtTopIsDrawnOnThePixelGrid_data();
    void problemAtTopIsDrawnOnThePixelGrid();
    void fallingProblemPassesOverTheCountdown();
    void largeCaptionsAreDrawnAsQtDrawsThem();
    void onlyMovingControlsClaimOpacity();
    void panelHidesAProblemAtTheBottom();
    void buttonsAreNeverCovered();
    void designCaptionsStayInTheirBoxes();
    void verdictIsNotCutByTheCountdown_data();
    void verdictIsNotCutByTheCountdown();
    void everyMessageShowsWholeOnOneLine_data();
    void everyMessageShowsWholeOnOneLine();
    void largeScoresShowWhole();
    void aTeachersSumsAndNamesFitEveryGeometry_data();
    void aTeachersSumsAndNamesFitEveryGeometry();
    void courseChoiceIsMirrored();
    void playedFromTheKeyboard();
    void timersFollowTheModel();
};

void TestMainWindow::initTestCase()
{
    QVERIFY(platform::registerBundledFonts());
}

void TestMainWindow::frame()
{
    Window w;
    QCOMPARE(w.view.windowTitle(), QStringLiteral("ペルモロプラスver.1.0"));
    QCOMPARE(w.view.size(), QSize(612, 491));
    QCOMPARE(w.view.minimumSize(), w.view.maximumSize());
    QVERIFY(!w.view.windowIcon().isNull());
    QCOMPARE(w.view.windowIcon().pixmap(32, 32).size(), QSize(32, 32));
    QCOMPARE(QFontInfo(w.view.widget(w.c().hyouka)->font()).family(), QStringLiteral("BIZ UDGothic"));
    QCOMPARE(w.view.widget(w.c().seigenjikan)->font().pixelSize(), 160);
    QCOMPARE(w.view.widget(w.c().kotae[1][1])->font().pixelSize(), 19);
}

void TestMainWindow::everyControlWhereDesigned()
{
    Window w;
    const forms::FormModel& m = w.form.model();
    int drawn = 0;
    for (ControlId id = 0; id < m.size(); ++id) {
        const auto& d = m.design(id);
        QWidget* widget = w.view.widget(id);
        if (d.kind == Kind::Timer) {
            QVERIFY(!widget);
            continue;
        }
        ++drawn;
        QVERIFY(widget);
        if (d.kind == Kind::Line)
            QCOMPARE(widget->geometry(), QRect(static_cast<int>(d.rect.left) - 1, 335, static_cast<int>(d.rect.width) + 2, 2));
        else
            QCOMPARE(widget->geometry(), designRect(d));
    }
    // The design's, the toggles and the pause's, the look back's, the
    // result card's, the announcer, the number pad of a typed game.
    QCOMPARE(drawn, 44 + 4 + 14 + 14 + 1 + 13);
}

void TestMainWindow::firstFrameColours()
{
    Window w;
    const QImage img = w.grab();
    // Probes away from text.
    const struct {
        QPoint at;
        QColor colour;
    } probes[] = {
        {{600, 5}, kWhite},        {{138, 18}, kPeach},     {{306, 18}, kYellow}, {{466, 18}, kCyan},
        {{147, 386}, kPeach},      {{314, 450}, kYellow},   {{474, 418}, kCyan},  {{18, 42}, kGreen},
        {{18, 202}, kGreen},       {{200, 336}, kLavender}, {{200, 335}, kLavender}, {{200, 338}, kWhite},
        {{590, 470}, kWhite},      {{440, 470}, kWhite},
    };
    for (const auto& probe : probes)
        QVERIFY2(img.pixelColor(probe.at) == probe.colour,
                 qPrintable(QStringLiteral("(%1, %2) is %3").arg(probe.at.x()).arg(probe.at.y()).arg(img.pixelColor(probe.at).name())));
    // Text colours, somewhere within each control.
    QVERIFY(!pixelsOf(img, kPink, designRect(w.form.model().design(w.c().seigenjikan))).isEmpty());
    QVERIFY(!pixelsOf(img, kOrange, designRect(w.form.model().design(w.c().tokuten))).isEmpty());
    QVERIFY(!pixelsOf(img, kBlue, designRect(w.form.model().design(w.c().mondai[2]))).isEmpty());
    QVERIFY(!pixelsOf(img, kLavender, designRect(w.form.model().design(w.c().hissan[3][1]))).isEmpty());
    // The evaluation and record are empty: no orange or red there.
    QVERIFY(pixelsOf(img, kOrange, designRect(w.form.model().design(w.c().hyouka)), 40).isEmpty());
    QVERIFY(pixelsOf(img, QColor(0xFF, 0, 0), designRect(w.form.model().design(w.c().kirokuhyouji)), 40).isEmpty());
}

void TestMainWindow::firstFrameCaptions()
{
    Window w;
    const auto text = [&](ControlId id) {
        if (auto* b = qobject_cast<QAbstractButton*>(w.view.widget(id)))
            return b->text();
        return static_cast<platform::ControlView*>(w.view.widget(id))->caption();
    };
    QCOMPARE(text(w.c().tokuten), QStringLiteral("0"));
    QCOMPARE(text(w.c().seigenjikan), QStringLiteral("60"));
    QCOMPARE(text(w.c().hyouka), QString());
    QCOMPARE(text(w.c().kirokuhyouji), QString());
    for (int n = 1; n <= 3; ++n) {
        QCOMPARE(text(w.c().mondai[n]), QStringLiteral("問題") + QChar(0xFF10 + n));
        QCOMPARE(text(w.c().kigou[n]), QStringLiteral("Label5"));
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(text(w.c().kotae[n][k]), QStringLiteral("答え") + QChar(0xFF10 + n));
            QVERIFY(!w.view.widget(w.c().kotae[n][k])->isEnabled());
        }
    }
    const char* courses[] = {"か め", "うさぎ", "ね こ", "い ぬ", "らいおん", "ぞ う"};
    for (int k = 1; k <= 6; ++k) {
        QCOMPARE(text(w.c().rebel[k]), QString::fromUtf8(courses[k - 1]));
        QVERIFY(w.view.widget(w.c().rebel[k])->isEnabled());
    }
}

void TestMainWindow::problemAtTopIsDrawnOnThePixelGrid_data()
{
    QTest::addColumn<float>("top");
    QTest::addColumn<int>("pixels");
    QTest::newRow("start") << 19.0f << 15;
    QTest::newRow("fast-drop line") << 300.0f << 240;
    QTest::newRow("past the fast-drop line") << 301.0f << 241;
    QTest::newRow("bottom line") << 500.0f << 400;
    QTest::newRow("replaced") << 501.0f << 401;
}

void TestMainWindow::problemAtTopIsDrawnOnThePixelGrid()
{
    QFETCH(float, top);
    QFETCH(int, pixels);
    Window w;
    w.form.model().setTop(w.c().mondai[1], top);
    const QImage img = w.grab();
    QCOMPARE(w.view.widget(w.c().mondai[1])->y(), pixels);
    QCOMPARE(static_cast<float>(w.form.model()[w.c().mondai[1]].top), top);  // the model keeps the exact value
    if (pixels < 384 - 33)
        QCOMPARE(pixelsOf(img, kPeach, QRect(136, 0, 4, 380)).top(), pixels);
}

void TestMainWindow::fallingProblemPassesOverTheCountdown()
{
    Window w;
    w.form.model().setTop(w.c().mondai[2], 150);  // 120 pixels: across the countdown's digits
    w.form.model().setTop(w.c().mondai[1], 330);  // across the upper written number
    const QImage img = w.grab();
    const QRect problem2 = w.view.widget(w.c().mondai[2])->geometry();
    QVERIFY(problem2.intersects(w.view.widget(w.c().seigenjikan)->geometry()));
    QVERIFY(pixelsOf(img, kPink, problem2).isEmpty());
    QVERIFY(!pixelsOf(img, kYellow, problem2).isEmpty());
    const QRect problem1 = w.view.widget(w.c().mondai[1])->geometry();
    QVERIFY(problem1.intersects(w.view.widget(w.c().hissan[1][1])->geometry()));
    QVERIFY(pixelsOf(img, kLavender, problem1).isEmpty());
}

void TestMainWindow::largeCaptionsAreDrawnAsQtDrawsThem()
{
    // The countdown draws its digits from a picture it keeps: every change
    // of caption or colour must show, as Qt draws them directly.
    Window w;
    const ControlId countdown = w.c().seigenjikan;
    QWidget* label = w.view.widget(countdown);
    const struct {
        const char* caption;
        forms::Colour colour;
    } steps[] = {{"60", forms::colours::pink}, {"7", forms::colours::pink}, {"7", forms::colours::blue}};
    for (const auto& step : steps) {
        w.form.model().setCaption(countdown, step.caption);
        w.form.model().setFore(countdown, step.colour);
        w.view.mirror();
        QImage shown(label->size(), QImage::Format_RGB32);
        shown.fill(Qt::white);
        label->render(&shown, QPoint(), QRegion(), QWidget::DrawChildren);

        QImage direct(label->size(), QImage::Format_RGB32);
        direct.fill(Qt::white);
        QPainter p(&direct);
        p.setFont(label->font());
        p.setPen(QColor::fromRgb(step.colour.rgb));
        const QStaticText text(QString::fromLatin1(step.caption));
        p.drawStaticText((label->width() - label->fontMetrics().horizontalAdvance(text.text())) / 2, 0, text);
        p.end();

        QVERIFY(!pixelsOf(shown, QColor::fromRgb(step.colour.rgb), shown.rect()).isEmpty());
        int worst = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                const QColor a = shown.pixelColor(x, y), b = direct.pixelColor(x, y);
                worst = std::max({worst, std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                  std::abs(a.blue() - b.blue())});
            }
        }
        QVERIFY2(worst <= 2, qPrintable(QStringLiteral("%1: off by %2").arg(text.text()).arg(worst)));
    }
}

void TestMainWindow::onlyMovingControlsClaimOpacity()
{
    // Qt works out the region of the opaque controls afresh after every
    // move; a window whose still controls claim none keeps that cheap. The
    // falling sums claim it once they move, so that they move by copying
    // their pixels.
    Window w;
    const auto claims = [&w](ControlId id) {
        QWidget* widget = w.view.widget(id);
        return widget && widget->testAttribute(Qt::WA_OpaquePaintEvent);
    };
    w.grab();
    for (ControlId id = 0; id < w.form.model().size(); ++id)
        QVERIFY2(!claims(id), w.form.model().design(id).name.data());
    w.form.rebelClick(1);
    w.form.model().setTop(w.c().mondai[2], 150);
    w.grab();
    for (ControlId id = 0; id < w.form.model().size(); ++id) {
        const bool falls = id == w.c().mondai[1] || id == w.c().mondai[2] || id == w.c().mondai[3];
        QVERIFY2(claims(id) == falls, w.form.model().design(id).name.data());
    }
}

void TestMainWindow::panelHidesAProblemAtTheBottom()
{
    Window w;
    for (int n = 1; n <= 3; ++n)
        w.form.model().setTop(w.c().mondai[n], 500);
    QImage img = w.grab();
    // Where a label shows beside the buttons, at its left edge, the panel is white.
    for (int n = 1; n <= 3; ++n) {
        const QRect label = w.view.widget(w.c().mondai[n])->geometry();
        QVERIFY(label.top() >= 384 && label.bottom() <= 480);
        QVERIFY2(pixelsOf(img, kBlue, label, 60).isEmpty(), "problem text shows through the panel");
    }
    QCOMPARE(img.pixelColor(138, 410), kWhite);
    QCOMPARE(img.pixelColor(306, 410), kWhite);

    // Partly hidden from 438 units on: the part above the panel shows.
    w.form.model().setTop(w.c().mondai[1], 440);
    img = w.grab();
    const QRect shown = pixelsOf(img, kPeach, QRect(136, 300, 8, 191));
    QCOMPARE(shown.top(), w.view.widget(w.c().mondai[1])->y());
    QCOMPARE(shown.bottom(), 383);
}

void TestMainWindow::buttonsAreNeverCovered()
{
    Window w;
    w.form.rebelClick(1);
    for (int n = 1; n <= 3; ++n)
        w.form.model().setTop(w.c().mondai[n], 485);  // level with the answer buttons
    const QImage img = w.grab();
    for (int n = 1; n <= 3; ++n) {
        for (int k = 1; k <= 3; ++k) {
            const QRect b = w.view.widget(w.c().kotae[n][k])->geometry();
            const QColor colour = n == 1 ? kPeach : n == 2 ? kYellow : kCyan;
            QCOMPARE(img.pixelColor(b.left() + 3, b.top() + 3), colour);
            QCOMPARE(img.pixelColor(b.right() - 3, b.bottom() - 3), colour);
        }
    }
}

void TestMainWindow::designCaptionsStayInTheirBoxes()
{
    // The resting screen shows "Label5" in the number and sign labels, each
    // cut at its own box: no lavender ink outside them but the bars.
    Window w;
    const QImage img = w.grab();
    QRegion allowed;
    for (int n = 1; n <= 3; ++n) {
        allowed += w.design(w.c().kigou[n]);
        allowed += w.design(w.c().hissan[n][1]);
        allowed += w.design(w.c().hissan[n][2]);
    }
    allowed += QRect(0, 334, 612, 4);  // the bars under the sums
    int outside = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor p = img.pixelColor(x, y);
            // Lavender ink, also antialiased on white.
            if (p.blue() == 0xFF && p.red() == p.green() && p.red() >= 0xC0 && p.red() < 0xFF &&
                !allowed.contains(QPoint(x, y)))
                ++outside;
        }
    }
    QCOMPARE(outside, 0);
    QVERIFY(!pixelsOf(img, kLavender, w.design(w.c().kigou[1])).isEmpty());
}

void TestMainWindow::verdictIsNotCutByTheCountdown_data()
{
    QTest::addColumn<int>("score");
    for (int score = 0; score <= 100; score += 10)
        QTest::addRow("%d", score) << score;
}

void TestMainWindow::verdictIsNotCutByTheCountdown()
{
    // The countdown's box reaches down over the verdict's top rows (208 to
    // 216): there the window shows the verdict as the label draws it alone,
    // but for the countdown's own strokes.
    QFETCH(int, score);
    Window w;
    w.form.model().setCaption(w.c().seigenjikan, "0");
    const QImage withoutVerdict = w.grab();
    w.form.model().setCaption(w.c().hyouka, game::evaluation(static_cast<game::Integer>(score)));
    const QImage window = w.grab();
    QWidget* label = w.view.widget(w.c().hyouka);
    const QImage alone = label->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int compared = 0, differing = 0;
    for (int y = 208; y <= 216; ++y) {
        for (int x = label->x(); x <= label->geometry().right(); ++x) {
            // The countdown's ink, and the faint edges of its strokes that
            // vanish on white but tint the verdict's ink.
            bool countdown = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    countdown = countdown || withoutVerdict.pixelColor(x + dx, y + dy) != kWhite;
            if (countdown)
                continue;
            ++compared;
            differing += window.pixelColor(x, y) != alone.pixelColor(x - label->x(), y - label->y());
        }
    }
    QVERIFY(compared > label->width() * 8);
    QCOMPARE(differing, 0);
}

void TestMainWindow::everyMessageShowsWholeOnOneLine_data()
{
    QTest::addColumn<int>("score");
    for (int score = 0; score <= 100; score += 10)
        QTest::addRow("%d", score) << score;
}

void TestMainWindow::everyMessageShowsWholeOnOneLine()
{
    QFETCH(int, score);
    Window w;
    const QString message = qs(game::evaluation(static_cast<game::Integer>(score)));
    w.form.model().setCaption(w.c().hyouka, game::evaluation(static_cast<game::Integer>(score)));
    const QImage img = w.grab();
    QWidget* label = w.view.widget(w.c().hyouka);
    const int advance = label->fontMetrics().horizontalAdvance(message);
    QVERIFY(label->width() >= advance);
    QVERIFY(label->geometry().left() >= 0 && label->geometry().right() < 612);
    // The ink: one line, centred on the label's design centre, inside the window.
    const QRect ink = pixelsOf(img, kOrange, QRect(0, 200, 612, 60), 90);
    QVERIFY(!ink.isEmpty());
    QVERIFY2(ink.height() <= 34, qPrintable(QString::number(ink.height())));
    QVERIFY2(std::abs((ink.left() + ink.right()) / 2.0 - 360.5) <= advance * 0.05 + 3,
             qPrintable(QStringLiteral("ink %1..%2").arg(ink.left()).arg(ink.right())));
    QVERIFY(ink.width() >= advance * 0.85);
}

void TestMainWindow::largeScoresShowWhole()
{
    Window w;
    for (const char* score : {"1080", "32767"}) {
        w.form.model().setCaption(w.c().tokuten, score);
        w.form.model().setCaption(w.c().kirokuhyouji, score);
        const QImage img = w.grab();
        for (ControlId id : {w.c().tokuten, w.c().kirokuhyouji}) {
            QWidget* label = w.view.widget(id);
            QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(QString::fromLatin1(score)));
            QVERIFY(label->x() >= 0 && label->geometry().right() < 612);
        }
        // Nothing of the score is cut at the window's left edge.
        QVERIFY(pixelsOf(img, kOrange, QRect(0, 256, 1, 89), 90).isEmpty());
    }
}

void TestMainWindow::aTeachersSumsAndNamesFitEveryGeometry_data()
{
    QTest::addColumn<int>("geometry");  // -1: the design's
    QTest::newRow("design") << -1;
    QTest::newRow("portrait") << 0;
    QTest::newRow("tablet") << 1;
    QTest::newRow("low") << 2;
}

// The widest sums of a teacher's courses, their answers, written
// calculations and course names, measured in the bundled font at the size
// each geometry gives: all fit their boxes (a button keeps its edges clear).
void TestMainWindow::aTeachersSumsAndNamesFitEveryGeometry()
{
    QFETCH(int, geometry);
    const forms::WindowSpec& spec = game::form1Table();
    const forms::Layout layout(spec, geometry < 0 ? nullptr : &spec.geometries[static_cast<std::size_t>(geometry)]);
    const auto widest = [&](const char* control, int index, std::initializer_list<std::string> captions) {
        const ControlId id = spec.find(control, index);
        const auto& d = spec.controls[static_cast<std::size_t>(id)];
        const QFontMetrics metrics(platform::controlFont(d.font, layout.fontPixels(id)));
        const int room = static_cast<int>(layout.box(id).width) - (d.kind == Kind::Button ? 4 : 0);
        for (const std::string& caption : captions) {
            const int width = metrics.horizontalAdvance(qs(caption));
            QVERIFY2(width <= room, qPrintable(QString("%1 in %2: %3 > %4").arg(qs(caption), control).arg(width).arg(room)));
        }
    };
    std::vector<std::string> names;
    for (const char* link : {"times:2,5", "times:2-5", "times:1-9", "times:1,3,5", "div:7", "div:2-5", "div:2,9",
                             "add:1-9:carry", "add:1-9:nocarry", "sub:10-99:borrow", "sub:10-99:noborrow",
                             "times:2-5:down", "times:1-9:up", "times:2,8:up", "div:2,9:rem", "div:2-9:rem", "div:8:any",
                             "make:10", "make:12-20", "three:1-9", "three:1-9:add", "three:1-9:sub"})
        names.push_back(game::shortName(game::readPractice(std::string("course=") + link).courses.at(0)));
    for (int n = 1; n <= 3; ++n) {
        widest("mondai", n, {"99 + 99", "99 - 99", "81 ÷ 9", "72 ÷ 8", "9 × 9", "18 - 9"});
        widest(n == 1 ? "hissan1" : n == 2 ? "hissan2" : "hissan3", 1, {"99", "81"});
        widest(n == 1 ? "kigou1" : n == 2 ? "kigou2" : "kigou3", -1, {"×", "÷", "+", "-"});
        widest(n == 1 ? "kotae1" : n == 2 ? "kotae2" : "kotae3", 3, {"208", "198", "0", "297", "8あまり17", "9あまり8"});
        // The longest sums are set in smaller type to fit: whole, and still
        // at least two thirds of the size the geometry gives.
        const ControlId mondai = spec.find("mondai", n);
        const auto& d = spec.controls[static_cast<std::size_t>(mondai)];
        for (const char* sum : {"20は 19と□", "99 + 99 - 99", "10は 3と□", "45 - 38 + 27"}) {
            QFont type = platform::controlFont(d.font, layout.fontPixels(mondai));
            const int pixels = layout.fittedPixels(mondai, QFontMetrics(type).horizontalAdvance(qs(sum)));
            type.setPixelSize(pixels);
            const int width = QFontMetrics(type).horizontalAdvance(qs(sum));
            QVERIFY2(width <= layout.box(mondai).width + 1 && pixels * 3 >= layout.fontPixels(mondai) * 2,
                     qPrintable(QString("%1: %2 px at %3").arg(sum).arg(width).arg(pixels)));
        }
    }
    names.push_back("くりあがり2");  // named alike in one link: numbered
    for (const char* link : {"times:1,3,5,7,9", "times:1,2,4,5,7,8", "times:1,3,5:down"})
        names.push_back(game::shortName(game::readPractice(std::string("course=") + link).courses.at(0)));
    // A name of up to five characters fits the course button as designed; a
    // longer one in type at least four fifths of the size.
    for (int k = 1; k <= 6; ++k) {
        const ControlId id = spec.find("rebel", k);
        const auto& d = spec.controls[static_cast<std::size_t>(id)];
        QFont type = platform::controlFont(d.font, layout.fontPixels(id));
        for (const std::string& name : names) {
            type.setPixelSize(layout.fontPixels(id));
            const int pixels = layout.fittedPixels(id, QFontMetrics(type).horizontalAdvance(qs(name)));
            type.setPixelSize(pixels);
            QVERIFY2(QFontMetrics(type).horizontalAdvance(qs(name)) <= layout.box(id).width - 4 + 1 &&
                         pixels * 5 >= layout.fontPixels(id) * 4,
                     qPrintable(QString("%1 at %2 px").arg(qs(name)).arg(pixels)));
        }
    }
    // A game of ten minutes shows its seconds whole, inside the window.
    const ControlId countdown = spec.find("seigenjikan");
    const QFontMetrics big(platform::controlFont(spec.controls[static_cast<std::size_t>(countdown)].font, layout.fontPixels(countdown)));
    const forms::CaptionRoom room = layout.captionRoom(countdown, big.horizontalAdvance(QStringLiteral("600")));
    QVERIFY(!room.cut && room.left >= 0 && room.left + room.width <= layout.width());
}

void TestMainWindow::courseChoiceIsMirrored()
{
    Window w;
    QTest::mouseClick(w.view.widget(w.c().rebel[2]), Qt::LeftButton);
    QCOMPARE(w.form.vars().level, 2);
    const QImage img = w.grab();
    for (int k = 1; k <= 6; ++k)
        QCOMPARE(w.view.widget(w.c().rebel[k])->isVisibleTo(&w.view), k == 2);
    QVERIFY(!w.view.widget(w.c().rebel[2])->isEnabled());
    QCOMPARE(img.pixelColor(18, 74), kGreen);
    QCOMPARE(img.pixelColor(18, 42), kWhite);  // a hidden course button leaves the window white
    // A click on the disabled course button changes nothing.
    QTest::mouseClick(w.view.widget(w.c().rebel[2]), Qt::LeftButton);
    QCOMPARE(w.random.reseeds(), 1 + 1 + 15);
    for (int n = 1; n <= 3; ++n)
        QVERIFY(w.view.widget(w.c().kotae[n][1])->isEnabled());
}

void TestMainWindow::playedFromTheKeyboard()
{
    Window w;
    w.view.show();
    QApplication::setActiveWindow(&w.view);
    QVERIFY(QTest::qWaitForWindowActive(&w.view));
    const auto key = [](Qt::Key k) { QTest::keyClick(static_cast<QWidget*>(nullptr), k); };
    const auto ringOn = [&](ControlId id) {
        const QRect r = w.view.widget(id)->geometry();
        return w.grab().pixelColor(r.left() + 3, r.center().y()) == Qt::black;
    };
    QVERIFY(!ringOn(w.c().rebel[1]));  // no ring before the keyboard is used

    key(Qt::Key_Tab);
    QVERIFY(w.view.widget(w.c().rebel[1])->hasFocus());
    QVERIFY(ringOn(w.c().rebel[1]));
    key(Qt::Key_Down);
    key(Qt::Key_Space);  // course 2, and the focus passes to the first answer
    QCOMPARE(w.form.vars().level, 2);
    QVERIFY(w.view.widget(w.c().kotae[1][1])->hasFocus());
    QVERIFY(ringOn(w.c().kotae[1][1]));

    // 8 presses the top answer of problem 2, once however long it is held.
    const bool right = game::captionValue(w.form.model()[w.c().kotae[2][1]].caption) == w.form.vars().answer[2];
    QKeyEvent held(QEvent::KeyPress, Qt::Key_8, Qt::NoModifier, QStringLiteral("8"), true);
    QApplication::sendEvent(w.view.focusWidget(), &held);
    QCOMPARE(w.form.vars().score, 0);
    key(Qt::Key_8);
    QCOMPARE(w.form.vars().score, right ? 2 : 0);

    // The mouse hides the ring again.
    QTest::mouseClick(w.view.widget(w.c().kotae[3][3]), Qt::LeftButton);
    QVERIFY(!ringOn(w.c().kotae[1][1]));
}

void TestMainWindow::timersFollowTheModel()
{
    Window w;
    const forms::TimerSchedule& schedule = w.view.schedule();
    QCOMPARE(schedule.nextDue(), std::nullopt);
    // A click through the widget starts the game and all four timers, each
    // due an interval after the click (read on a clock that may move on
    // during it, as on a loaded machine).
    const std::int64_t before = w.view.now();
    QTest::mouseClick(w.view.widget(w.c().rebel[1]), Qt::LeftButton);
    const std::int64_t clicked = w.view.now();
    for (int t = 1; t <= 4; ++t) {
        const auto due = schedule.due(w.c().timer[t]);
        QVERIFY(due.has_value());
        QVERIFY(*due - before >= w.form.model()[w.c().timer[t]].interval - 1);
        QVERIFY(*due - clicked <= w.form.model()[w.c().timer[t]].interval);
    }
    // The window wakes for the earliest of them.
    const std::int64_t wake = *schedule.nextDue() - clicked;
    QVERIFY(wake <= 30);

    // Ticks delivered through the window move the model and reach the widgets.
    QSignalSpy ticks(&w.view, &platform::QtWindow::ticked);
    QVERIFY(ticks.wait(1000));
    QVERIFY(w.form.model()[w.c().mondai[1]].top > 19 || w.form.model()[w.c().mondai[2]].top > 19 ||
            w.form.model()[w.c().mondai[3]].top > 19);

    // Disabling a timer in the model takes it off the schedule.
    w.form.model().setEnabled(w.c().timer[4], false);
    w.view.mirror();
    QCOMPARE(schedule.due(w.c().timer[4]), std::nullopt);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_main_window.moc"
