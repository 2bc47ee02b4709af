// The game window's other geometries, for phones and tablets: every control
// placed once and inside the window, buttons a finger can hit that never
// overlap, text no smaller than the design would show on the same screen,
// and the falling sums keeping the design's thresholds on their new paths.
#include "game/form1_table.h"
#include "forms/layout.h"

#include <QTest>
#include <cmath>
#include <set>

using forms::ControlId;
using forms::Geometry;
using forms::Kind;
using forms::Layout;
using forms::Rect;

namespace {

const forms::WindowSpec& spec()
{
    return game::form1Table();
}

QString nameOf(ControlId id)
{
    const auto& c = spec().controls[static_cast<std::size_t>(id)];
    return QString::fromUtf8(c.name.data(), static_cast<qsizetype>(c.name.size())) + QString::number(c.index);
}

bool overlap(const Rect& a, const Rect& b)
{
    return a.left < b.left + b.width && b.left < a.left + a.width && a.top < b.top + b.height &&
           b.top < a.top + a.height;
}

// Buttons that are never shown at once may share a place: the answers; the
// pause's button, shown only in a paused game, while the answers are
// hidden; the buttons of the list of missed sums, shown only after a game,
// while the answers are hidden too; the number pad, shown only in a typed
// game, without the answers, and hidden by a pause and by the list.
bool shownTogether(ControlId a, ControlId b)
{
    const auto when = [](ControlId id) {
        const std::string_view name = spec().controls[static_cast<std::size_t>(id)].name;
        if (name.starts_with("kotae"))
            return 1;
        if (name == "tsuzukeru")
            return 2;
        if (name == "mouichido" || name == "tojiru" || name == "mae" || name == "tsugi")
            return 3;
        if (name == "bangou" || name == "kekkatojiru")
            return 4;
        if (name == "suuji" || name == "kesu" || name == "okuru")
            return 5;
        return 0;
    };
    return when(a) == 0 || when(b) == 0 || when(a) == when(b);
}

}  // namespace

class TestGeometries : public QObject {
    Q_OBJECT

private slots:
    void everyControlPlacedOnceInside_data();
    void everyControlPlacedOnceInside();
    void geometryForTheScreen_data();
    void geometryForTheScreen();
    void textNoSmallerThanTheDesignsOnAPhone();
    void sumsPassBehindThePanelAsDesigned_data();
    void sumsPassBehindThePanelAsDesigned();
};

void TestGeometries::everyControlPlacedOnceInside_data()
{
    QTest::addColumn<int>("geometry");
    QTest::addColumn<int>("smallestButton");  // pixels of the geometry, both ways
    QTest::newRow("portrait") << 0 << 44;
    QTest::newRow("tablet") << 1 << 44;
    QTest::newRow("low") << 2 << 32;
    QCOMPARE(spec().geometries.size(), std::size_t{3});
}

void TestGeometries::everyControlPlacedOnceInside()
{
    QFETCH(int, geometry);
    QFETCH(int, smallestButton);
    const Geometry& g = spec().geometries[static_cast<std::size_t>(geometry)];
    std::multiset<ControlId> placed;
    for (const auto& p : g.placements) {
        const ControlId id = spec().find(p.control, p.index);
        QVERIFY2(id != forms::kNoControl, qPrintable(QString::fromUtf8(p.control.data(), p.control.size())));
        placed.insert(id);
    }
    const Layout layout(spec(), &g);
    std::vector<ControlId> buttons;
    for (ControlId id = 0; id < static_cast<ControlId>(spec().controls.size()); ++id) {
        const auto& c = spec().controls[static_cast<std::size_t>(id)];
        if (c.kind == Kind::Timer) {
            QCOMPARE(placed.count(id), std::size_t{0});
            continue;
        }
        QVERIFY2(placed.count(id) == 1, qPrintable(nameOf(id) + " is not placed exactly once"));
        const Rect& r = layout.box(id);
        QVERIFY2(r.left >= 0 && r.top >= 0 && r.left + r.width <= g.width && r.top + r.height <= g.height,
                 qPrintable(nameOf(id) + " leaves the window"));
        if (c.kind == Kind::Button) {
            QVERIFY2(r.width >= smallestButton && r.height >= smallestButton, qPrintable(nameOf(id) + " is too small"));
            buttons.push_back(id);
        }
    }
    for (ControlId a : buttons) {
        for (ControlId b : buttons) {
            if (a < b && shownTogether(a, b))
                QVERIFY2(!overlap(layout.box(a), layout.box(b)), qPrintable(nameOf(a) + " overlaps " + nameOf(b)));
        }
    }
}

void TestGeometries::geometryForTheScreen_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<QString>("geometry");
    const struct {
        int w, h;
        const char* name;
    } rows[] = {{360, 640, "portrait"}, {375, 667, "portrait"}, {390, 844, "portrait"}, {412, 915, "portrait"},
                {768, 1024, "tablet"},  {834, 1194, "tablet"},  {1024, 768, "design"},  {1280, 720, "design"},
                {612, 491, "design"},   {640, 360, "low"},      {844, 390, "low"},      {915, 412, "low"},
                {479, 479, "low"},      {0, 0, "design"}};
    for (const auto& r : rows)
        QTest::addRow("%d x %d", r.w, r.h) << r.w << r.h << QString(r.name);
}

void TestGeometries::geometryForTheScreen()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(QString, geometry);
    const Geometry* g = spec().geometryFor(width, height);
    QCOMPARE(g ? QString::fromUtf8(g->name.data(), static_cast<qsizetype>(g->name.size())) : QString("design"), geometry);
}

// On a phone held upright (360 x 640) the design would be drawn at
// 360 / 612 of its size: no caption of the upright geometry is smaller.
void TestGeometries::textNoSmallerThanTheDesignsOnAPhone()
{
    const Layout design(spec());
    const Layout upright(spec(), spec().geometryFor(360, 640));
    const double scale = std::min(360.0 / spec().clientWidth, 640.0 / spec().clientHeight);
    for (ControlId id = 0; id < static_cast<ControlId>(spec().controls.size()); ++id) {
        if (spec().controls[static_cast<std::size_t>(id)].font.points > 0)
            QVERIFY2(upright.fontPixels(id) >= design.fontPixels(id) * scale, qPrintable(nameOf(id)));
    }
}

void TestGeometries::sumsPassBehindThePanelAsDesigned_data()
{
    QTest::addColumn<int>("geometry");  // -1: the design
    QTest::newRow("design") << -1;
    QTest::newRow("portrait") << 0;
    QTest::newRow("tablet") << 1;
    QTest::newRow("low") << 2;
}

void TestGeometries::sumsPassBehindThePanelAsDesigned()
{
    QFETCH(int, geometry);
    const Layout l(spec(), geometry < 0 ? nullptr : &spec().geometries[static_cast<std::size_t>(geometry)]);
    const Rect& panel = l.box(spec().find("Shape1"));
    for (int n = 1; n <= 3; ++n) {
        const ControlId sum = spec().find("mondai", n);
        const Rect& box = l.box(sum);
        const float designTop = spec().controls[static_cast<std::size_t>(sum)].rect.top / spec().verticalUnit;
        QVERIFY(std::abs(l.topAt(sum, designTop) - box.top) < 1e-3);
        // A fresh sum (Top 19) starts inside the window; by the bottom line
        // (500), where it is replaced, it lies wholly behind the panel, in
        // its own column.
        QVERIFY(l.topAt(sum, 19) >= 0);
        const double bottomLine = l.topAt(sum, 500);
        QVERIFY2(bottomLine >= panel.top - 0.5 && bottomLine + box.height <= panel.top + panel.height,
                 qPrintable(QString("sum %1 at %2").arg(n).arg(bottomLine)));
        QVERIFY(box.left >= panel.left && box.left + box.width <= panel.left + panel.width);
        // Above the fast-drop line (300) no part of it is behind the panel yet.
        QVERIFY(l.topAt(sum, 300) + box.height < panel.top);
    }
}

QTEST_APPLESS_MAIN(TestGeometries)
#include "test_geometries.moc"
