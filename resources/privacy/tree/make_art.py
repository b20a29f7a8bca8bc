#!/usr/bin/env python3
"""Draws the evidence tree's pictures (24-bit BMP, magenta key): the 37
catalogue images, the expand and check-box strips, the scanning strip and the
done mark. Run from anywhere:
    python3 resources/privacy/tree/make_art.py"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, RES)
sys.dont_write_bytecode = True
from artlib import WHITE, circle, line, load_art, polygon, rect, ring, star, write_bmp  # noqa: E402

# The drawing kit of the navigation art: canvas, shapes, pictograms.
art = load_art("skin_b")

# Image order 0 to 36 and the bitmap id of each.
IMAGE_IDS = [182, 183, 237, 247, 321, 260, 259, 258, 310, 246, 309, 308, 238, 316, 315, 317, 318, 319, 323, 333,
             320, 336, 334, 345, 347, 349, 348, 373, 374, 338, 339, 342, 343, 344, 390, 391, 392]


def flat(c):
    return c.flatten(WHITE)


def draw_window(c, colour=art.BLUE):
    art.framed(c, rect(0.06, 0.12, 0.94, 0.88, 0.08), rect(0.14, 0.3, 0.86, 0.8), (WHITE, art.SKY), 0.3, 0.8,
               edge=colour)


def draw_globe(c):
    art.draw_globe(c)


def draw_bubble(c, colour=art.GREEN):
    c.paint(polygon([(0.2, 0.7), (0.18, 0.95), (0.45, 0.72)]), colour)
    c.paint(rect(0.04, 0.1, 0.96, 0.76, 0.2), colour)
    c.paint(rect(0.12, 0.18, 0.88, 0.68, 0.15), (WHITE, art.GREEN_LIGHT), 0.18, 0.68)


def draw_office(c):
    art.draw_document(c)
    c.paint(rect(0.04, 0.3, 0.5, 0.76, 0.06), art.ORANGE)
    c.paint(rect(0.12, 0.38, 0.42, 0.68), art.ORANGE_LIGHT)


def draw_note(c, colour=art.BLUE_DARK):
    c.paint(circle(0.3, 0.78, 0.16), colour)
    c.paint(circle(0.78, 0.68, 0.16), colour)
    c.paint(rect(0.4, 0.12, 0.5, 0.78), colour)
    c.paint(rect(0.88, 0.06, 0.96, 0.68), colour)
    c.paint(polygon([(0.4, 0.12), (0.96, 0.02), (0.96, 0.2), (0.4, 0.3)]), colour)


def draw_share(c):
    c.paint(line(0.25, 0.5, 0.75, 0.2, 0.1), art.GREY_DARK)
    c.paint(line(0.25, 0.5, 0.75, 0.8, 0.1), art.GREY_DARK)
    for x, y in ((0.22, 0.5), (0.76, 0.2), (0.76, 0.8)):
        c.paint(circle(x, y, 0.18), art.GREEN)
        c.paint(circle(x, y, 0.1), art.GREEN_LIGHT)


def draw_mail(c, colour=art.BLUE):
    art.framed(c, rect(0.04, 0.18, 0.96, 0.82, 0.06), rect(0.1, 0.24, 0.9, 0.76), (WHITE, art.SKY), 0.24,
               0.76, edge=colour)
    c.paint(line(0.1, 0.26, 0.5, 0.56, 0.08), colour)
    c.paint(line(0.5, 0.56, 0.9, 0.26, 0.08), colour)


def draw_apps(c):
    art.draw_cubes(c)


def badge(colour, light, mark):
    """A program: a rounded square of its own colour with a white mark."""
    def draw(c):
        c.paint(rect(0.04, 0.04, 0.96, 0.96, 0.22), colour)
        c.paint(rect(0.12, 0.12, 0.88, 0.88, 0.16), (light, colour), 0.1, 0.9)
        mark(c)
    return draw


def mark_bar(c):
    c.paint(rect(0.3, 0.3, 0.7, 0.42), WHITE)
    c.paint(rect(0.3, 0.58, 0.7, 0.7), WHITE)


def mark_dot(c):
    c.paint(circle(0.5, 0.5, 0.18), WHITE)


def mark_ring(c):
    c.paint(ring(0.5, 0.5, 0.26, 0.09), WHITE)


def mark_play(c):
    c.paint(polygon([(0.36, 0.28), (0.72, 0.5), (0.36, 0.72)]), WHITE)


def mark_down(c):
    c.paint(polygon([(0.3, 0.46), (0.7, 0.46), (0.5, 0.74)]), WHITE)
    c.paint(rect(0.43, 0.24, 0.57, 0.5), WHITE)


def mark_star(c):
    c.paint(star(0.5, 0.52, 0.3, 0.13), WHITE)


def mark_cross(c):
    c.paint(line(0.3, 0.3, 0.7, 0.7, 0.13), WHITE)
    c.paint(line(0.7, 0.3, 0.3, 0.7, 0.13), WHITE)


MARKS = [mark_bar, mark_dot, mark_ring, mark_play, mark_down, mark_star, mark_cross]
COLOURS = [(art.BLUE, art.BLUE_LIGHT), (art.GREEN, art.GREEN_LIGHT), (art.ORANGE, art.ORANGE_LIGHT),
           (art.RED, (240, 150, 140)), ((110, 70, 160), (190, 160, 225)), (art.GREY_DARK, art.GREY_LIGHT)]


def image(k):
    roots = [draw_window, draw_globe, draw_bubble, draw_office, draw_note, draw_share, draw_mail, draw_apps]
    c = art.Canvas(16, 16)
    if k < len(roots):
        roots[k](c)
    else:
        colour, light = COLOURS[k % len(COLOURS)]
        badge(colour, light, MARKS[k % len(MARKS)])(c)
    return flat(c)


def strip(frames):
    rows = []
    for y in range(len(frames[0])):
        row = []
        for f in frames:
            row += f[y]
        rows.append(row)
    return rows


def expand_strip():
    """Collapsed (plus) and expanded (minus) boxes, 9 x 9 each, ANDed on white."""
    frames = []
    for expanded in (False, True):
        f = [[WHITE] * 9 for _ in range(9)]
        for i in range(9):
            f[0][i] = f[8][i] = f[i][0] = f[i][8] = (128, 138, 152)
        for i in range(2, 7):
            f[4][i] = (0, 0, 0)
            if not expanded:
                f[i][4] = (0, 0, 0)
        frames.append(f)
    return strip(frames)


def check_strip():
    """Unchecked, checked and partly checked boxes, 13 x 13 each."""
    frames = []
    edge = (28, 81, 128)
    for state in range(3):
        f = [[WHITE] * 13 for _ in range(13)]
        for i in range(13):
            f[0][i] = f[12][i] = f[i][0] = f[i][12] = edge
        if state == 1:
            for x, y in ((3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4)):
                for d in range(3):
                    f[y + d - 1][x] = (33, 161, 33)
        elif state == 2:
            for y in range(3, 10):
                for x in range(3, 10):
                    f[y][x] = (33, 161, 33)
        frames.append(f)
    return strip(frames)


def spinner():
    frames = []
    for k in range(8):
        c = art.Canvas(16, 16)
        for i in range(8):
            a = math.radians(i * 45)
            age = (k - i) % 8
            colour = art.BLUE_DARK if age == 0 else art.BLUE if age == 1 else art.BLUE_LIGHT if age < 4 else art.GREY_LIGHT
            c.paint(circle(0.5 + 0.34 * math.sin(a), 0.5 - 0.34 * math.cos(a), 0.12), colour)
        frames.append(flat(c))
    return strip(frames)


def done_mark():
    c = art.Canvas(16, 16)
    c.paint(circle(0.5, 0.5, 0.46), art.GREEN)
    c.paint(circle(0.5, 0.5, 0.38), (art.GREEN_LIGHT, art.GREEN), 0.1, 0.9)
    art.check_mark(c)
    return flat(c)


def main():
    for k, nid in enumerate(IMAGE_IDS):
        write_bmp(os.path.join(HERE, "image_%d.bmp" % nid), image(k))
    write_bmp(os.path.join(HERE, "expand_184.bmp"), expand_strip())
    write_bmp(os.path.join(HERE, "check_185.bmp"), check_strip())
    write_bmp(os.path.join(HERE, "scanning_187.bmp"), spinner())
    write_bmp(os.path.join(HERE, "done_188.bmp"), done_mark())


if __name__ == "__main__":
    main()
