#!/usr/bin/python3
"""Make the pictures of the opening window.

The opening window (426 x 222, white) shows the background picture, hides
parts of it under plain white boxes, and lets the rabbit hop from left to
right in twelve steps.  At step k the rabbit's picture frame k is shown in
its own white box and cover k is taken away, so a trail of numbered bubbles
appears behind the rabbit.  After the last step the cover over the top strip
goes too and the title shows.

    resources/opening/haikei.gif            background, 425 x 225
    resources/opening/frame00.gif .. 10     the hop, 64 x 63, index 255 see-through
    resources/opening/frame11.gif           the rabbit has arrived, 64 x 64

and for the browser edition the same pixels in lossless WebP, a third
lighter than the GIFs for a page that carries them inline:

    resources/opening/web/haikei.webp, frame00.webp .. frame11.webp

Run from the repository root:

    tools/make_opening_pictures.py
"""

import math
import sys
from pathlib import Path

from PIL import Image

sys.dont_write_bytecode = True      # no __pycache__ in tools/
sys.path.insert(0, str(Path(__file__).resolve().parent))
from cartoon import (  # noqa: E402
    INK, SHADOW, WHITE, Canvas, HopPose, draw_hopping_rabbit, draw_waving_rabbit,
)

REPO_ROOT = Path(__file__).resolve().parent.parent
OUTPUT_DIR = REPO_ROOT / "resources" / "opening"
WEB_DIR = OUTPUT_DIR / "web"

# --- the window's layout (left, top, width, height), in window pixels ----------------

BACKGROUND_SIZE = (425, 225)
TITLE_COVER = (24, 0, 369, 49)
SPRITE_BOXES = [
    (0, 48, 65, 65), (24, 48, 65, 73), (56, 64, 65, 65), (80, 88, 57, 57),
    (104, 128, 65, 65), (136, 96, 65, 65), (168, 64, 65, 65), (208, 48, 65, 65),
    (256, 48, 65, 65), (296, 64, 65, 65), (336, 88, 65, 65), (360, 128, 65, 65),
]
# The 27 pixel wide and high covers are really 26.7 pixels, so what they hide
# is kept inside 26 pixels.
COVERS = [
    (24, 80, 35, 27), (56, 96, 27, 27), (80, 104, 35, 35), (112, 120, 35, 27),
    (144, 128, 27, 27), (168, 136, 35, 27), (200, 136, 35, 27), (232, 144, 35, 27),
    (264, 152, 35, 27), (296, 152, 35, 27), (328, 160, 27, 27), (360, 168, 27, 27),
]
COVER_ROUNDED_DOWN = 27
COVER_SAFE_SIZE = 26
STEPS = len(SPRITE_BOXES)
HOP_FRAME_SIZE = (64, 63)
LAST_FRAME_SIZE = (64, 64)
TRANSPARENT_INDEX = 255

# --- the background ---------------------------------------------------------------

MEADOW = (126, 200, 80)
MEADOW_LIGHT = (160, 220, 100)
MEADOW_DARK = (88, 160, 60)
HILL = (150, 212, 96)
HILL_EDGE = (100, 170, 70)
SUN = (255, 204, 40)
SUN_RAY = (255, 176, 32)
SUN_CHEEK = (255, 150, 90)
CLOUD = (234, 244, 255)
CLOUD_EDGE = (178, 206, 236)
PETAL_COLOURS = [(255, 120, 150), (255, 214, 60), (250, 250, 250), (180, 140, 255)]
FLOWER_MIDDLE = (255, 170, 30)
CARROT = (255, 136, 32)
CARROT_LEAF = (60, 150, 60)

MEADOW_TOP = 195             # highest point of the meadow's edge
MEADOW_WAVES = [(0.045, 1.5), (0.11, 0.8)]   # (frequency, height) of its bumps
HILL_CENTRE, HILL_RADII = (6, 208), (96, 72)
SUN_CENTRE, SUN_RADIUS, SUN_RAY_LENGTH, SUN_RAYS = (392, 68), 11, 6, 10
CLOUDS = [(146, 70, 1.0), (413, 104, 0.6)]   # (x, y, size)
FLOWERS_ON_HILL = [(14, 154, 0), (40, 160, 1), (62, 176, 3), (26, 182, 2)]
FLOWERS_IN_MEADOW = [
    (126, 212, 1), (182, 205, 0), (236, 216, 3), (292, 206, 2), (322, 217, 0),
    (206, 219, 2), (150, 203, 3), (96, 217, 0),
]
GRASS_TUFTS = [(112, 204), (170, 216), (226, 203), (262, 212), (306, 199), (344, 209),
               (72, 206), (8, 214)]
CARROTS = [(372, 210), (392, 214), (412, 208)]

TITLE = "ペルモロプラス"
TITLE_COLOURS = [(240, 64, 80), (255, 140, 0), (232, 180, 0), (60, 176, 72),
                 (30, 150, 220), (120, 90, 220), (236, 90, 170)]
TITLE_SIZE = 40
TITLE_BASELINE = 40
TITLE_SPACING = 47
TITLE_HOP = 4                # every other letter sits this much higher
TITLE_OUTLINE = 2.6
TITLE_RIM = 4.6

# What each cover hides: a numbered bubble (x, y, radius) and small stars
# (x, y, size).  Each piece is placed so that a later sprite box either hides
# it completely or leaves it alone, never cutting it in half.
BIG_STAR, SMALL_STAR = 4.2, 2.6
TRAIL = [
    ((36.5, 93, 10.5), [(52.5, 99, SMALL_STAR)]),
    ((68.5, 109, 10.5), []),
    ((92.5, 118, 10.5), [(109, 113, BIG_STAR), (109, 124, SMALL_STAR)]),
    ((122, 136.5, 8), [(140.5, 141.5, SMALL_STAR)]),
    ((156.5, 141, 10.5), []),
    ((180.5, 149, 10.5), [(196, 144, BIG_STAR), (197, 155, SMALL_STAR)]),
    ((212.5, 149, 10.5), [(229, 144, BIG_STAR), (229, 155, SMALL_STAR)]),
    ((244.5, 157, 10.5), [(261, 152, BIG_STAR), (261, 163, SMALL_STAR)]),
    ((276.5, 165, 10.5), [(293, 160, BIG_STAR), (293, 171, SMALL_STAR)]),
    ((308.5, 165, 10.5), [(325, 160, BIG_STAR), (325, 171, SMALL_STAR)]),
    ((340.5, 173, 10.5), []),
]
STAR_INNER = 0.43            # inner corners of a star, as a share of its size
BUBBLE_COLOURS = [(240, 64, 80), (255, 140, 0), (232, 180, 0), (60, 176, 72),
                  (20, 170, 170), (30, 130, 220), (120, 90, 220), (236, 90, 170)]
BUBBLE_RADIUS = 10.5         # the usual bubble; the number shrinks with smaller ones
BUBBLE_EDGE = 0.8
BUBBLE_NUMBER_SIZE = 13
SPARKLE = (255, 196, 0)
TRAIL_MARGIN = 1            # what a cover hides stays this far inside it


def meadow_edge(x):
    """Top of the meadow at column x: gently rolling, never above MEADOW_TOP."""
    return MEADOW_TOP + sum(h * (1 + math.sin(f * x)) for f, h in MEADOW_WAVES)


def draw_flower(canvas, x, y, colour_number, size=1.0):
    petal = PETAL_COLOURS[colour_number % len(PETAL_COLOURS)]
    for i in range(5):
        a = 2 * math.pi * i / 5
        canvas.circle(x + 2.3 * size * math.sin(a), y - 2.3 * size * math.cos(a), 1.9 * size,
                      petal, outline=MEADOW_DARK, thickness=0.5)
    canvas.circle(x, y, 1.5 * size, FLOWER_MIDDLE)


def draw_grass_tuft(canvas, x, y):
    for dx, lean in ((-2.5, -1.8), (0, 0), (2.5, 1.8)):
        canvas.polyline([(x + dx, y), (x + dx + lean, y - 5)], 1.2, MEADOW_DARK)


def draw_carrot(canvas, x, y):
    for lean in (-3, 0, 3):
        canvas.polyline([(x, y - 2), (x + lean, y - 8)], 1.6, CARROT_LEAF)
    canvas.ellipse(x, y, 4.2, 3, CARROT, outline=(200, 96, 20), thickness=0.6)


def draw_cloud(canvas, x, y, size):
    puffs = [(-10, 2, 7), (0, -3, 9), (10, 1, 7), (3, 4, 7), (-5, 4, 6)]
    for dx, dy, r in puffs:
        canvas.circle(x + dx * size, y + dy * size, (r + 1.2) * size, CLOUD_EDGE)
    for dx, dy, r in puffs:
        canvas.circle(x + dx * size, y + dy * size, r * size, CLOUD)


def draw_sun(canvas):
    cx, cy = SUN_CENTRE
    for i in range(SUN_RAYS):
        a = 2 * math.pi * (i + 0.5) / SUN_RAYS
        inner, outer = SUN_RADIUS + 2.5, SUN_RADIUS + SUN_RAY_LENGTH
        canvas.polyline([(cx + inner * math.cos(a), cy + inner * math.sin(a)),
                         (cx + outer * math.cos(a), cy + outer * math.sin(a))], 2.2, SUN_RAY)
    canvas.circle(cx, cy, SUN_RADIUS, SUN, outline=SUN_RAY, thickness=1)
    for side in (-1, 1):
        canvas.arc(cx + side * 4, cy - 1, 1.8, 1.6, 200, 340, 1.1, INK)
        canvas.ellipse(cx + side * 6.5, cy + 3, 2, 1.3, SUN_CHEEK)
    canvas.arc(cx, cy + 2.5, 3.5, 3, 20, 160, 1.2, INK)


def draw_scenery():
    """What the window shows before anything is uncovered."""
    canvas = Canvas(*BACKGROUND_SIZE, background=WHITE)
    width, height = BACKGROUND_SIZE
    draw_sun(canvas)
    for x, y, size in CLOUDS:
        draw_cloud(canvas, x, y, size)

    hx, hy = HILL_CENTRE
    rx, ry = HILL_RADII
    canvas.ellipse(hx, hy, rx + 1.2, ry + 1.2, HILL_EDGE)
    canvas.ellipse(hx, hy, rx, ry, HILL)
    for x, y, colour in FLOWERS_ON_HILL:
        draw_flower(canvas, x, y, colour)

    edge = [(x, meadow_edge(x)) for x in range(-2, width + 3)]
    canvas.polygon(edge + [(width + 2, height + 2), (-2, height + 2)], MEADOW_DARK)
    canvas.polygon([(x, y + 1.2) for x, y in edge] + [(width + 2, height + 2), (-2, height + 2)],
                   MEADOW_LIGHT)
    canvas.polygon([(x, y + 4) for x, y in edge] + [(width + 2, height + 2), (-2, height + 2)],
                   MEADOW)
    for x, y in GRASS_TUFTS:
        draw_grass_tuft(canvas, x, y)
    for x, y, colour in FLOWERS_IN_MEADOW:
        draw_flower(canvas, x, y, colour)
    for x, y in CARROTS:
        draw_carrot(canvas, x, y)
    return canvas.result().convert("RGB")


def draw_title():
    """The title, for the strip under the top cover (RGBA, background size)."""
    canvas = Canvas(*BACKGROUND_SIZE)
    left, top, width, height = TITLE_COVER
    first_x = left + width / 2 - TITLE_SPACING * (len(TITLE) - 1) / 2
    for i, letter in enumerate(TITLE):
        x = first_x + i * TITLE_SPACING
        y = TITLE_BASELINE - (0 if i % 2 else TITLE_HOP)
        canvas.text(x, y, letter, TITLE_SIZE, INK, anchor="ms",
                    stroke=TITLE_RIM, stroke_fill=INK)
        canvas.text(x, y, letter, TITLE_SIZE, WHITE, anchor="ms",
                    stroke=TITLE_OUTLINE, stroke_fill=WHITE)
        canvas.text(x, y, letter, TITLE_SIZE, TITLE_COLOURS[i], anchor="ms")
    return canvas.result()


def cover_safe_rect(step):
    """The part of cover `step` that surely hides what lies under it."""
    left, top, width, height = COVERS[step]
    if width == COVER_ROUNDED_DOWN:
        width = COVER_SAFE_SIZE
    if height == COVER_ROUNDED_DOWN:
        height = COVER_SAFE_SIZE
    return (left + TRAIL_MARGIN, top + TRAIL_MARGIN,
            left + width - TRAIL_MARGIN, top + height - TRAIL_MARGIN)


def trail_pieces(step):
    """Bounding boxes of the pieces under cover `step`."""
    (cx, cy, r), stars = TRAIL[step]
    return [(x - size, y - size, x + size, y + size)
            for x, y, size in [(cx, cy, r)] + stars]


def draw_trail_item(step):
    """The numbered bubble and stars under cover `step` (RGBA, background size)."""
    canvas = Canvas(*BACKGROUND_SIZE)
    (cx, cy, r), stars = TRAIL[step]
    colour = BUBBLE_COLOURS[step % len(BUBBLE_COLOURS)]
    darker = tuple(c * 3 // 4 for c in colour)
    shine = tuple((c + 2 * 255) // 3 for c in colour)
    canvas.circle(cx, cy, r - BUBBLE_EDGE, colour, outline=darker, thickness=BUBBLE_EDGE)
    canvas.ellipse(cx - r * 0.38, cy - r * 0.48, r * 0.28, r * 0.17, shine, angle=-30)
    canvas.text(cx, cy + 0.5, str(step + 1), BUBBLE_NUMBER_SIZE * r / BUBBLE_RADIUS, WHITE,
                stroke=0.9, stroke_fill=darker)
    for x, y, size in stars:
        canvas.star(x, y, size, size * STAR_INNER, SPARKLE)
    return canvas.result()


def cut_by_box(piece, box):
    """True if the sprite box covers only part of the piece."""
    x0, y0, x1, y1 = piece
    left, top, width, height = box
    apart = x1 <= left or x0 >= left + width or y1 <= top or y0 >= top + height
    within = x0 >= left and x1 <= left + width and y0 >= top and y1 <= top + height
    return not apart and not within


def check_trail(step):
    for piece in trail_pieces(step):
        for later in range(step, STEPS):
            if cut_by_box(piece, SPRITE_BOXES[later]):
                raise SystemExit(f"sprite box {later} cuts through {piece} of cover {step}")


def in_any(rects, x, y):
    return any(left <= x < left + w and top <= y < top + h for left, top, w, h in rects)


def check_scenery(scenery):
    """Everything under a cover or a sprite box must be plain white."""
    hidden = SPRITE_BOXES + COVERS + [TITLE_COVER]
    width, height = scenery.size
    pixels = scenery.load()
    bad = [(x, y) for y in range(height) for x in range(width)
           if pixels[x, y] != WHITE and in_any(hidden, x, y)]
    if bad:
        raise SystemExit(f"scenery reaches under a box at {bad[:5]} ({len(bad)} pixels)")


def check_inside(layer, rect, what):
    box = layer.getbbox()
    if box is None:
        return
    x0, y0, x1, y1 = rect
    if box[0] < x0 or box[1] < y0 or box[2] > x1 or box[3] > y1:
        raise SystemExit(f"{what} {box} is not inside {rect}")


def make_background():
    scenery = draw_scenery()
    check_scenery(scenery)
    picture = scenery.convert("RGBA")
    title = draw_title()
    left, top, width, height = TITLE_COVER
    check_inside(title, (left, top, left + width, top + height - 1), "the title")
    picture.alpha_composite(title)
    for step in range(STEPS - 1):    # the last cover lies under the rabbit's last box
        item = draw_trail_item(step)
        check_inside(item, cover_safe_rect(step), f"trail item {step}")
        check_trail(step)
        picture.alpha_composite(item)
    return picture.convert("RGB")


# --- the rabbit's frames ---------------------------------------------------------

# Steps 0-3 come down towards the ground, 4 lands, 5-6 push off, 7-8 fly
# over the top, 9-10 come down again; step 11 has its own picture.
HOP_POSES = [
    HopPose(tilt=-8, hind=60, front=-40, ears=55),
    HopPose(tilt=-14, hind=45, front=-55, ears=50),
    HopPose(tilt=-20, hind=30, front=-60, ears=45),
    HopPose(tilt=-24, hind=20, front=-35, ears=40),
    HopPose(tilt=0, hind=0, front=-5, ears=30, squash=1.1),
    HopPose(tilt=30, hind=85, front=30, ears=65, squash=0.95),
    HopPose(tilt=22, hind=75, front=10, ears=60),
    HopPose(tilt=6, hind=40, front=-30, ears=45),
    HopPose(tilt=-6, hind=40, front=-45, ears=45),
    HopPose(tilt=-16, hind=45, front=-60, ears=50),
    HopPose(tilt=-24, hind=25, front=-40, ears=45),
]
LANDING_STEP = 4
LANDING_SHADOW = (2, 17, 18, 2.2)    # (x, y) from the body centre, radii
RABBIT_SCALE = 1.05
SCRATCH_SIZE = 128
SEE_THROUGH_ALPHA = 8        # less opaque than this and a frame pixel is see-through
SPEED_LINE = (200, 200, 210)
SPEED_LINES = [(-6, 5), (1, 7), (8, 4)]     # (height above the body centre, length)
SPEED_LINE_GAP = 2
SPEED_LINE_WIDTH = 1.3


def speed_lines(rabbit_left, y, tilt):
    """Short lines just behind a rabbit in the air (RGBA, scratch size)."""
    canvas = Canvas(SCRATCH_SIZE, SCRATCH_SIZE)
    start = rabbit_left - SPEED_LINE_GAP
    for dy, length in SPEED_LINES:
        canvas.polyline([(start, y + dy - tilt * 0.2), (start - length, y + dy)],
                        SPEED_LINE_WIDTH, SPEED_LINE)
    return canvas.result()


def visible_frame_size(step):
    box_w, box_h = SPRITE_BOXES[step][2:]
    return min(HOP_FRAME_SIZE[0], box_w), min(HOP_FRAME_SIZE[1], box_h)


def fits(picture, size):
    x0, y0, x1, y1 = picture.getbbox()
    return x1 - x0 <= size[0] and y1 - y0 <= size[1]


def draw_hop_frame(step):
    pose = HOP_POSES[step]
    scratch = Canvas(SCRATCH_SIZE, SCRATCH_SIZE)
    centre = SCRATCH_SIZE / 2
    if step == LANDING_STEP:
        dx, dy, rx, ry = LANDING_SHADOW
        scratch.ellipse(centre + dx, centre + dy, rx, ry, SHADOW)
    draw_hopping_rabbit(scratch, centre, centre, pose, RABBIT_SCALE)
    drawn = scratch.result()
    size = visible_frame_size(step)
    if step != LANDING_STEP:
        # in the air: add speed lines where the frame has room for them
        with_lines = speed_lines(drawn.getbbox()[0], centre, pose.tilt)
        with_lines.alpha_composite(drawn)
        if fits(with_lines, size):
            drawn = with_lines
    if not fits(drawn, size):
        raise SystemExit(f"the rabbit of step {step} does not fit in {size}")

    x0, y0, x1, y1 = drawn.getbbox()
    width, height = size
    left = (width - (x1 - x0)) // 2
    top = height - (y1 - y0) if step == LANDING_STEP else (height - (y1 - y0)) // 2
    frame = Image.new("RGBA", HOP_FRAME_SIZE, (0, 0, 0, 0))
    frame.paste(drawn.crop((x0, y0, x1, y1)), (left, top))
    return frame


WAVING_RABBIT_SHIFT = -4     # leaves room on the right for the waving paw
LAST_FRAME_SPARKLES = [(8, 12, 4.5), (15, 27, 2.8), (56, 52, 3.2)]   # (x, y, size)


def draw_last_frame():
    """The rabbit has arrived: it faces us and waves, on the box's white."""
    canvas = Canvas(*LAST_FRAME_SIZE, background=WHITE)
    width, height = LAST_FRAME_SIZE
    draw_waving_rabbit(canvas, width / 2 + WAVING_RABBIT_SHIFT, height - 1)
    for x, y, size in LAST_FRAME_SPARKLES:
        canvas.star(x, y, size, size * STAR_INNER, SPARKLE)
    return canvas.result().convert("RGB")


# --- GIF files ---------------------------------------------------------------------

def palette_image(rgb, colours, see_through=None):
    """A palette picture of rgb using the first `colours` palette entries.

    Pure white gets the last of these entries to itself, so that white areas
    match the white window exactly.  Pixels where see_through is true get
    TRANSPARENT_INDEX, which no other pixel uses.  The palette always has 256
    entries.
    """
    white_index = colours - 1
    quantized = rgb.quantize(white_index, method=Image.Quantize.MEDIANCUT,
                             dither=Image.Dither.NONE)
    palette = quantized.getpalette()[:3 * white_index]
    palette += [0] * (3 * white_index - len(palette))
    palette += list(WHITE) * (256 - white_index)

    indices = list(quantized.getdata())
    for i, colour in enumerate(rgb.getdata()):
        if colour == WHITE:
            indices[i] = white_index
    if see_through is not None:
        for i, clear in enumerate(see_through):
            if clear:
                indices[i] = TRANSPARENT_INDEX

    result = Image.new("P", rgb.size)
    result.putpalette(palette)
    result.putdata(indices)
    return result


def save_gif(picture, path, transparent=False):
    options = {"optimize": False}     # keep the palette as it is, all 256 entries
    if transparent:
        options["transparency"] = TRANSPARENT_INDEX
    else:
        picture.info["version"] = b"89a"
    picture.save(path, format="GIF", **options)


def hop_frame_gif(frame):
    """A hop frame as seen on its white box, with see-through pixels marked."""
    white = Image.new("RGBA", frame.size, WHITE + (255,))
    white.alpha_composite(frame)
    clear = [a < SEE_THROUGH_ALPHA for a in frame.getchannel("A").getdata()]
    # all 256 entries: 0-254 for the picture, 255 only for see-through pixels
    return palette_image(white.convert("RGB"), TRANSPARENT_INDEX, clear)


def check_gif(path, size, transparent):
    data = path.read_bytes()
    assert data[:6] == b"GIF89a", data[:6]
    with Image.open(path) as picture:
        assert picture.size == size, picture.size
        assert picture.n_frames == 1
        assert picture.mode == "P"
        if transparent:
            assert picture.info.get("transparency") == TRANSPARENT_INDEX
            control = data.find(b"\x21\xf9\x04")
            assert control > 0 and data[control + 3] & 1 and \
                data[control + 6] == TRANSPARENT_INDEX
        else:
            assert "transparency" not in picture.info
    print(f"{path}: {len(data)} bytes, {size[0]}x{size[1]}"
          + (f", see-through index {TRANSPARENT_INDEX}" if transparent else ""))


def save_web_copy(gif):
    """The GIF's pixels as lossless WebP; a see-through pixel stays see-through."""
    path = WEB_DIR / gif.with_suffix(".webp").name
    with Image.open(gif) as picture:
        pixels = picture.convert("RGBA")
    pixels.save(path, format="WEBP", lossless=True, quality=100, method=6)
    with Image.open(path) as copy:
        assert copy.size == pixels.size
        visible = lambda p: p if p[3] else (0, 0, 0, 0)  # noqa: E731
        assert list(map(visible, copy.convert("RGBA").getdata())) == list(map(visible, pixels.getdata())), path
    print(f"{path}: {path.stat().st_size} bytes")


def main():
    OUTPUT_DIR.mkdir(parents=True, exist_ok=True)
    WEB_DIR.mkdir(parents=True, exist_ok=True)

    haikei = OUTPUT_DIR / "haikei.gif"
    save_gif(palette_image(make_background(), 256), haikei)
    check_gif(haikei, BACKGROUND_SIZE, transparent=False)

    for step in range(STEPS - 1):
        path = OUTPUT_DIR / f"frame{step:02d}.gif"
        save_gif(hop_frame_gif(draw_hop_frame(step)), path, transparent=True)
        check_gif(path, HOP_FRAME_SIZE, transparent=True)

    last = OUTPUT_DIR / f"frame{STEPS - 1:02d}.gif"
    save_gif(palette_image(draw_last_frame(), 256), last)
    check_gif(last, LAST_FRAME_SIZE, transparent=False)

    for gif in sorted(OUTPUT_DIR.glob("*.gif")):
        save_web_copy(gif)


if __name__ == "__main__":
    main()
