#!/usr/bin/env python3
"""Draws the home page's skin, buttons and category pictures (24-bit BMP)
and the scan page's two animations (GIF). Run from anywhere:
    python3 resources/scanner/make_art.py"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import GREEN_KEY, WHITE, arc, line, load_art, polygon, quantise, rect, write_bmp, write_gif  # noqa: E402

# The drawing kit of the navigation art: canvas, shapes, pictograms.
art = load_art("skin_b")

CYAN_KEY = (0, 255, 255)


def icon(draw, size=16):
    """A category picture on white (the check boxes' transparent colour)."""
    c = art.Canvas(size, size, WHITE)
    draw(c)
    rows = c.pixels()
    # Pure white is the key: keep drawn near-white pixels visible.
    return [[(254, 254, 254) if p == WHITE and c.alpha[y][x] < 1.0 else p for x, p in enumerate(row)]
            for y, row in enumerate(rows)]


def draw_fonts(c):
    c.paint(polygon([(0.12, 0.9), (0.42, 0.1), (0.58, 0.1), (0.88, 0.9), (0.7, 0.9), (0.5, 0.34), (0.3, 0.9)]),
            (art.BLUE, art.BLUE_DARK))
    c.paint(rect(0.3, 0.56, 0.7, 0.68), art.BLUE_DARK)


def draw_shared(c):
    art.draw_cubes(c)


def draw_history(c):
    art.draw_clock(c)


def draw_drivers(c):
    art.draw_chip(c)


def draw_sound(c):
    c.paint(polygon([(0.1, 0.38), (0.3, 0.38), (0.55, 0.15), (0.55, 0.85), (0.3, 0.62), (0.1, 0.62)]),
            (art.BLUE_LIGHT, art.BLUE))
    c.paint(arc(0.55, 0.5, 0.3, 0.08, 40, 140), art.BLUE_DARK)
    c.paint(arc(0.55, 0.5, 0.44, 0.08, 40, 140), art.BLUE_DARK)


def draw_extensions(c):
    art.draw_document(c, art.SKY)
    c.paint(rect(0.32, 0.55, 0.68, 0.66), art.ORANGE)


def draw_associations(c):
    art.draw_document(c)
    c.paint(line(0.3, 0.7, 0.7, 0.3, 0.12), art.GREEN)


def draw_empty_keys(c):
    c.paint(rect(0.1, 0.25, 0.9, 0.85, 0.08), art.GREY_DARK)
    c.paint(rect(0.18, 0.33, 0.82, 0.77, 0.05), WHITE)
    c.paint(rect(0.1, 0.15, 0.45, 0.3, 0.05), art.GREY_DARK)


def draw_select_all(c):
    for i in range(3):
        y = 0.12 + i * 0.28
        c.paint(rect(0.08, y, 0.3, y + 0.22, 0.04), art.BLUE_DARK)
        c.paint(line(0.12, y + 0.11, 0.2, y + 0.18, 0.06), WHITE)
        c.paint(line(0.2, y + 0.18, 0.28, y + 0.04, 0.06), WHITE)
        c.paint(rect(0.4, y + 0.06, 0.92, y + 0.16), art.GREY)


# Category pictures by bitmap id.
CATEGORY_ICONS = {
    283: art.draw_startup, 284: art.draw_uninstall, 285: art.draw_monitor, 286: art.draw_gear,
    287: draw_drivers, 288: draw_extensions, 289: draw_associations, 290: draw_fonts,
    291: art.draw_help, 292: draw_history, 293: art.draw_two_gears, 294: draw_shared,
    295: art.draw_document, 296: draw_sound, 8028: draw_empty_keys,
}


def home_skin(w=8, h=420):
    """White page with a blue band behind the two headline texts; a narrow
    strip that the page tiles across its width."""
    band = 70
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            if y < band:
                t = y / band
                base = tuple(int(round(art.SKY[i] + (WHITE[i] - art.SKY[i]) * t)) for i in range(3))
                row.append(base)
            elif y < band + 2:
                row.append(art.BLUE_LIGHT)
            else:
                row.append(WHITE)
        rows.append(row)
    return rows


def button(w, h, top, bottom, edge, key):
    """A rounded button face, keyed corners."""
    c = art.Canvas(w, h)
    c.paint(lambda x, y: rect(0.0, 0.0, 1.0, 1.0)(x, y) and _rounded(x, y, w, h, 6), edge)
    c.paint(lambda x, y: _rounded(x, y, w, h, 5, 1.5), (top, bottom))
    rows = c.flatten(WHITE)
    return [[key if p == art.KEY else p for p in row] for row in rows]


def _rounded(x, y, w, h, rad, inset=0.0):
    px, py = x * w, y * h
    x0, y0, x1, y1 = inset, inset, w - inset, h - inset
    if not (x0 <= px <= x1 and y0 <= py <= y1):
        return False
    cx = min(max(px, x0 + rad), x1 - rad)
    cy = min(max(py, y0 + rad), y1 - rad)
    return (px - cx) ** 2 + (py - cy) ** 2 <= rad * rad


def large_frames(w=140, h=102, count=8):
    """A magnifier sweeping over rows of registry blocks."""
    frames = []
    for k in range(count):
        c = art.Canvas(w, h, WHITE)
        for row in range(4):
            for col in range(5):
                x0 = (8 + col * 26) / w
                y0 = (10 + row * 22) / h
                c.paint(rect(x0, y0, x0 + 20 / w, y0 + 14 / h, 0.01),
                        (art.BLUE_LIGHT, art.BLUE) if (row * 5 + col) % 3 else (art.GREY_LIGHT, art.GREY), y0,
                        y0 + 14 / h)
        a = 2 * math.pi * k / count
        cx, cy = 0.5 + 0.22 * math.cos(a), 0.45 + 0.2 * math.sin(a)
        s = h / w
        c.paint(line(cx + 0.1 * s, cy + 0.1, cx + 0.25 * s, cy + 0.32, 0.06), art.GREY_DARK)
        c.paint(lambda x, y: ((x - cx) / s) ** 2 + (y - cy) ** 2 <= 0.2 ** 2, art.BLUE_DARK)
        c.paint(lambda x, y: ((x - cx) / s) ** 2 + (y - cy) ** 2 <= 0.15 ** 2, (WHITE, art.SKY), cy - 0.15,
                cy + 0.15)
        frames.append(dict(rows=quantise(c.pixels()), delay=12, disposal=1))
    return frames


def strip_frames(w=409, h=28, count=8):
    """A bar of moving diagonal stripes."""
    frames = []
    for k in range(count):
        rows = []
        for y in range(h):
            row = []
            for x in range(w):
                if y < 3 or y >= h - 3 or x < 2 or x >= w - 2:
                    row.append(art.BLUE_DARK if 2 <= y < h - 2 and 1 <= x < w - 1 else WHITE)
                    continue
                band = ((x + y - k * 4) // 8) % 2
                row.append(art.BLUE if band else art.BLUE_LIGHT)
            rows.append(row)
        frames.append(dict(rows=rows, delay=8, disposal=1))
    return frames


def main():
    write_bmp(os.path.join(HERE, "home_skin.bmp"), home_skin())
    write_bmp(os.path.join(HERE, "scan_now_out.bmp"), button(150, 36, art.GREEN_LIGHT, art.GREEN, (30, 100, 40), GREEN_KEY))
    write_bmp(os.path.join(HERE, "scan_now_in.bmp"), button(150, 36, (170, 230, 170), (80, 180, 90), (30, 100, 40), GREEN_KEY))
    write_bmp(os.path.join(HERE, "abort_out.bmp"), button(116, 28, art.ORANGE_LIGHT, art.ORANGE, (150, 80, 20), CYAN_KEY))
    write_bmp(os.path.join(HERE, "abort_in.bmp"), button(116, 28, (255, 220, 150), (240, 160, 60), (150, 80, 20), CYAN_KEY))
    for nid, draw in CATEGORY_ICONS.items():
        write_bmp(os.path.join(HERE, "category_%d.bmp" % nid), icon(draw))
    write_bmp(os.path.join(HERE, "select_all.bmp"), icon(draw_select_all))
    write_gif(os.path.join(HERE, "scan_large.gif"), 140, 102, large_frames())
    write_gif(os.path.join(HERE, "scan_strip.gif"), 409, 28, strip_frames())


if __name__ == "__main__":
    main()
