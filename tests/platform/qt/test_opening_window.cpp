// The opening window as drawn, offscreen: the covers hide exactly what the
// sequence uncovers.
#include "game/cright.h"
#include "platform/qt/control_widgets.h"
#include "platform/qt/qt_window.h"

#include <QApplication>
#include <QTest>
#include <array>

using game::Cright;

namespace {

QRect boxOf(const Cright& c, forms::ControlId id)
{
    const auto& r = c.model().design(id).rect;
    return QRect(static_cast<int>(std::lround(r.left)), static_cast<int>(std::lround(r.top)),
                 static_cast<int>(std::lround(r.width)), static_cast<int>(std::lround(r.height)));
}

QImage grab(platform::QtWindow& view)
{
    view.mirror();
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels of `area` that differ between two images.
int differences(const QImage& a, const QImage& b, QRect area)
{
    int count = 0;
    area &= a.rect() & b.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    }
    return count;
}

bool allWhite(const QImage& img, QRect area)
{
    area &= img.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (img.pixel(x, y) != qRgb(255, 255, 255))
                return false;
        }
    }
    return true;
}

}  // namespace

class TestOpeningWindow : public QObject {
    Q_OBJECT

private slots:
    void frame();
    void afterLoadTheCoversHideTheBackground();
    void afterTheLastStepThePictureIsWhole();
    void aPictureThatCannotBeDecodedShowsItsBox();
};

void TestOpeningWindow::frame()
{
    Cright cright({});
    platform::QtWindow view(cright);
    QCOMPARE(view.windowTitle(), QStringLiteral("オープニング"));
    QCOMPARE(view.size(), QSize(426, 222));
    QVERIFY(view.windowFlags() & Qt::Tool);
    QVERIFY(!view.windowIcon().isNull());
    // The sequence runs from the load: its first tick is 50 ms after it
    // (the load came between the window's clock starting and now, however
    // busy the machine).
    const auto due = view.schedule().due(cright.timer1());
    QVERIFY(due.has_value());
    QVERIFY2(*due >= 50 && *due <= view.now() + 50, qPrintable(QString("%1 at %2").arg(*due).arg(view.now())));
}

void TestOpeningWindow::afterLoadTheCoversHideTheBackground()
{
    Cright cright({});
    platform::QtWindow view(cright);
    const QImage img = grab(view);
    const QImage background = QImage(":/opening/haikei.gif").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(background.size(), QSize(425, 225));

    // Covers show white; everything outside them is the background picture.
    QImage expected = background.copy(0, 0, 426, 222);
    for (int x = 425; x < 426; ++x) {
        for (int y = 0; y < 222; ++y)
            expected.setPixel(x, y, qRgb(255, 255, 255));
    }
    QRegion covered(boxOf(cright, cright.topCover()));
    for (int k = 0; k < Cright::kFrames; ++k)
        covered += boxOf(cright, cright.cover(k));
    for (const QRect& r : covered) {
        QVERIFY(allWhite(img, r));
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x)
                expected.setPixel(x, y, qRgb(255, 255, 255));
        }
    }
    QCOMPARE(differences(img, expected, img.rect()), 0);
    // There is something to uncover: the title strip is not blank.
    QVERIFY(!allWhite(background, boxOf(cright, cright.topCover())));
}

void TestOpeningWindow::afterTheLastStepThePictureIsWhole()
{
    Cright cright({});
    platform::QtWindow view(cright);
    for (int tick = 1; tick <= 12; ++tick)
        cright.tick(cright.timer1());
    const QImage img = grab(view);
    const QImage background = QImage(":/opening/haikei.gif").convertToFormat(QImage::Format_RGB32);
    const QImage frame11 = QImage(":/opening/frame11.gif").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(frame11.size(), QSize(64, 64));

    const QRect sprite = boxOf(cright, cright.sprite(11));
    QImage expected = background.copy(0, 0, 426, 222);
    for (int y = 0; y < 222; ++y) {
        for (int x = 0; x < 426; ++x) {
            if (x >= 425)
                expected.setPixel(x, y, qRgb(255, 255, 255));
            if (sprite.contains(x, y)) {
                const QPoint in(x - sprite.left(), y - sprite.top());
                expected.setPixel(x, y, frame11.rect().contains(in) ? frame11.pixel(in) : qRgb(255, 255, 255));
            }
        }
    }
    QCOMPARE(differences(img, expected, img.rect()), 0);
}

void TestOpeningWindow::aPictureThatCannotBeDecodedShowsItsBox()
{
    forms::ControlSpec spec{};
    spec.name = "Picture8";
    spec.kind = forms::Kind::Picture;
    spec.rect = {0, 0, 20, 10};
    spec.back = forms::Colour::fixed(0x336699);
    spec.picture = ":/opening/missing.gif";
    const std::array controls{spec};
    const forms::WindowSpec table{
        .name = "test", .caption = "", .clientWidth = 40, .clientHeight = 40, .icon = "", .controls = controls};
    const forms::Layout layout(table);
    QWidget window;
    window.resize(40, 40);
    platform::ControlView view(layout, 0, spec, &window);
    const QImage img = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(img.size(), QSize(20, 10));
    QCOMPARE(img.pixel(0, 0), qRgb(0x33, 0x66, 0x99));
    QCOMPARE(img.pixel(19, 9), qRgb(0x33, 0x66, 0x99));
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestOpeningWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_opening_window.moc"
