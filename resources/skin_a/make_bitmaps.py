#!/usr/bin/env python3
"""Draws the skin bitmaps of the control kit as 24-bit BMP files.

    make_bitmaps.py            writes the product bitmaps beside this script
    make_bitmaps.py --tests D  also writes the test pictures into folder D

One palette for everything: XP-like blues and greys, magenta as the key.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True
from artlib import KEY, WHITE, blank, circle, line, mix, polygon, write_bmp  # noqa: E402

# The control kit's own blues and greys.
NAVY = (22, 58, 120)
BLUE = (49, 106, 197)
SKY = (120, 170, 232)
ICE = (222, 235, 250)
SLATE = (92, 104, 120)
SILVER = (168, 178, 190)
GREEN = (58, 160, 72)
LIME = (150, 214, 120)


class Canvas:
    def __init__(self, width, height, fill=KEY):
        self.w, self.h = width, height
        self.px = blank(width, height, fill)

    def put(self, x, y, rgb, alpha=1.0):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0:
            if alpha >= 1 or self.px[y][x] == KEY:
                self.px[y][x] = rgb if alpha >= 0.5 or self.px[y][x] != KEY else self.px[y][x]
                return
            old = self.px[y][x]
            self.px[y][x] = tuple(int(round(o + (n - o) * alpha)) for o, n in zip(old, rgb))

    def shape(self, inside, shade):
        """Fills the pixels whose centre samples fall inside; shade(x, y) gives the colour.
        Edges are anti-aliased against what is already drawn, never against the key."""
        for y in range(self.h):
            for x in range(self.w):
                hits = 0
                for sy in range(4):
                    for sx in range(4):
                        if inside(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4):
                            hits += 1
                if hits:
                    self.put(x, y, shade(x + 0.5, y + 0.5), hits / 16)

    def save(self, path):
        write_bmp(path, self.px)


def vertical(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / max(1e-6, y1 - y0))


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def arrows():
    """8009: drop-down arrows, 9 x 9 cells: normal, hot, disabled, up."""
    c = Canvas(36, 9)
    for i, colour in enumerate((SLATE, BLUE, SILVER)):
        x = i * 9
        c.shape(polygon([(x + 1, 2.5), (x + 8, 2.5), (x + 4.5, 6.5)]), lambda *_: colour)
    c.shape(polygon([(28, 6.5), (35, 6.5), (31.5, 2.5)]), lambda *_: SLATE)
    return c


def glossy_disc(c, cx, cy, r, top, bottom, rim):
    c.shape(circle(cx, cy, r), lambda *_: rim)
    c.shape(circle(cx, cy, r - 1.2), vertical(top, bottom, cy - r, cy + r))
    c.shape(lambda x, y: circle(cx, cy - r * 0.35, r * 0.62)(x, y) and y < cy - r * 0.1,
            lambda x, y: mix(WHITE, top, 0.35 + (y - (cy - r)) / r))


def magnifier(c, ox, oy, s, colour):
    c.shape(lambda x, y: circle(ox + 13 * s, oy + 13 * s, 6.5 * s)(x, y)
            and not circle(ox + 13 * s, oy + 13 * s, 4.2 * s)(x, y), lambda *_: colour)
    c.shape(line(ox + 17.5 * s, oy + 17.5 * s, ox + 22.5 * s, oy + 22.5 * s, 3.6 * s), lambda *_: colour)


def scan_button(hot):
    c = Canvas(32, 32)
    if hot:
        glossy_disc(c, 16, 16, 15, SKY, BLUE, NAVY)
        magnifier(c, 3.5, 3.5, 1.0, WHITE)
    else:
        glossy_disc(c, 16, 16, 15, ICE, SILVER, SLATE)
        magnifier(c, 3.5, 3.5, 1.0, NAVY)
    return c


def category_icon():
    """20 x 16: a 14-pixel sheet with room on the right before the caption."""
    c = Canvas(20, 16)
    c.shape(round_rect(1, 2, 15, 14, 2), lambda *_: NAVY)
    c.shape(round_rect(2, 3, 14, 13, 1.5), vertical(ICE, SKY, 3, 13))
    for i, y in enumerate((5, 8, 11)):
        c.shape(rect(4, y, 12 - 2 * (i == 2), y + 1.2), lambda *_: BLUE)
    return c


def task_picture():
    """A drive with a green round-arrow badge: backup and restore."""
    c = Canvas(48, 48)
    c.shape(round_rect(3, 20, 43, 43, 5), lambda *_: NAVY)
    c.shape(round_rect(4.5, 21.5, 41.5, 41.5, 4), vertical(SKY, BLUE, 21, 42))
    c.shape(round_rect(7, 23, 39, 29, 3), vertical(WHITE, SKY, 23, 29))
    c.shape(rect(8, 36, 26, 37.4), lambda *_: NAVY)
    c.shape(circle(35, 36.5, 1.8), lambda *_: LIME)

    cx, cy = 34.0, 14.0
    c.shape(circle(cx, cy, 12), lambda *_: (30, 110, 45))
    c.shape(circle(cx, cy, 10.8), vertical(LIME, GREEN, cy - 11, cy + 11))

    def ring(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.degrees(math.atan2(y - cy, x - cx))
        return 4.6 <= d <= 7.0 and not (-80 < a < -15)
    c.shape(ring, lambda *_: WHITE)
    a = math.radians(-80)
    r = 5.8
    px, py = cx + r * math.cos(a), cy + r * math.sin(a)
    tx, ty = -math.sin(a), math.cos(a)
    nx, ny = math.cos(a), math.sin(a)
    c.shape(polygon([(px + nx * 3.6, py + ny * 3.6), (px - nx * 3.6, py - ny * 3.6),
                     (px + tx * 4.5, py + ty * 4.5)]), lambda *_: WHITE)
    return c


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    arrows().save(os.path.join(here, "xp_arrows.bmp"))
    if len(sys.argv) == 3 and sys.argv[1] == "--tests":
        out = sys.argv[2]
        scan_button(True).save(os.path.join(out, "scan_hot.bmp"))
        scan_button(False).save(os.path.join(out, "scan.bmp"))
        category_icon().save(os.path.join(out, "category.bmp"))
        task_picture().save(os.path.join(out, "task.bmp"))


if __name__ == "__main__":
    main()
