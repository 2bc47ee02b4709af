"""Drawing helpers shared by the picture scripts in tools/.

Pictures are drawn on a Canvas whose coordinates are the pixels of the
finished picture (fractions allowed).  The canvas really draws at a larger
size and shrinks the result at the end, which gives smooth edges.

The rabbit drawn here is the game's mascot: it hops across the opening
window and its face is the icon of that window.
"""

import math
from dataclasses import dataclass

from PIL import Image, ImageDraw, ImageFont

SUPERSAMPLE = 8
ELLIPSE_POINTS = 96

BOLD_FONT = "/usr/share/fonts/truetype/bizud-gothic/BIZUDGothic-Bold.ttf"

TRANSPARENT = (0, 0, 0, 0)
WHITE = (255, 255, 255)


def rgba(colour):
    return colour if len(colour) == 4 else (*colour, 255)


def rotate(x, y, degrees):
    """Rotate (x, y) about the origin; positive angles turn clockwise on screen."""
    a = math.radians(degrees)
    return (x * math.cos(a) - y * math.sin(a), x * math.sin(a) + y * math.cos(a))


class Canvas:
    def __init__(self, width, height, background=TRANSPARENT, supersample=SUPERSAMPLE):
        self.width = width
        self.height = height
        self.scale = supersample
        self.image = Image.new("RGBA", (width * supersample, height * supersample),
                               rgba(background))
        self.draw = ImageDraw.Draw(self.image)

    def _px(self, points):
        return [(x * self.scale, y * self.scale) for x, y in points]

    # --- shapes; an outline is drawn as a slightly bigger shape underneath ---

    def ellipse(self, cx, cy, rx, ry, fill, angle=0.0, outline=None, thickness=0.0):
        if outline is not None and thickness > 0:
            self.ellipse(cx, cy, rx + thickness, ry + thickness, outline, angle)
        points = []
        for i in range(ELLIPSE_POINTS):
            t = 2 * math.pi * i / ELLIPSE_POINTS
            dx, dy = rotate(rx * math.cos(t), ry * math.sin(t), angle)
            points.append((cx + dx, cy + dy))
        self.draw.polygon(self._px(points), fill=rgba(fill))

    def circle(self, cx, cy, r, fill, outline=None, thickness=0.0):
        self.ellipse(cx, cy, r, r, fill, outline=outline, thickness=thickness)

    def capsule(self, x0, y0, x1, y1, radius, fill, outline=None, thickness=0.0):
        """A thick line with round ends."""
        if outline is not None and thickness > 0:
            self.capsule(x0, y0, x1, y1, radius + thickness, outline)
        length = math.hypot(x1 - x0, y1 - y0) or 1.0
        nx, ny = -(y1 - y0) / length * radius, (x1 - x0) / length * radius
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny),
                      (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill)
        self.circle(x0, y0, radius, fill)
        self.circle(x1, y1, radius, fill)

    def polyline(self, points, width, fill):
        """Round-jointed line through points, width in picture pixels."""
        for (x0, y0), (x1, y1) in zip(points, points[1:]):
            self.capsule(x0, y0, x1, y1, width / 2, fill)

    def arc(self, cx, cy, rx, ry, start, end, width, fill, steps=24):
        """Part of an ellipse outline, angles in degrees (0 = right, 90 = down)."""
        points = []
        for i in range(steps + 1):
            t = math.radians(start + (end - start) * i / steps)
            points.append((cx + rx * math.cos(t), cy + ry * math.sin(t)))
        self.polyline(points, width, fill)

    def polygon(self, points, fill):
        self.draw.polygon(self._px(points), fill=rgba(fill))

    def rect(self, x0, y0, x1, y1, fill):
        self.polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill)

    def rounded_rect(self, x0, y0, x1, y1, radius, fill):
        s = self.scale
        self.draw.rounded_rectangle((x0 * s, y0 * s, x1 * s - 1, y1 * s - 1),
                                    radius=radius * s, fill=rgba(fill))

    def star(self, cx, cy, outer, inner, fill, angle=0.0, points=5):
        corners = []
        for i in range(points * 2):
            r = outer if i % 2 == 0 else inner
            corners.append((cx + r * math.sin(math.radians(angle + 180 * i / points)),
                            cy - r * math.cos(math.radians(angle + 180 * i / points))))
        self.polygon(corners, fill)

    def text(self, x, y, text, size, fill, anchor="mm", stroke=0.0, stroke_fill=None,
             font_path=BOLD_FONT):
        font = ImageFont.truetype(font_path, round(size * self.scale))
        self.draw.text((x * self.scale, y * self.scale), text, font=font,
                       fill=rgba(fill), anchor=anchor,
                       stroke_width=round(stroke * self.scale),
                       stroke_fill=rgba(stroke_fill) if stroke_fill else None)

    def result(self):
        """The finished RGBA picture at its real size."""
        return self.image.resize((self.width, self.height), Image.BOX)


# ---------------------------------------------------------------------------
# The rabbit.  Its parts are laid out in pixels of a rabbit at scale 1, about
# fifty pixels from tail to nose; the numbers below are its proportions.

FUR = (246, 196, 140)
FUR_SHADE = (226, 168, 112)       # legs and ear on the far side
CREAM = (255, 246, 232)
INK = (96, 58, 40)                 # outlines, eyes
EAR_PINK = (255, 168, 184)
NOSE_PINK = (240, 96, 128)
BLUSH = (255, 150, 150)
MOUTH_RED = (214, 70, 80)
SHADOW = (222, 222, 214)


@dataclass
class HopPose:
    """Side view of the rabbit facing right, in the middle of a hop.

    tilt: body angle in degrees, positive lifts the nose.
    hind: hind legs swung back from straight down, in degrees.
    front: front legs swung forward from straight down, in degrees.
    ears: ears swung back from upright, in degrees.
    squash: 1 is the normal body, below 1 squashed (landing), above stretched.
    """
    tilt: float
    hind: float
    front: float
    ears: float
    squash: float = 1.0


class _Placed:
    """Turns the rabbit's own coordinates into canvas coordinates."""

    def __init__(self, x, y, scale, tilt):
        self.x, self.y, self.scale, self.tilt = x, y, scale, tilt

    def at(self, lx, ly):
        dx, dy = rotate(lx * self.scale, ly * self.scale, -self.tilt)
        return self.x + dx, self.y + dy

    def size(self, length):
        return length * self.scale

    def angle(self, degrees):
        return degrees - self.tilt


def draw_hopping_rabbit(canvas, x, y, pose, scale=1.0):
    """Draw the rabbit with its body centre at (x, y)."""
    p = _Placed(x, y, scale, pose.tilt)
    line = p.size(1.3)
    body_rx, body_ry = 14 * pose.squash, 11 / pose.squash
    head = (12 * pose.squash, -10 / pose.squash)
    hip = (-6 * pose.squash, 5)
    shoulder = (8 * pose.squash, 6)

    def ellipse(lx, ly, rx, ry, fill, angle=0.0, outline=True):
        cx, cy = p.at(lx, ly)
        canvas.ellipse(cx, cy, p.size(rx), p.size(ry), fill, p.angle(angle),
                       INK if outline else None, line if outline else 0)

    def leg(start, swing, length, radius, fill):
        ex, ey = rotate(0, length, -swing)
        x0, y0 = p.at(*start)
        x1, y1 = p.at(start[0] + ex, start[1] + ey)
        canvas.capsule(x0, y0, x1, y1, p.size(radius), fill, INK, line)
        return start[0] + ex, start[1] + ey

    def hind_foot(offset, fill):
        # the foot trails behind the hip as the leg swings back
        hx, hy = hip[0] + offset, hip[1]
        fx, fy = rotate(3, 8, pose.hind * 0.8)
        ellipse(hx + fx, hy + fy, 7.5, 3.2, fill, -pose.hind * 0.45)

    def ear(base, swing, fill, inner):
        ex, ey = rotate(0, -10.5, swing)
        cx, cy = base[0] + ex, base[1] + ey
        ellipse(cx, cy, 3.8, 10.5, fill, swing)
        if inner:
            ix, iy = rotate(0.4, 1.0, swing)
            ellipse(cx + ix, cy + iy, 1.8, 7.5, EAR_PINK, swing, outline=False)

    # far side first
    ear((head[0] - 5, head[1] - 7), -pose.ears - 12, FUR_SHADE, False)
    leg((shoulder[0] - 2, shoulder[1]), pose.front + 12, 8, 2.4, FUR_SHADE)
    hind_foot(-3, FUR_SHADE)
    # body, tail, near legs
    ellipse(0, 0, body_rx, body_ry, FUR)
    ellipse(-body_rx + 1, -3, 4.6, 4.6, CREAM)
    ellipse(hip[0], hip[1] - 1, 8, 7, FUR)
    hind_foot(0, FUR)
    ellipse(4 * pose.squash, 4, 7, 5, CREAM, outline=False)
    leg(shoulder, pose.front, 8, 2.5, FUR)
    # head
    ellipse(head[0], head[1], 10.5, 9.5, FUR)
    ear((head[0] - 2, head[1] - 7), -pose.ears, FUR, True)
    ellipse(head[0] + 5, head[1] + 3.5, 5, 3.8, CREAM, outline=False)
    ellipse(head[0] + 2.5, head[1] - 2, 1.9, 2.5, INK, outline=False)
    ellipse(head[0] + 3.0, head[1] - 2.9, 0.75, 0.75, WHITE, outline=False)
    ellipse(head[0] + 0.5, head[1] + 3.5, 2.4, 1.5, BLUSH, outline=False)
    ellipse(head[0] + 9.6, head[1] + 1.2, 1.6, 1.3, NOSE_PINK, outline=False)


def draw_rabbit_head(canvas, cx, cy, r, happy=False, line=None, eye_scale=1.0, mouth=True):
    """The rabbit's face seen from the front, head of radius r centred at (cx, cy).

    Small pictures (icons) want bigger eyes and no mouth line.
    """
    line = r * 0.11 if line is None else line
    ear_rx, ear_ry = r * 0.36, r * 0.95
    for side in (-1, 1):
        ex, ey = cx + side * r * 0.42, cy - r * 1.28
        angle = side * (14 if happy else 10)
        canvas.ellipse(ex, ey, ear_rx, ear_ry, FUR, angle, INK, line)
        canvas.ellipse(ex + side * r * 0.02, ey + r * 0.08, ear_rx * 0.5, ear_ry * 0.72,
                       EAR_PINK, angle)
    canvas.ellipse(cx, cy, r * 1.08, r, FUR, outline=INK, thickness=line)
    canvas.ellipse(cx, cy + r * 0.42, r * 0.5, r * 0.36, CREAM)
    eye_dx, eye_y = r * 0.42, cy - r * 0.08
    for side in (-1, 1):
        ex = cx + side * eye_dx
        if happy:
            canvas.arc(ex, eye_y + r * 0.08, r * 0.17, r * 0.15, 200, 340, line * 1.4, INK)
        else:
            canvas.ellipse(ex, eye_y, r * 0.13 * eye_scale, r * 0.17 * eye_scale, INK)
            canvas.circle(ex + r * 0.04 * eye_scale, eye_y - r * 0.07 * eye_scale,
                          r * 0.05 * eye_scale, WHITE)
        canvas.ellipse(cx + side * r * 0.66, cy + r * 0.3, r * 0.2, r * 0.12, BLUSH)
    canvas.ellipse(cx, cy + r * 0.24, r * 0.12, r * 0.09, NOSE_PINK)
    if happy:
        mouth_top = cy + r * 0.36
        canvas.polygon([(cx - r * 0.22, mouth_top), (cx + r * 0.22, mouth_top),
                        (cx + r * 0.16, mouth_top + r * 0.16), (cx, mouth_top + r * 0.24),
                        (cx - r * 0.16, mouth_top + r * 0.16)], MOUTH_RED)
    elif mouth:
        canvas.arc(cx - r * 0.1, cy + r * 0.36, r * 0.1, r * 0.08, 0, 160, line, INK)
        canvas.arc(cx + r * 0.1, cy + r * 0.36, r * 0.1, r * 0.08, 20, 180, line, INK)


def draw_waving_rabbit(canvas, cx, ground, scale=1.0):
    """The rabbit facing us, standing on `ground`, waving its right paw."""
    def s(v):
        return v * scale

    line = s(1.3)
    head_r = s(12.5)
    head_y = ground - s(31)
    body_y = ground - s(12)
    canvas.ellipse(cx, ground - s(1), s(15), s(2.2), SHADOW)
    for side in (-1, 1):
        canvas.ellipse(cx + side * s(6), ground - s(3.2), s(5.2), s(3), FUR, outline=INK,
                       thickness=line)
    canvas.ellipse(cx, body_y, s(10.5), s(9.5), FUR, outline=INK, thickness=line)
    canvas.ellipse(cx, body_y + s(1.5), s(6.5), s(6.5), CREAM)
    # the left paw (on our left) rests against the body
    canvas.capsule(cx - s(8), body_y - s(4), cx - s(11), body_y + s(2), s(2.6), FUR, INK, line)
    draw_rabbit_head(canvas, cx, head_y, head_r, happy=True, line=line)
    # the right paw waves beside the head
    paw_x, paw_y = cx + s(19), head_y + s(2)
    canvas.capsule(cx + s(8), body_y - s(5), paw_x, paw_y, s(2.7), FUR, INK, line)
    canvas.circle(paw_x, paw_y, s(1.2), CREAM)
    for radius in (s(4.5), s(7.5)):
        canvas.arc(paw_x, paw_y, radius, radius, -75, -15, s(1.1), INK)
