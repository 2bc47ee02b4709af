"""Reads callgrind_annotate --inclusive=yes output and prints the inclusive
instructions of the parts of a frame of play."""
import re
import sys

PARTS = [
    ("wake: Driver::wake", r"Driver::wake\("),
    ("  ticks: game rules and timer schedule", r"Driver::runTicksDueBy\("),
    ("  mirror: model onto widgets", r"QtWindow::draw\(\)"),
    ("    moves: QWidget::setGeometry (copy in the backing store)", r"^QWidget::setGeometry\("),
    ("    accessibility events", r"^QAccessible::updateAccessibility\("),
    ("repaint: QWidgetRepaintManager::sync", r"^QWidgetRepaintManager::sync\(\)"),
    ("  painting: QWidgetPrivate::drawWidget", r"^QWidgetPrivate::drawWidget\("),
    ("    region of the opaque controls", r"^QWidgetPrivate::getOpaqueChildren\("),
    ("    labels: ControlView::paintEvent", r"ControlView::paintEvent\("),
    ("      text: QPainter::drawStaticText", r"^QPainter::drawStaticText\("),
    ("        glyphs filled from outlines", r"^QPaintEngineEx::drawStaticTextItem\("),
    ("    buttons: ControlButton::paintEvent", r"ControlButton::paintEvent\("),
    ("  to the X server: QWidgetRepaintManager::flush", r"^QWidgetRepaintManager::flush\(\)"),
    ("font rasteriser: FT_Load_Glyph", r"^FT_Load_Glyph$"),
]

total, inclusive = 0, {}
for line in sys.stdin:
    m = re.match(r"\s*([\d,]+) \([^)]*\)\s+(.*)$", line)
    if not m:
        continue
    count, name = int(m.group(1).replace(",", "")), m.group(2)
    if "PROGRAM TOTALS" in name:
        total = count
        continue
    name = re.sub(r" \[.*\]$", "", name.split(":", 1)[1] if ":" in name else name)
    if "'" not in name.split("(")[0]:  # not a recursive call
        inclusive[name] = max(inclusive.get(name, 0), count)

print(f"{'all of play':60s} {total / 1e6:8.1f} M instructions")
for label, pattern in PARTS:
    count = max((c for n, c in inclusive.items() if re.search(pattern, n)), default=0)
    print(f"{label:60s} {count / 1e6:8.1f} M  {100 * count / max(total, 1):5.1f} %")
