#!/usr/bin/env python3
"""Draws the tree list's pictures: check boxes, backgrounds, item images,
header images and arrows (24-bit BMP) and its four cursors (.cur).
Run from anywhere:
    python3 resources/treelist/make_art.py"""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import BLUE, GOLD, KEY, RED, WHITE, blank, circle, polygon, write_bmp  # noqa: E402

FRAME = (28, 81, 128)
BOX_TOP = (220, 220, 215)
BOX_BOTTOM = (255, 255, 255)
TICK = (33, 161, 33)
PART = (115, 190, 115)
GOLD_DARK = (176, 124, 20)
GREY = (122, 133, 148)


def put(rows, x0, y0, inside, colour, w, h):
    """Fills the pixels of a w x h cell at (x0, y0) whose centres lie inside."""
    for y in range(h):
        for x in range(w):
            if inside((x + 0.5) / w, (y + 0.5) / h):
                rows[y0 + y][x0 + x] = colour


def check_boxes():
    """Three 16 x 16 boxes: unchecked, checked, partly checked."""
    rows = blank(48, 16, KEY)
    for n in range(3):
        x0 = n * 16
        for y in range(2, 15):
            t = (y - 2) / 12
            shade = tuple(int(BOX_TOP[i] + (BOX_BOTTOM[i] - BOX_TOP[i]) * t) for i in range(3))
            for x in range(2, 15):
                edge = x in (2, 14) or y in (2, 14)
                rows[y][x0 + x] = FRAME if edge else shade
        if n == 1:
            tick = polygon([(0.25, 0.50), (0.38, 0.40), (0.46, 0.55), (0.72, 0.25), (0.80, 0.36), (0.46, 0.76)])
            put(rows, x0, 0, tick, TICK, 16, 16)
        elif n == 2:
            for y in range(5, 12):
                for x in range(5, 12):
                    rows[y][x0 + x] = PART
    return rows


def background(light, dark):
    """A 64 x 64 tile with a soft diagonal weave."""
    rows = []
    for y in range(64):
        row = []
        for x in range(64):
            t = ((x + y) % 32) / 31.0
            k = 0.5 - abs(t - 0.5)
            row.append(tuple(int(light[i] + (dark[i] - light[i]) * k * 0.5) for i in range(3)))
        rows.append(row)
    return rows


def item_images():
    """Four 16 x 16 images: a closed and an open folder, each plain and selected."""
    rows = blank(64, 16, WHITE)
    closed = polygon([(0.08, 0.30), (0.40, 0.30), (0.48, 0.40), (0.92, 0.40), (0.92, 0.86), (0.08, 0.86)])
    opened = polygon([(0.08, 0.30), (0.40, 0.30), (0.48, 0.40), (0.84, 0.40), (0.84, 0.50), (0.98, 0.50),
                      (0.84, 0.86), (0.08, 0.86)])
    for n, shape in enumerate((closed, closed, opened, opened)):
        put(rows, n * 16, 0, shape, GOLD_DARK, 16, 16)
        inner = polygon([(0.16, 0.46), (0.84, 0.46), (0.84, 0.80), (0.16, 0.80)])
        put(rows, n * 16, 0, inner, GOLD, 16, 16)
        if n in (1, 3):
            put(rows, n * 16, 0, circle(0.78, 0.24, 0.16), BLUE, 16, 16)
    return rows


def header_images():
    """Two 16 x 16 column images: a key and a warning sign."""
    rows = blank(32, 16, KEY)
    put(rows, 0, 0, circle(0.32, 0.40, 0.24), GOLD_DARK, 16, 16)
    put(rows, 0, 0, circle(0.32, 0.40, 0.10), KEY, 16, 16)
    put(rows, 0, 0, polygon([(0.45, 0.46), (0.92, 0.80), (0.84, 0.90), (0.40, 0.56)]), GOLD_DARK, 16, 16)
    put(rows, 16, 0, polygon([(0.5, 0.08), (0.94, 0.90), (0.06, 0.90)]), RED, 16, 16)
    put(rows, 16, 0, polygon([(0.45, 0.35), (0.55, 0.35), (0.53, 0.68), (0.47, 0.68)]), WHITE, 16, 16)
    return rows


def header_arrows():
    """Two 8 x 8 sort arrows: up and down."""
    rows = blank(16, 8, KEY)
    put(rows, 0, 0, polygon([(0.5, 0.15), (0.95, 0.85), (0.05, 0.85)]), GREY, 8, 8)
    put(rows, 8, 0, polygon([(0.05, 0.15), (0.95, 0.15), (0.5, 0.85)]), GREY, 8, 8)
    return rows


ARROW = [
    "#...........",
    "##..........",
    "#o#.........",
    "#oo#........",
    "#ooo#.......",
    "#oooo#......",
    "#ooooo#.....",
    "#oooooo#....",
    "#ooooooo#...",
    "#oooooooo#..",
    "#ooooo#####.",
    "#oo#oo#.....",
    "#o#.#oo#....",
    "##..#oo#....",
    "#....#oo#...",
    ".....#oo#...",
    "......##....",
]

PLUS = [
    "#########",
    "#ooooooo#",
    "#ooo#ooo#",
    "#ooo#ooo#",
    "#o#####o#",
    "#ooo#ooo#",
    "#ooo#ooo#",
    "#ooooooo#",
    "#########",
]

TICK_MARK = [
    "#########",
    "#ooooooo#",
    "#oooooo##",
    "#ooooo#o#",
    "##ooo#oo#",
    "#o#o#ooo#",
    "#oo#oooo#",
    "#ooooooo#",
    "#########",
]

BOX = [
    "##########",
    "#oooooooo#",
    "#o######o#",
    "#oooooooo#",
    "#oooooooo#",
    "##########",
]

SIZE = [
    "......#o#......",
    "......#o#......",
    "...#..#o#..#...",
    "..##..#o#..##..",
    ".#o####o####o#.",
    "#ooooo#o#ooooo#",
    ".#o####o####o#.",
    "..##..#o#..##..",
    "...#..#o#..#...",
    "......#o#......",
    "......#o#......",
]


def stamp(grid, art, x0, y0):
    for y, line in enumerate(art):
        for x, ch in enumerate(line):
            if ch != ".":
                grid[y0 + y][x0 + x] = ch


def write_cursor(path, grid, hot_x, hot_y):
    """32 x 32 monochrome cursor: '#' black, 'o' white, '.' transparent."""
    xor_rows, and_rows = [], []
    for line in reversed(grid):
        xor_bits = and_bits = 0
        for x in range(32):
            ch = line[x]
            xor_bits = (xor_bits << 1) | (1 if ch == "o" else 0)
            and_bits = (and_bits << 1) | (1 if ch == "." else 0)
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    info = struct.pack("<IiiHHIIiiII", 40, 32, 64, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = info + palette + b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(header + entry + image)


def cursor(*parts):
    grid = [["."] * 32 for _ in range(32)]
    for art, x, y in parts:
        stamp(grid, art, x, y)
    return grid


def main():
    out = HERE
    write_bmp(os.path.join(out, "check_boxes.bmp"), check_boxes())
    write_bmp(os.path.join(out, "background.bmp"), background((252, 252, 252), (226, 233, 242)))
    write_bmp(os.path.join(out, "background_off.bmp"), background((214, 214, 214), (190, 190, 190)))
    write_bmp(os.path.join(out, "item_images.bmp"), item_images())
    write_bmp(os.path.join(out, "header_images.bmp"), header_images())
    write_bmp(os.path.join(out, "header_arrows.bmp"), header_arrows())
    write_cursor(os.path.join(out, "button.cur"), cursor((ARROW, 0, 0), (PLUS, 12, 16)), 0, 0)
    write_cursor(os.path.join(out, "check.cur"), cursor((ARROW, 0, 0), (TICK_MARK, 12, 16)), 0, 0)
    write_cursor(os.path.join(out, "header_size.cur"), cursor((SIZE, 8, 10)), 15, 15)
    write_cursor(os.path.join(out, "header_drag.cur"), cursor((ARROW, 0, 0), (BOX, 12, 18)), 0, 0)


if __name__ == "__main__":
    main()
