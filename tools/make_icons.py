#!/usr/bin/python3
"""Make the window icons of the game.

    resources/icons/form1.ico      game window, 32 x 32, 16 colours
    resources/icons/cright.ico     opening window, 32 x 32, 256 colours
    resources/icons/form1-N.png    the game icon drawn at N x N, N = 32, 64, 128, 256,
                                   for the desktop's menus and launchers, and
                                   N = 192, 512 for the browser edition's manifest

Each PNG is drawn at its own size, not scaled from another one.  The .ico
files are written here byte by byte: one palette bitmap with its
transparency (AND) mask each, which is what the icons of the old 16- and
256-colour desktops looked like.  Run from the repository root:

    tools/make_icons.py
"""

import struct
import sys
from pathlib import Path

from PIL import Image

sys.dont_write_bytecode = True      # no __pycache__ in tools/
sys.path.insert(0, str(Path(__file__).resolve().parent))
from cartoon import Canvas, draw_rabbit_head  # noqa: E402

REPO_ROOT = Path(__file__).resolve().parent.parent
ICON_DIR = REPO_ROOT / "resources" / "icons"

ICON_SIZE = 32
MENU_ICON_SIZES = (32, 64, 128, 256)
WEB_ICON_SIZES = (192, 512)     # what a web app manifest needs to be installed
OPAQUE_ALPHA = 128          # pixels at least this opaque are drawn, the rest are see-through

# --- the game icon: four bright tiles with + - x / ---------------------------------

# Layout on a 32-unit grid; the 128 pixel picture is the same grid times four.
GRID = 32
TILE = 15
TILE_GAP = 2
TILE_CORNER = 3
TILE_BORDER = 1
SYMBOL_STROKE = 3
SYMBOL_FROM, SYMBOL_TO = 3, 12        # along a tile

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
RED, RED_DARK, RED_LIGHT = (232, 48, 64), (150, 20, 40), (246, 160, 168)
BLUE, BLUE_DARK, BLUE_LIGHT = (33, 130, 230), (14, 64, 156), (156, 202, 244)
GREEN, GREEN_DARK, GREEN_LIGHT = (60, 178, 72), (24, 96, 36), (168, 220, 170)
ORANGE, ORANGE_DARK, ORANGE_LIGHT = (250, 144, 0), (170, 80, 0), (253, 204, 136)
GREY, SILVER = (128, 128, 128), (192, 192, 192)

# The 16 colours of form1.ico.  Entry 0 is what see-through pixels hold.
FORM1_PALETTE = [
    BLACK, WHITE,
    RED, RED_DARK, BLUE, BLUE_DARK, GREEN, GREEN_DARK, ORANGE, ORANGE_DARK,
    RED_LIGHT, BLUE_LIGHT, GREEN_LIGHT, ORANGE_LIGHT,
    GREY, SILVER,
]

# (column, row, tile colour, border colour, symbol)
TILES = [
    (0, 0, RED, RED_DARK, "plus"),
    (1, 0, BLUE, BLUE_DARK, "minus"),
    (0, 1, GREEN, GREEN_DARK, "minus"),
    (1, 1, ORANGE, ORANGE_DARK, "plus"),
]


def draw_symbol(canvas, x, y, unit, symbol):
    """A white operator sign on the tile whose top-left corner is (x, y)."""
    def at(a):
        return a * unit

    middle = TILE / 2
    half = SYMBOL_STROKE / 2
    lo, hi = SYMBOL_FROM, SYMBOL_TO
    bar = (x + at(lo), y + at(middle - half), x + at(hi), y + at(middle + half))
    canvas.rect(*bar, WHITE)
    if symbol == "plus":
        canvas.rect(x + at(middle - half), y + at(lo), x + at(middle + half), y + at(hi), WHITE)


def draw_game_icon(size):
    """The four operator tiles as an RGBA picture of size x size pixels."""
    unit = size / GRID
    canvas = Canvas(size, size)
    for column, row, colour, border, symbol in TILES:
        x = column * (TILE + TILE_GAP) * unit
        y = row * (TILE + TILE_GAP) * unit
        canvas.rounded_rect(x, y, x + TILE * unit, y + TILE * unit, TILE_CORNER * unit, border)
        inner = TILE_BORDER * unit
        canvas.rounded_rect(x + inner, y + inner, x + (TILE - TILE_BORDER) * unit,
                            y + (TILE - TILE_BORDER) * unit,
                            (TILE_CORNER - TILE_BORDER) * unit, colour)
        draw_symbol(canvas, x, y, unit, symbol)
    return canvas.result()


# --- the opening icon: the rabbit's face ------------------------------------------

RABBIT_HEAD_CENTRE = (16, 21.2)
RABBIT_HEAD_RADIUS = 9.4
RABBIT_EYE_SCALE = 1.5      # at 32 pixels the eyes need to be bigger to be seen


def draw_opening_icon(size):
    scale = size / ICON_SIZE
    canvas = Canvas(size, size)
    cx, cy = RABBIT_HEAD_CENTRE
    draw_rabbit_head(canvas, cx * scale, cy * scale, RABBIT_HEAD_RADIUS * scale,
                     eye_scale=RABBIT_EYE_SCALE, mouth=False)
    return canvas.result()


# --- turning pictures into palette bitmaps ------------------------------------------

def nearest(colour, palette):
    return min(range(len(palette)),
               key=lambda i: sum((a - b) ** 2 for a, b in zip(colour, palette[i])))


def to_fixed_palette(picture, palette):
    """Indices into palette and the see-through mask of an RGBA picture."""
    indices, mask = [], []
    for r, g, b, a in picture.getdata():
        see_through = a < OPAQUE_ALPHA
        mask.append(see_through)
        indices.append(0 if see_through else nearest((r, g, b), palette))
    return indices, mask


def to_own_palette(picture, max_colours):
    """Like to_fixed_palette, but the palette is made from the picture itself."""
    opaque = [(r, g, b) for r, g, b, a in picture.getdata() if a >= OPAQUE_ALPHA]
    colours = sorted(set(opaque))
    if len(colours) > max_colours - 1:
        rgb = Image.new("RGB", (len(opaque), 1))
        rgb.putdata(opaque)
        reduced = rgb.quantize(max_colours - 1, method=Image.Quantize.MEDIANCUT,
                               dither=Image.Dither.NONE).convert("RGB")
        colours = sorted(set(reduced.getdata()))
        lookup = dict(zip(opaque, reduced.getdata()))
    else:
        lookup = {c: c for c in colours}
    # entry 0 stays black for the see-through pixels
    palette = [BLACK] + colours
    position = {c: i + 1 for i, c in enumerate(colours)}
    indices, mask = [], []
    for r, g, b, a in picture.getdata():
        see_through = a < OPAQUE_ALPHA
        mask.append(see_through)
        indices.append(0 if see_through else position[lookup[(r, g, b)]])
    return indices, mask, palette


# --- the .ico file ------------------------------------------------------------------

ICONDIR_SIZE = 6
ICONDIRENTRY_SIZE = 16
BITMAPINFOHEADER_SIZE = 40
ICON_TYPE = 1


def row_bytes(width, bits):
    """Bytes in one bitmap row, padded to a multiple of four."""
    return (width * bits + 31) // 32 * 4


def pack_row(values, bits, width):
    """Pack one row of small numbers, leftmost pixel in the high bits."""
    data = bytearray(row_bytes(width, bits))
    per_byte = 8 // bits
    for i, value in enumerate(values):
        shift = 8 - bits * (i % per_byte + 1)
        data[i // per_byte] |= value << shift
    return bytes(data)


def ico_bytes(width, height, bits, palette, indices, mask):
    colours = 1 << bits
    assert len(palette) <= colours
    palette = list(palette) + [BLACK] * (colours - len(palette))

    xor_rows, and_rows = [], []
    for y in reversed(range(height)):          # bitmaps are stored bottom row first
        row = slice(y * width, (y + 1) * width)
        xor_rows.append(pack_row(indices[row], bits, width))
        and_rows.append(pack_row([1 if m else 0 for m in mask[row]], 1, width))

    header = struct.pack("<IiiHHIIiiII",
                         BITMAPINFOHEADER_SIZE, width, height * 2,   # colour bitmap + mask
                         1, bits, 0,                                  # planes, depth, BI_RGB
                         len(xor_rows) * len(xor_rows[0]) + len(and_rows) * len(and_rows[0]),
                         0, 0, 0, 0)
    rgbquads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    image = header + rgbquads + b"".join(xor_rows) + b"".join(and_rows)

    directory = struct.pack("<HHH", 0, ICON_TYPE, 1)
    entry = struct.pack("<BBBBHHII",
                        width % 256, height % 256,
                        colours if colours < 256 else 0, 0,
                        1, bits, len(image), ICONDIR_SIZE + ICONDIRENTRY_SIZE)
    return directory + entry + image


def write_ico(path, bits, palette, indices, mask):
    path.write_bytes(ico_bytes(ICON_SIZE, ICON_SIZE, bits, palette, indices, mask))


def check_ico(path, bits):
    data = path.read_bytes()
    bit_count = struct.unpack_from("<H", data, ICONDIR_SIZE + ICONDIRENTRY_SIZE + 14)[0]
    with Image.open(path) as icon:
        icon.load()
        assert icon.size == (ICON_SIZE, ICON_SIZE), icon.size
    assert bit_count == bits, bit_count
    print(f"{path}: {len(data)} bytes, {ICON_SIZE}x{ICON_SIZE}, {bit_count} bits per pixel")


def main():
    ICON_DIR.mkdir(parents=True, exist_ok=True)

    form1 = ICON_DIR / "form1.ico"
    indices, mask = to_fixed_palette(draw_game_icon(ICON_SIZE), FORM1_PALETTE)
    write_ico(form1, 4, FORM1_PALETTE, indices, mask)
    check_ico(form1, 4)

    cright = ICON_DIR / "cright.ico"
    indices, mask, palette = to_own_palette(draw_opening_icon(ICON_SIZE), 256)
    write_ico(cright, 8, palette, indices, mask)
    check_ico(cright, 8)

    for size in MENU_ICON_SIZES + WEB_ICON_SIZES:
        menu_icon = ICON_DIR / f"form1-{size}.png"
        draw_game_icon(size).save(menu_icon, optimize=True)
        with Image.open(menu_icon) as written:
            assert written.size == (size, size), written.size
        print(f"{menu_icon}: {menu_icon.stat().st_size} bytes, {size}x{size}")


if __name__ == "__main__":
    main()
