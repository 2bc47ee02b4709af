#!/usr/bin/python3
"""Make the small copies of BIZ UDGothic that ship with the game.

The game draws all of its text with BIZ UDGothic Regular and Bold.  The full
fonts are more than 4 MB each, so we keep only the glyphs the program can
show: printable ASCII plus every non-ASCII character of the C++ sources'
string literals (mostly Japanese).  Text for a teacher, which the pages show
in the system's own font, is kept in files of its own and left out.  Run
this again whenever new text is added to the sources:

    tools/make_font_subset.py

from the repository root.  The subsets are written to resources/fonts/.
"""

import argparse
import re
import sys
from pathlib import Path

from fontTools import subset
from fontTools.ttLib import TTFont

REPO_ROOT = Path(__file__).resolve().parent.parent

FONT_DIR = Path("/usr/share/fonts/truetype/bizud-gothic")
FONT_STYLES = ("Regular", "Bold")
OUTPUT_DIR = REPO_ROOT / "resources" / "fonts"

# Folders whose *.cpp and *.h files hold the text shown on screen.
SOURCE_DIRS = ("app", "game", "forms", "platform")
SOURCE_SUFFIXES = (".cpp", ".h")
# Text the game never draws in its own font: lines for a teacher, and words
# heard by a screen reader.
SYSTEM_FONT_FILES = ("game/practice_notes.cpp", "game/spoken.h", "game/spoken.cpp", "app/web/site_facts.cpp")

FIRST_PRINTABLE_ASCII = 0x20
LAST_PRINTABLE_ASCII = 0x7E

# Always kept, even before the sources use them: the messages are laid out
# with the ideographic space, and the full-width question mark is in the
# cheering lines.
IDEOGRAPHIC_SPACE = 0x3000
FULLWIDTH_QUESTION_MARK = 0xFF1F
ALWAYS_KEPT = (IDEOGRAPHIC_SPACE, FULLWIDTH_QUESTION_MARK)

# \uXXXX and \UXXXXXXXX escapes in C++ literals name characters too.
UNICODE_ESCAPE = re.compile(r"\\u([0-9A-Fa-f]{4})|\\U([0-9A-Fa-f]{8})")


def source_files():
    """All C++ sources and headers of the program, in a stable order."""
    files = []
    for folder in SOURCE_DIRS:
        root = REPO_ROOT / folder
        if not root.is_dir():
            continue
        for path in root.rglob("*"):
            if (path.is_file() and path.suffix in SOURCE_SUFFIXES
                    and path.relative_to(REPO_ROOT).as_posix() not in SYSTEM_FONT_FILES):
                files.append(path)
    return sorted(files)


# The pieces of C++ source a scan steps over: comments, character and
# string literals (the sources have no raw string literals).
CPP_TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|\'(?:[^\'\\\n]|\\.)*\'|"((?:[^"\\\n]|\\.)*)"', re.S)


# A line that ends in this comment holds words only a teacher reads (on the
# teacher's page, in the system's font) or a screen reader says.
NOT_DRAWN = "// not drawn"


def characters_in_literals(source):
    """Non-ASCII code points of the string literals of a C++ source: what
    the program can put on the screen, and not what its comments say."""
    found = set()
    source = "\n".join(line for line in source.split("\n") if not line.rstrip().endswith(NOT_DRAWN))
    for token in CPP_TOKEN.finditer(source):
        if token.group(1) is not None:
            found |= characters_in_text(token.group(1))
    return found


def characters_in_text(text):
    """Non-ASCII code points written in text, literally or as escapes."""
    found = {ord(ch) for ch in text if ord(ch) > LAST_PRINTABLE_ASCII}
    for match in UNICODE_ESCAPE.finditer(text):
        code = int(match.group(1) or match.group(2), 16)
        if code > LAST_PRINTABLE_ASCII:
            found.add(code)
    return found


def wanted_code_points(extra_text=""):
    codes = set(range(FIRST_PRINTABLE_ASCII, LAST_PRINTABLE_ASCII + 1))
    codes.update(ALWAYS_KEPT)
    for path in source_files():
        codes |= characters_in_literals(path.read_text(encoding="utf-8"))
    codes |= characters_in_text(extra_text)
    return codes


def subset_options():
    options = subset.Options()
    options.hinting = False          # drop the TrueType instructions
    options.name_IDs = ["*"]         # keep every name record...
    options.name_languages = ["*"]   # ...in every language (the Japanese family name too)
    options.notdef_outline = True
    # The 'meta' table only lists the languages the full font was made for.
    options.drop_tables += ["meta"]
    return options


def make_subset(style, code_points, output_dir):
    source = FONT_DIR / f"BIZUDGothic-{style}.ttf"
    target = output_dir / f"BIZUDGothic-{style}.subset.ttf"
    # Keep the timestamps of the original so that every run gives the same bytes.
    font = TTFont(source, recalcTimestamp=False)
    subsetter = subset.Subsetter(options=subset_options())
    subsetter.populate(unicodes=sorted(code_points))
    subsetter.subset(font)
    font.save(target)
    return target


def missing_characters(font_path, code_points):
    cmap = TTFont(font_path)["cmap"].getBestCmap()
    return sorted(code for code in code_points if code not in cmap)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--extra-text", default="",
                        help="also keep the characters of this text")
    parser.add_argument("--output-dir", type=Path, default=OUTPUT_DIR,
                        help="where to write the subsets (default: %(default)s)")
    args = parser.parse_args()

    code_points = wanted_code_points(args.extra_text)
    args.output_dir.mkdir(parents=True, exist_ok=True)
    print(f"{len(source_files())} source files, {len(code_points)} characters")

    failed = False
    for style in FONT_STYLES:
        target = make_subset(style, code_points, args.output_dir)
        print(f"{target}: {target.stat().st_size} bytes")
        missing = missing_characters(target, code_points)
        if missing:
            failed = True
            listed = " ".join(f"U+{code:04X}" for code in missing)
            print(f"  not in the font: {listed}", file=sys.stderr)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
