#!/usr/bin/python3
"""Make the WOFF2 copies of the bundled fonts for the browser edition.

    resources/fonts/BIZUDGothic-Regular.subset.woff2
    resources/fonts/BIZUDGothic-Bold.subset.woff2

are the subsets that tools/make_font_subset.py writes, the same glyphs in
the compressed web font format.  Run it after the subsets change, from the
repository root (Debian's python3-fonttools and python3-brotli):

    tools/make_web_fonts.py
"""

import sys
from pathlib import Path

from fontTools.ttLib import TTFont

FONT_DIR = Path(__file__).resolve().parent.parent / "resources" / "fonts"


def main():
    subsets = sorted(FONT_DIR.glob("*.subset.ttf"))
    if not subsets:
        print(f"no subsets in {FONT_DIR}", file=sys.stderr)
        return 1
    for source in subsets:
        target = source.with_suffix(".woff2")
        # The timestamps of the subset are kept, so every run gives the same bytes.
        font = TTFont(source, recalcTimestamp=False)
        font.flavor = "woff2"
        font.save(target)
        # The web font holds exactly the characters of the subset.
        assert TTFont(target)["cmap"].getBestCmap() == TTFont(source)["cmap"].getBestCmap()
        print(f"{target}: {target.stat().st_size} bytes (from {source.stat().st_size})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
