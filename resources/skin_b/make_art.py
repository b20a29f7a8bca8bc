#!/usr/bin/env python3
"""Draws the navigation icons (24-bit BMP, magenta key) and the scan
animations (GIF) of the skinned controls. Run from anywhere:
    python3 resources/skin_b/make_art.py [output folder]
The optional folder also receives the small test animation."""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.dont_write_bytecode = True
from artlib import (BLUE, BLUE_DARK, BLUE_LIGHT, GOLD, GREEN, KEY, ORANGE, ORANGE_LIGHT, RED, SKY,  # noqa: E402
                    WHITE, arc, circle, gear, line, polygon, quantise, rect, ring, star, write_bmp, write_gif)

GREY = (122, 133, 148)
GREY_DARK = (70, 78, 92)
GREY_LIGHT = (214, 220, 228)
GREEN_LIGHT = (140, 214, 140)
# Icons are smoothed against the bars' light background, not the key.
BAR_BACK = (226, 233, 242)
SS = 4  # sub-samples per pixel side


class Canvas:
    def __init__(self, w, h, back=None):
        self.w, self.h = w, h
        self.rgb = [[back or (0, 0, 0)] * w for _ in range(h)]
        self.alpha = [[1.0 if back else 0.0] * w for _ in range(h)]

    def paint(self, inside, colour, y0=0.0, y1=1.0):
        """inside(x, y) in unit coordinates; colour is an RGB or a
        (top, bottom) pair for a vertical gradient between y0 and y1."""
        for py in range(self.h):
            for px in range(self.w):
                hits = 0
                for sy in range(SS):
                    for sx in range(SS):
                        if inside((px + (sx + 0.5) / SS) / self.w, (py + (sy + 0.5) / SS) / self.h):
                            hits += 1
                if not hits:
                    continue
                a = hits / (SS * SS)
                c = colour
                if isinstance(colour[0], tuple):
                    t = min(1.0, max(0.0, ((py + 0.5) / self.h - y0) / max(1e-6, y1 - y0)))
                    c = tuple(colour[0][i] + (colour[1][i] - colour[0][i]) * t for i in range(3))
                old = self.rgb[py][px]
                oa = self.alpha[py][px]
                na = a + oa * (1 - a)
                self.rgb[py][px] = tuple((c[i] * a + old[i] * oa * (1 - a)) / na for i in range(3))
                self.alpha[py][px] = na

    def pixels(self):
        """The painted colours, rounded, whatever their coverage."""
        return [[tuple(int(round(v)) for v in self.rgb[y][x]) for x in range(self.w)] for y in range(self.h)]

    def flatten(self, back):
        """Opaque pixels, smoothed over back; mostly-empty pixels become the key."""
        out = []
        for py in range(self.h):
            row = []
            for px in range(self.w):
                a = self.alpha[py][px]
                if a < 0.45:
                    row.append(KEY)
                else:
                    c = self.rgb[py][px]
                    row.append(tuple(int(round(c[i] * a + back[i] * (1 - a))) for i in range(3)))
            out.append(row)
        return out


# ---- the pictograms -----------------------------------------------------------
def framed(c, shape, inner, fill, y0=0.0, y1=1.0, edge=BLUE_DARK):
    c.paint(shape, edge)
    c.paint(inner, fill, y0, y1)


def draw_cubes(c):
    for (x, y) in ((0.08, 0.45), (0.5, 0.45), (0.29, 0.08)):
        framed(c, rect(x, y, x + 0.44, y + 0.44, 0.06), rect(x + 0.07, y + 0.07, x + 0.37, y + 0.37, 0.03),
               (BLUE_LIGHT, BLUE), y, y + 0.44)


def draw_magnifier(c):
    c.paint(line(0.58, 0.58, 0.9, 0.9, 0.16), GREY_DARK)
    c.paint(circle(0.4, 0.4, 0.34), BLUE_DARK)
    c.paint(circle(0.4, 0.4, 0.25), (WHITE, SKY))
    c.paint(arc(0.4, 0.4, 0.2, 0.05, 280, 350), WHITE)


def draw_trash(c):
    framed(c, polygon([(0.18, 0.3), (0.82, 0.3), (0.74, 0.95), (0.26, 0.95)]),
           polygon([(0.26, 0.36), (0.74, 0.36), (0.68, 0.89), (0.32, 0.89)]), (BLUE_LIGHT, BLUE), 0.3, 0.95)
    c.paint(rect(0.1, 0.16, 0.9, 0.27, 0.04), BLUE_DARK)
    c.paint(rect(0.38, 0.06, 0.62, 0.18, 0.03), BLUE_DARK)
    for x in (0.4, 0.5, 0.6):
        c.paint(line(x, 0.45, x, 0.8, 0.05), BLUE_DARK)


def draw_document(c, fill=WHITE):
    framed(c, polygon([(0.16, 0.04), (0.64, 0.04), (0.84, 0.24), (0.84, 0.96), (0.16, 0.96)]),
           polygon([(0.22, 0.1), (0.6, 0.1), (0.78, 0.28), (0.78, 0.9), (0.22, 0.9)]), fill, edge=GREY_DARK)
    c.paint(polygon([(0.6, 0.04), (0.84, 0.28), (0.6, 0.28)]), GREY)


def draw_shredder(c):
    c.paint(rect(0.2, 0.02, 0.8, 0.5), GREY_DARK)
    c.paint(rect(0.25, 0.06, 0.75, 0.5), WHITE)
    for i in range(5):
        x = 0.24 + i * 0.12
        c.paint(rect(x, 0.62, x + 0.07, 0.98), GREY)
    framed(c, rect(0.04, 0.4, 0.96, 0.7, 0.06), rect(0.1, 0.46, 0.9, 0.64, 0.03), (BLUE_LIGHT, BLUE), 0.4, 0.7)


def draw_disk(c, x0=0.1, y0=0.1, s=0.8):
    def r(a, b, cc, d, rad=0.0):
        return rect(x0 + a * s, y0 + b * s, x0 + cc * s, y0 + d * s, rad * s)
    framed(c, r(0, 0, 1, 1, 0.1), r(0.07, 0.07, 0.93, 0.93, 0.06), (BLUE_LIGHT, BLUE), y0, y0 + s)
    c.paint(r(0.22, 0.07, 0.78, 0.38), GREY_LIGHT)
    c.paint(r(0.58, 0.12, 0.7, 0.33), GREY_DARK)
    c.paint(r(0.18, 0.55, 0.82, 0.93, 0.04), WHITE)
    c.paint(r(0.26, 0.66, 0.74, 0.7), GREY_LIGHT)
    c.paint(r(0.26, 0.78, 0.74, 0.82), GREY_LIGHT)


def draw_auto_backup(c):
    draw_disk(c, 0.02, 0.02, 0.68)
    c.paint(circle(0.7, 0.7, 0.29), WHITE)
    c.paint(arc(0.7, 0.7, 0.26, 0.09, 40, 320), GREEN)
    c.paint(polygon([(0.62, 0.38), (0.8, 0.46), (0.62, 0.56)]), GREEN)


def draw_plugin(c):
    framed(c, rect(0.1, 0.3, 0.74, 0.92, 0.08), rect(0.17, 0.37, 0.67, 0.85, 0.05), (BLUE_LIGHT, BLUE), 0.3, 0.92)
    c.paint(circle(0.42, 0.24, 0.13), BLUE_DARK)
    c.paint(circle(0.8, 0.61, 0.13), BLUE_DARK)
    c.paint(circle(0.42, 0.24, 0.07), BLUE_LIGHT)
    c.paint(circle(0.8, 0.61, 0.07), BLUE)


def draw_globe(c, cx=0.5, cy=0.5, r=0.45):
    c.paint(circle(cx, cy, r), BLUE_DARK)
    c.paint(circle(cx, cy, r - 0.07), (SKY, BLUE_LIGHT), cy - r, cy + r)
    c.paint(polygon([(cx - r * 0.6, cy - r * 0.5), (cx - r * 0.05, cy - r * 0.65), (cx + r * 0.1, cy - r * 0.1),
                   (cx - r * 0.25, cy + r * 0.2), (cx - r * 0.55, cy + r * 0.05)]), GREEN)
    c.paint(polygon([(cx + r * 0.25, cy + r * 0.2), (cx + r * 0.7, cy + r * 0.1), (cx + r * 0.5, cy + r * 0.65),
                  (cx + r * 0.2, cy + r * 0.6)]), GREEN)
    c.paint(ring(cx, cy, r - 0.07, 0.03), BLUE)


def draw_globe_repair(c):
    draw_globe(c, 0.44, 0.44, 0.42)
    c.paint(circle(0.74, 0.74, 0.24), RED)
    c.paint(rect(0.69, 0.59, 0.79, 0.89), WHITE)
    c.paint(rect(0.59, 0.69, 0.89, 0.79), WHITE)


def draw_monitor(c):
    framed(c, rect(0.04, 0.08, 0.96, 0.72, 0.06), rect(0.11, 0.15, 0.89, 0.65, 0.02), (SKY, BLUE), 0.15, 0.65)
    c.paint(rect(0.4, 0.72, 0.6, 0.84), GREY)
    c.paint(rect(0.22, 0.84, 0.78, 0.94, 0.03), GREY_DARK)


def draw_shield(c):
    pts = [(0.5, 0.04), (0.9, 0.18), (0.86, 0.55), (0.5, 0.96), (0.14, 0.55), (0.1, 0.18)]
    c.paint(polygon(pts), BLUE_DARK)
    c.paint(polygon([(0.5, 0.12), (0.82, 0.23), (0.78, 0.53), (0.5, 0.86), (0.22, 0.53), (0.18, 0.23)]),
            (BLUE_LIGHT, BLUE), 0.1, 0.9)
    c.paint(line(0.34, 0.5, 0.46, 0.63, 0.1), WHITE)
    c.paint(line(0.46, 0.63, 0.68, 0.34, 0.1), WHITE)


def draw_gear(c, cx=0.5, cy=0.5, r=0.46, fill=(BLUE_LIGHT, BLUE)):
    c.paint(gear(cx, cy, r), BLUE_DARK)
    c.paint(gear(cx, cy, r - 0.07), fill, cy - r, cy + r)
    c.paint(circle(cx, cy, r * 0.36), BLUE_DARK)
    c.paint(circle(cx, cy, r * 0.22), WHITE)


def draw_sliders(c):
    for i, pos in enumerate((0.3, 0.65, 0.45)):
        y = 0.2 + i * 0.3
        c.paint(rect(0.08, y - 0.04, 0.92, y + 0.04, 0.03), GREY)
        framed(c, rect(pos - 0.1, y - 0.13, pos + 0.1, y + 0.13, 0.04), rect(pos - 0.05, y - 0.08, pos + 0.05, y + 0.08),
               BLUE_LIGHT)


def draw_clock(c):
    c.paint(circle(0.5, 0.5, 0.46), BLUE_DARK)
    c.paint(circle(0.5, 0.5, 0.38), (WHITE, SKY))
    for i in range(12):
        a = math.radians(i * 30)
        c.paint(circle(0.5 + 0.3 * math.sin(a), 0.5 - 0.3 * math.cos(a), 0.03), GREY)
    c.paint(line(0.5, 0.5, 0.5, 0.24, 0.08), BLUE_DARK)
    c.paint(line(0.5, 0.5, 0.7, 0.6, 0.08), BLUE_DARK)


def draw_ignore(c):
    draw_document(c)
    for y in (0.3, 0.45, 0.6):
        c.paint(rect(0.3, y, 0.7, y + 0.05), BLUE_LIGHT)
    c.paint(circle(0.7, 0.72, 0.26), RED)
    c.paint(circle(0.7, 0.72, 0.17), WHITE)
    c.paint(line(0.58, 0.84, 0.82, 0.6, 0.08), RED)


def draw_report(c):
    draw_document(c)
    for i, h in enumerate((0.25, 0.45, 0.35)):
        x = 0.3 + i * 0.15
        c.paint(rect(x, 0.82 - h, x + 0.1, 0.82), (BLUE_LIGHT, BLUE), 0.82 - h, 0.82)


def draw_startup(c):
    c.paint(circle(0.5, 0.5, 0.46), GREEN)
    c.paint(circle(0.5, 0.5, 0.39), (GREEN_LIGHT, GREEN), 0.1, 0.9)
    c.paint(polygon([(0.38, 0.26), (0.76, 0.5), (0.38, 0.74)]), WHITE)


def draw_uninstall(c):
    framed(c, rect(0.08, 0.3, 0.78, 0.92, 0.05), rect(0.15, 0.37, 0.71, 0.85, 0.03), (ORANGE_LIGHT, ORANGE),
           0.3, 0.92, edge=ORANGE)
    c.paint(polygon([(0.08, 0.3), (0.22, 0.12), (0.92, 0.12), (0.78, 0.3)]), ORANGE_LIGHT)
    c.paint(circle(0.74, 0.72, 0.24), RED)
    c.paint(rect(0.6, 0.68, 0.88, 0.76), WHITE)


def draw_gauge(c):
    c.paint(circle(0.5, 0.58, 0.46), BLUE_DARK)
    c.paint(circle(0.5, 0.58, 0.39), (WHITE, SKY), 0.12, 1.0)
    c.paint(arc(0.5, 0.58, 0.34, 0.09, 270, 330), GREEN)
    c.paint(arc(0.5, 0.58, 0.34, 0.09, 330, 30), GOLD)
    c.paint(arc(0.5, 0.58, 0.34, 0.09, 30, 90), RED)
    c.paint(line(0.5, 0.58, 0.72, 0.36, 0.08), GREY_DARK)
    c.paint(circle(0.5, 0.58, 0.08), GREY_DARK)


def draw_two_gears(c):
    draw_gear(c, 0.36, 0.38, 0.33)
    draw_gear(c, 0.7, 0.7, 0.26, (ORANGE_LIGHT, ORANGE))


def draw_star(c):
    c.paint(star(0.5, 0.53, 0.48, 0.2), ORANGE)
    c.paint(star(0.5, 0.53, 0.38, 0.15), (GOLD, ORANGE_LIGHT), 0.1, 0.9)


def draw_chip(c):
    for i in range(4):
        x = 0.2 + i * 0.18
        c.paint(rect(x, 0.06, x + 0.07, 0.94), GREY)
    framed(c, rect(0.1, 0.2, 0.9, 0.8, 0.05), rect(0.16, 0.26, 0.84, 0.74, 0.03), (GREY, GREY_DARK), 0.2, 0.8)
    c.paint(circle(0.26, 0.36, 0.05), GREY_LIGHT)


def draw_update(c):
    c.paint(circle(0.5, 0.5, 0.46), BLUE_DARK)
    c.paint(circle(0.5, 0.5, 0.39), (BLUE_LIGHT, BLUE), 0.1, 0.9)
    c.paint(rect(0.42, 0.2, 0.58, 0.52), WHITE)
    c.paint(polygon([(0.26, 0.48), (0.74, 0.48), (0.5, 0.78)]), WHITE)


def draw_help(c):
    c.paint(circle(0.5, 0.5, 0.46), BLUE_DARK)
    c.paint(circle(0.5, 0.5, 0.39), (BLUE_LIGHT, BLUE), 0.1, 0.9)
    c.paint(arc(0.5, 0.38, 0.16, 0.09, 270, 150), WHITE)
    c.paint(line(0.55, 0.5, 0.5, 0.58, 0.09), WHITE)
    c.paint(circle(0.5, 0.74, 0.06), WHITE)


def draw_scan_clean(c):
    draw_document(c)
    for y in (0.3, 0.42, 0.54):
        c.paint(rect(0.3, y, 0.62, y + 0.05), BLUE_LIGHT)
    c.paint(line(0.66, 0.66, 0.92, 0.92, 0.12), GREY_DARK)
    c.paint(circle(0.52, 0.52, 0.24), BLUE_DARK)
    c.paint(circle(0.52, 0.52, 0.17), (WHITE, SKY), 0.3, 0.7)


# Item images of the navigation bars, by index.
ITEM_ICONS = [draw_cubes, draw_magnifier, draw_trash, draw_shredder, draw_auto_backup, draw_disk,
              draw_plugin, draw_globe_repair, draw_globe, draw_monitor, draw_shield, draw_gear,
              draw_sliders, draw_clock, draw_ignore, draw_report, draw_startup, draw_uninstall,
              draw_gauge, draw_two_gears, draw_star, draw_chip, draw_update]
# Folder header images, by index.
FOLDER_ICONS = [draw_scan_clean, draw_globe, draw_monitor, draw_gear, draw_help, draw_disk, draw_gauge]


def strip(painters, size, pad):
    rows = [[] for _ in range(size)]
    for draw in painters:
        inner = size - 2 * pad
        c = Canvas(inner, inner)
        draw(c)
        pix = c.flatten(BAR_BACK)
        for y in range(size):
            for x in range(size):
                iy, ix = y - pad, x - pad
                inside = 0 <= iy < inner and 0 <= ix < inner
                rows[y].append(pix[iy][ix] if inside else KEY)
    return rows


def frame_of(draw, size=24, back=WHITE):
    c = Canvas(size, size, back)
    draw(c)
    return quantise(c.pixels())


def spinner_frame(k):
    def draw(c):
        for i in range(8):
            a = math.radians(i * 45)
            age = (k - i) % 8
            colour = BLUE_DARK if age == 0 else BLUE if age == 1 else BLUE_LIGHT if age == 2 else GREY_LIGHT
            c.paint(circle(0.5 + 0.33 * math.sin(a), 0.5 - 0.33 * math.cos(a), 0.11 if age == 0 else 0.09), colour)
    return draw


def result_frame(colour, light, mark, k):
    def draw(c):
        r = 0.42 + (0.04 if k in (1, 2) else 0.0)
        c.paint(circle(0.5, 0.5, r), colour)
        c.paint(circle(0.5, 0.5, r - 0.07), (light, colour), 0.1, 0.9)
        mark(c)
    return draw


def check_mark(c):
    c.paint(line(0.3, 0.52, 0.44, 0.66, 0.11), WHITE)
    c.paint(line(0.44, 0.66, 0.7, 0.36, 0.11), WHITE)


def bang_mark(c):
    c.paint(line(0.5, 0.27, 0.5, 0.56, 0.12), WHITE)
    c.paint(circle(0.5, 0.71, 0.065), WHITE)


def make_test_gif(path):
    """12 x 10 with three frames: full, offset 4x4 with disposal 2, 2x2 with disposal 3."""
    red, green, blue, white = (255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)
    full = [[red] * 12 for _ in range(10)]
    small = [[green] * 4 for _ in range(4)]
    tiny = [[blue] * 2 for _ in range(2)]
    frames = [dict(rows=full, delay=3, disposal=1), dict(rows=small, x=2, y=3, delay=10, disposal=2),
              dict(rows=tiny, x=8, y=1, delay=50, disposal=3)]
    frames[0]["rows"][0] = [white] + full[0][1:]
    write_gif(path, 12, 10, frames)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    write_bmp(os.path.join(here, "folder_images.bmp"), strip(FOLDER_ICONS, 32, 2))
    write_bmp(os.path.join(here, "item_images.bmp"), strip(ITEM_ICONS, 16, 0))
    write_gif(os.path.join(here, "scanning.gif"), 24, 24,
              [dict(rows=frame_of(spinner_frame(k)), delay=10, disposal=1) for k in range(8)])
    write_gif(os.path.join(here, "found.gif"), 24, 24,
              [dict(rows=frame_of(result_frame(ORANGE, ORANGE_LIGHT, bang_mark, k)), delay=12, disposal=1)
               for k in range(4)])
    write_gif(os.path.join(here, "clean.gif"), 24, 24,
              [dict(rows=frame_of(result_frame(GREEN, GREEN_LIGHT, check_mark, k)), delay=12, disposal=1)
               for k in range(4)])
    if len(sys.argv) > 1:
        make_test_gif(os.path.join(sys.argv[1], "three_frames.gif"))


if __name__ == "__main__":
    main()
