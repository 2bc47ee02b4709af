// The game window on a high-density screen, two device pixels to a window
// pixel (QT_SCALE_FACTOR=2), offscreen: everything lands at twice its
// position, the text is drawn at the screen's own resolution rather than
// enlarged, and the sums fall at the same pace in window pixels.
#include "platform/qt/fonts.h"
#include "window_probe.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <algorithm>
#include <cmath>

using namespace testing;

namespace {

constexpr int kScale = 2;

QRect toDevice(QRect logical)
{
    return QRect(logical.topLeft() * kScale, logical.size() * kScale);
}

// Empty when the window pixel at `logical` shows in `colour` on all four of
// its device pixels; otherwise which device pixel does not.
QString blockDiffers(const QImage& image, QPoint logical, QColor colour)
{
    for (int dy = 0; dy < kScale; ++dy) {
        for (int dx = 0; dx < kScale; ++dx) {
            const QPoint device = logical * kScale + QPoint(dx, dy);
            if (image.pixelColor(device) != colour)
                return QStringLiteral("device pixel (%1, %2) is %3, not %4")
                    .arg(device.x()).arg(device.y()).arg(image.pixelColor(device).name(), colour.name());
        }
    }
    return {};
}

struct Window : GameWindow {
    // The same window drawn for a screen of one device pixel per window pixel.
    QImage grabAtScaleOne()
    {
        view.mirror();
        QImage image(view.size(), QImage::Format_RGB32);
        image.setDevicePixelRatio(1);
        view.render(&image);
        return image;
    }
};

// How a caption's edge was drawn, in the pink-on-white countdown: pixels
// between the two colours are the anti-aliased edge.
bool isEdge(QColor c)
{
    return c.green() > kPink.green() + 8 && c.green() < kWhite.green() - 8;
}

// Aligned 2 x 2 blocks of device pixels that hold some of the caption: how
// many, and how many of them are not one colour. An image enlarged from one
// drawn at scale 1 has every block of one colour.
struct Blocks {
    int inked = 0;
    int mixed = 0;
};

Blocks blocksIn(const QImage& image, QRect area)
{
    Blocks b;
    for (int y = area.top(); y + 1 <= area.bottom(); y += kScale) {
        for (int x = area.left(); x + 1 <= area.right(); x += kScale) {
            const QRgb p[] = {image.pixel(x, y), image.pixel(x + 1, y), image.pixel(x, y + 1), image.pixel(x + 1, y + 1)};
            bool ink = false, mixed = false;
            for (QRgb q : p) {
                ink = ink || q != kWhite.rgb();
                mixed = mixed || q != p[0];
            }
            b.inked += ink;
            b.mixed += mixed;
        }
    }
    return b;
}

// How wide the anti-aliased edge is at an edge pixel: the shorter of the
// runs of edge pixels through it, across and down. Where a letter's side is
// steep the run across is short, where it is flat the run down is.
int edgeWidth(const QImage& image, QRect area, int x, int y)
{
    const auto run = [&](int dx, int dy) {
        int n = 1;
        for (int s : {-1, 1}) {
            for (QPoint p(x + s * dx, y + s * dy); area.contains(p) && isEdge(image.pixelColor(p));
                 p += QPoint(s * dx, s * dy))
                ++n;
        }
        return n;
    };
    return std::min(run(1, 0), run(0, 1));
}

}  // namespace

class TestHighDensity : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void windowIsTwiceTheSizeInDevicePixels();
    void coloursLandAtDoubledPositions();
    void lineAndPanelEdgesAreDoubled();
    void problemFallsAtTheSamePace_data();
    void problemFallsAtTheSamePace();
    void textIsDrawnAtDeviceResolution();
    void countdownEdgesAreThin();
};

void TestHighDensity::initTestCase()
{
    QVERIFY(platform::registerBundledFonts());
    QCOMPARE(qApp->devicePixelRatio(), qreal(kScale));
}

void TestHighDensity::windowIsTwiceTheSizeInDevicePixels()
{
    Window w;
    QCOMPARE(w.view.size(), QSize(612, 491));  // window pixels do not change
    const QImage img = w.grab();
    QCOMPARE(img.devicePixelRatio(), qreal(kScale));
    QCOMPARE(img.size(), QSize(1224, 982));
}

void TestHighDensity::coloursLandAtDoubledPositions()
{
    Window w;
    const QImage img = w.grab();
    // Window pixels away from any edge or text, each four device pixels.
    const struct {
        QPoint at;
        QColor colour;
    } probes[] = {
        {{600, 5}, kWhite},     {{138, 18}, kPeach},      {{306, 18}, kYellow},     {{466, 18}, kCyan},
        {{147, 386}, kPeach},   {{314, 450}, kYellow},    {{474, 418}, kCyan},      {{18, 42}, kGreen},
        {{18, 202}, kGreen},    {{200, 335}, kLavender},  {{200, 336}, kLavender},  {{200, 338}, kWhite},
    };
    for (const auto& probe : probes) {
        const QString differs = blockDiffers(img, probe.at, probe.colour);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }
}

void TestHighDensity::lineAndPanelEdgesAreDoubled()
{
    Window w;
    // A sum across the top of the panel: its part above the panel shows.
    w.form.model().setTop(w.c().mondai[1], 440);  // 352 window pixels
    const QImage img = w.grab();

    // The written sum's line: window rows 335 and 336, below the digits.
    const QRect line = pixelsOf(img, kLavender, QRect(400, 331 * kScale, 2, 20));
    QCOMPARE(line.top(), 335 * kScale);
    QCOMPARE(line.bottom(), 337 * kScale - 1);

    // The sum from its top at 352 down to the panel at 384.
    const QRect shown = pixelsOf(img, kPeach, QRect(138 * kScale, 300 * kScale, 2, 191 * kScale));
    QCOMPARE(shown.top(), 352 * kScale);
    QCOMPARE(shown.bottom(), 384 * kScale - 1);

    // An answer button: its face well inside the frame, and its dark frame,
    // one window pixel wide, two device pixels deep on every side.
    const QRect logical = w.view.widget(w.c().kotae[1][1])->geometry();
    for (QPoint at : {logical.topLeft() + QPoint(3, 3), logical.bottomRight() - QPoint(4, 4)}) {
        const QString differs = blockDiffers(img, at, kPeach);
        QVERIFY2(differs.isEmpty(), qPrintable(differs));
    }
    const QRect button = toDevice(logical);
    const QPoint middle = button.center();
    const QColor frame(0x40, 0x40, 0x40);
    QCOMPARE(img.pixelColor(button.left(), middle.y()), frame);
    QCOMPARE(img.pixelColor(middle.x(), button.top()), frame);
    const QPoint frameInside[] = {{button.left() + 1, middle.y()}, {middle.x(), button.top() + 1},
                                  {button.right(), middle.y()},    {button.right() - 1, middle.y()},
                                  {middle.x(), button.bottom()},   {middle.x(), button.bottom() - 1}};
    bool doubled = true;
    for (QPoint p : frameInside)
        doubled = doubled && img.pixelColor(p) == frame;
    QVERIFY(doubled);
}

void TestHighDensity::problemFallsAtTheSamePace_data()
{
    QTest::addColumn<float>("top");
    QTest::addColumn<int>("pixels");
    QTest::newRow("start") << 19.0f << 15;
    QTest::newRow("fast-drop line") << 300.0f << 240;
    QTest::newRow("past the fast-drop line") << 301.0f << 241;
}

void TestHighDensity::problemFallsAtTheSamePace()
{
    QFETCH(float, top);
    QFETCH(int, pixels);
    Window w;
    w.form.model().setTop(w.c().mondai[1], top);
    const QImage img = w.grab();
    QCOMPARE(w.view.widget(w.c().mondai[1])->y(), pixels);
    QCOMPARE(pixelsOf(img, kPeach, QRect(136 * kScale, 0, 8, 380 * kScale)).top(), pixels * kScale);
}

void TestHighDensity::textIsDrawnAtDeviceResolution()
{
    Window w;
    const QImage sharp = w.grab();
    const QImage enlarged = w.grabAtScaleOne().scaled(sharp.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QCOMPARE(enlarged.size(), sharp.size());

    // In each caption the two drawings differ along the letters' edges, but
    // not much more: the same letters at the same size in the same place.
    for (const QRect& area : {toDevice(w.design(w.c().seigenjikan)), toDevice(w.design(w.c().mondai[2])),
                              toDevice(w.design(w.c().tokuten))}) {
        const QRgb back = sharp.pixel(area.topLeft());
        int differ = 0, ink = 0;
        QRect sharpInk, enlargedInk;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                differ += sharp.pixel(x, y) != enlarged.pixel(x, y);
                if (sharp.pixel(x, y) != back) {
                    ++ink;
                    sharpInk |= QRect(x, y, 1, 1);
                }
                if (enlarged.pixel(x, y) != back)
                    enlargedInk |= QRect(x, y, 1, 1);
            }
        }
        const QString at = QStringLiteral("in (%1, %2): %3 of %4 ink pixels differ")
                               .arg(area.x()).arg(area.y()).arg(differ).arg(ink);
        QVERIFY2(ink > 0, qPrintable(at));
        QVERIFY2(differ * 10 >= ink, qPrintable(at));
        QVERIFY2(differ <= ink, qPrintable(at));
        for (int d : {sharpInk.left() - enlargedInk.left(), sharpInk.top() - enlargedInk.top(),
                      sharpInk.right() - enlargedInk.right(), sharpInk.bottom() - enlargedInk.bottom()})
            QVERIFY2(std::abs(d) <= kScale, qPrintable(at));
    }

    // Enlarged, every 2 x 2 block of device pixels is one colour; drawn for
    // the screen, many of the countdown's blocks are not.
    const QRect countdown = toDevice(w.design(w.c().seigenjikan));
    const Blocks fine = blocksIn(sharp, countdown), coarse = blocksIn(enlarged, countdown);
    QCOMPARE(coarse.mixed, 0);
    QVERIFY2(fine.mixed * 10 >= fine.inked, qPrintable(QStringLiteral("%1 of %2").arg(fine.mixed).arg(fine.inked)));
}

void TestHighDensity::countdownEdgesAreThin()
{
    Window w;
    const QImage img = w.grab();
    const QRect countdown = toDevice(w.design(w.c().seigenjikan));
    QVERIFY(pixelsOf(img, kPink, countdown).height() > 200);
    // The digits' anti-aliased edge is one device pixel wide: not the pairs
    // of pixels of a drawing enlarged twice, nor the wider blur of one
    // enlarged smoothly.
    int edge = 0, thin = 0, widest = 0;
    for (int y = countdown.top(); y <= countdown.bottom(); ++y) {
        for (int x = countdown.left(); x <= countdown.right(); ++x) {
            if (!isEdge(img.pixelColor(x, y)))
                continue;
            const int width = edgeWidth(img, countdown, x, y);
            ++edge;
            thin += width == 1;
            widest = std::max(widest, width);
        }
    }
    QVERIFY2(edge > 1000, qPrintable(QString::number(edge)));
    QVERIFY2(widest <= 2, qPrintable(QStringLiteral("an edge %1 device pixels wide").arg(widest)));
    QVERIFY2(thin * 10 >= edge * 9, qPrintable(QStringLiteral("%1 of %2 edge pixels one pixel wide").arg(thin).arg(edge)));
}

int main(int argc, char** argv)
{
    // Before the application reads it: every screen has two device pixels
    // to a window pixel.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    QApplication app(argc, argv);
    TestHighDensity test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_high_density.moc"
