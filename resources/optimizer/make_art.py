#!/usr/bin/env python3
"""Draws the optimizer library's bitmaps (24-bit BMP; magenta is the key
colour where a control draws a bitmap transparently). Run from anywhere:
    python3 resources/optimizer/make_art.py"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import (BLUE, BLUE_DARK, BLUE_LIGHT, GREEN, KEY, ORANGE, ORANGE_FACE, ORANGE_FOOT, ORANGE_RIM, SKY,  # noqa: E402
                    WHITE, blank, circle, mix, polygon, write_bmp)

GREY = (160, 168, 180)
GREY_LIGHT = (226, 230, 236)
GREEN_DARK = (36, 110, 50)
DISABLED = (GREY_LIGHT, (200, 205, 212), GREY)
SS = 4


def cover(inside, px, py, w, h):
    """Share of the pixel inside the shape; inside takes unit coordinates."""
    hits = 0
    for sy in range(SS):
        for sx in range(SS):
            if inside((px + (sx + 0.5) / SS) / w, (py + (sy + 0.5) / SS) / h):
                hits += 1
    return hits / (SS * SS)


def paint(img, inside, colour, box=None, key_edges=False):
    """Paints a shape into img (or into box = (x, y, w, h) of it). colour is
    an RGB or a function of the unit y. With key_edges, pixels mostly
    outside become the key instead of being smoothed."""
    h, w = len(img), len(img[0])
    bx, by, bw, bh = box or (0, 0, w, h)
    for py in range(bh):
        for px in range(bw):
            a = cover(inside, px, py, bw, bh)
            if a == 0:
                continue
            c = colour((py + 0.5) / bh) if callable(colour) else colour
            old = img[by + py][bx + px]
            if old == KEY:
                img[by + py][bx + px] = c if a >= 0.45 or not key_edges else KEY
            else:
                img[by + py][bx + px] = mix(old, c, a)


def rounded(x0, y0, x1, y1, r, w, h):
    """A rounded rectangle in pixels, as a unit-coordinate test."""
    def inside(u, v):
        x, y = u * w, v * h
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def gradient(top, bottom):
    return lambda t: mix(top, bottom, t)


def button(w, h, top, bottom, border, back=WHITE, gloss=0.48):
    img = blank(w, h, back)
    paint(img, rounded(0.5, 0.5, w - 0.5, h - 0.5, 5, w, h), border)
    paint(img, rounded(1.5, 1.5, w - 1.5, h - 1.5, 4, w, h), gradient(top, bottom))
    # A soft gloss over the upper part (gloss: its share of the height).
    paint(img, rounded(2.5, 2.0, w - 2.5, h * gloss, 3, w, h), gradient(mix(top, WHITE, 0.45), mix(top, WHITE, 0.15)))
    return img


def looks(light, mid, dark, disabled=DISABLED):
    """A push button's (top, bottom, border) shades in each state, from its normal ones."""
    return {
        "normal": (light, mid, dark),
        "hover": (mix(light, WHITE, 0.3), mix(mid, WHITE, 0.2), dark),
        "pressed": (mid, dark, dark),
        "disabled": disabled,
    }


def deep_orange_looks():
    """Orange under white text: the hover only a shade lighter, so the text still reads."""
    return {
        "normal": (ORANGE_FACE, ORANGE_FOOT, ORANGE_RIM),
        "hover": (mix(ORANGE_FACE, WHITE, 0.08), mix(ORANGE_FOOT, WHITE, 0.08), ORANGE_RIM),
        "pressed": (ORANGE_FOOT, ORANGE_RIM, ORANGE_RIM),
    }


def save(name, img):
    write_bmp(os.path.join(HERE, name), img)


def push_buttons():
    go = {
        "normal": (mix(GREEN, WHITE, 0.4), GREEN, GREEN_DARK),
        "hover": (mix(GREEN, WHITE, 0.55), mix(GREEN, WHITE, 0.2), GREEN_DARK),
    }
    images = {k: button(96, 28, *v) for k, v in looks(BLUE_LIGHT, BLUE, BLUE_DARK).items()}
    green = {k: button(96, 28, *v) for k, v in go.items()}
    # Step1, Step2, Reset, Default and Help in blue; Optimize in green.
    ids = {5024: "normal", 5023: "hover", 5038: "disabled",
           5020: "normal", 5019: "hover", 5036: "disabled",
           5028: "normal", 5025: "hover", 5039: "disabled",
           5018: "normal", 5031: "hover", 5035: "disabled",
           5022: "normal", 5021: "hover"}
    for nid, look in ids.items():
        save("button_%d.bmp" % nid, images[look])
    save("button_5032.bmp", green["normal"])
    save("button_5033.bmp", green["hover"])
    save("button_5037.bmp", images["disabled"])
    # One-Click Optimize: two lines of white text, so a face dark enough for
    # white from its first line down and the gloss kept above that line.
    orange = deep_orange_looks()
    save("button_5044.bmp", button(120, 62, *orange["normal"], gloss=0.26))
    save("button_5045.bmp", button(120, 62, *orange["hover"], gloss=0.26))


def icon_globe(img, x, y):
    box = (x, y, 16, 16)
    paint(img, circle(0.5, 0.5, 0.46), BLUE, box)
    paint(img, circle(0.5, 0.5, 0.38), gradient(BLUE_LIGHT, BLUE), box)
    paint(img, polygon([(0.3, 0.2), (0.55, 0.25), (0.5, 0.5), (0.3, 0.55), (0.2, 0.35)]), GREEN, box)
    paint(img, polygon([(0.6, 0.55), (0.8, 0.5), (0.75, 0.8), (0.6, 0.75)]), GREEN, box)


def icon_disk(img, x, y):
    box = (x, y, 16, 16)
    paint(img, polygon([(0.1, 0.3), (0.9, 0.3), (0.9, 0.8), (0.1, 0.8)]), (110, 118, 130), box)
    paint(img, polygon([(0.15, 0.35), (0.85, 0.35), (0.85, 0.6), (0.15, 0.6)]), GREY_LIGHT, box)
    paint(img, circle(0.75, 0.7, 0.06), GREEN, box)


def icon_monitor(img, x, y):
    box = (x, y, 16, 16)
    paint(img, polygon([(0.05, 0.12), (0.95, 0.12), (0.95, 0.72), (0.05, 0.72)]), (70, 78, 92), box)
    paint(img, polygon([(0.12, 0.2), (0.88, 0.2), (0.88, 0.64), (0.12, 0.64)]), gradient(SKY, BLUE_LIGHT), box)
    paint(img, polygon([(0.4, 0.72), (0.6, 0.72), (0.65, 0.88), (0.35, 0.88)]), (70, 78, 92), box)


def icon_folder(img, x, y):
    box = (x, y, 16, 16)
    paint(img, polygon([(0.05, 0.2), (0.4, 0.2), (0.48, 0.3), (0.95, 0.3), (0.95, 0.85), (0.05, 0.85)]),
          (210, 160, 40), box)
    paint(img, polygon([(0.05, 0.42), (0.95, 0.42), (0.95, 0.85), (0.05, 0.85)]), gradient((250, 214, 110), (232, 178, 52)),
          box)


def tabs():
    w, h = 100, 26
    icons = [(5012, icon_globe), (5006, icon_disk), (5008, icon_monitor), (5010, icon_folder)]
    for nid, icon in icons:
        for selected in (False, True):
            img = blank(w, h, KEY)
            top, bottom = (WHITE, WHITE) if selected else (GREY_LIGHT, (200, 210, 224))
            border = (192, 192, 192)
            shape = rounded(1.5, 1.5, w - 3.5, h + 6, 6, w, h)
            paint(img, rounded(0.5, 0.5, w - 2.5, h + 7, 7, w, h), border, key_edges=True)
            paint(img, shape, gradient(top, bottom))
            if selected:
                paint(img, rounded(4, 1.5, w - 6, 4.5, 1.5, w, h), ORANGE)
            icon(img, (w - 2 - 16) // 2, 6)
            save("tab_%d.bmp" % (nid + (1 if selected else 0)), img)


def header():
    w, h = 234, 61
    img = blank(w, h, WHITE)
    paint(img, polygon([(0, 0), (1, 0), (0.78, 1), (0, 1)]), gradient(BLUE, BLUE_DARK))
    paint(img, polygon([(0.74, 0), (0.8, 0), (0.58, 1), (0.52, 1)]), (BLUE_LIGHT))
    # A gauge: dial, scale and needle.
    box = (14, 6, 50, 50)
    paint(img, circle(0.5, 0.5, 0.48), WHITE, box)
    paint(img, circle(0.5, 0.5, 0.41), gradient(SKY, BLUE_LIGHT), box)
    for i in range(7):
        a = math.pi * (0.85 + 1.3 * i / 6)
        cx, cy = 0.5 + 0.33 * math.cos(a), 0.5 + 0.33 * math.sin(a)
        paint(img, circle(cx, cy, 0.035), BLUE_DARK if i < 5 else ORANGE, box)
    a = math.pi * 1.75
    nx, ny = 0.5 + 0.3 * math.cos(a), 0.5 + 0.3 * math.sin(a)
    dx, dy = -math.sin(a) * 0.035, math.cos(a) * 0.035
    paint(img, polygon([(0.5 + dx, 0.5 + dy), (nx, ny), (0.5 - dx, 0.5 - dy)]), ORANGE, box)
    paint(img, circle(0.5, 0.5, 0.06), BLUE_DARK, box)
    # Speed lines.
    for i, y in enumerate((18, 28, 38)):
        x0 = 74 + 8 * i
        paint(img, rounded(x0, y, x0 + 60 - 12 * i, y + 3, 1.5, w, h), mix(BLUE_LIGHT, WHITE, 0.3))
    save("header_5034.bmp", img)


def radio_strip():
    n = 13
    img = blank(n * 6, n, KEY)
    for frame in range(6):
        checked = frame >= 3
        kind = frame % 3
        box = (frame * n, 0, n, n)
        ring = BLUE if kind == 1 else (120, 130, 145)
        fill = (220, 226, 234) if kind == 2 else WHITE
        paint(img, circle(0.5, 0.5, 0.47), ring, box, key_edges=True)
        paint(img, circle(0.5, 0.5, 0.36), fill, box)
        if checked:
            paint(img, circle(0.5, 0.5, 0.2), BLUE_DARK if kind != 1 else BLUE, box)
    save("radio_5001.bmp", img)


def view_buttons():
    blue = looks(BLUE_LIGHT, BLUE, BLUE_DARK)
    go = (mix(GREEN, WHITE, 0.4), GREEN, GREEN_DARK)
    go_hover = (mix(GREEN, WHITE, 0.55), mix(GREEN, WHITE, 0.2), GREEN_DARK)
    # Service Optimize (150 x 62) and the two Help buttons.
    save("button_5040.bmp", button(150, 62, *go))
    save("button_5041.bmp", button(150, 62, *go_hover))
    save("button_5060.bmp", button(172, 31, *blue["normal"]))
    save("button_5061.bmp", button(172, 31, *blue["hover"]))
    save("button_5058.bmp", button(97, 31, *blue["normal"]))
    save("button_5059.bmp", button(97, 31, *blue["hover"]))
    # Deep Defrag 5055 / 5054 / 5053, Fast Defrag 5052 / 5057 / 5056.
    save("button_5055.bmp", button(97, 31, *blue["normal"]))
    save("button_5054.bmp", button(97, 31, *blue["hover"]))
    save("button_5053.bmp", button(97, 31, *DISABLED))
    save("button_5052.bmp", button(97, 31, *go))
    save("button_5057.bmp", button(97, 31, *go_hover))
    save("button_5056.bmp", button(97, 31, *DISABLED))


def service_header():
    w, h = 235, 61
    img = blank(w, h, WHITE)
    paint(img, polygon([(0, 0), (1, 0), (0.78, 1), (0, 1)]), gradient(GREEN, GREEN_DARK))
    paint(img, polygon([(0.74, 0), (0.8, 0), (0.58, 1), (0.52, 1)]), mix(GREEN, WHITE, 0.5))
    # A cog: ring of teeth round a hub.
    box = (14, 6, 50, 50)
    for i in range(8):
        a = math.pi * i / 4
        paint(img, circle(0.5 + 0.38 * math.cos(a), 0.5 + 0.38 * math.sin(a), 0.09), WHITE, box)
    paint(img, circle(0.5, 0.5, 0.36), WHITE, box)
    paint(img, circle(0.5, 0.5, 0.14), GREEN_DARK, box)
    for i, y in enumerate((18, 28, 38)):
        x0 = 74 + 8 * i
        paint(img, rounded(x0, y, x0 + 60 - 12 * i, y + 3, 1.5, w, h), mix(GREEN, WHITE, 0.6))
    save("header_5042.bmp", img)


def finish_picture():
    w = h = 48
    img = blank(w, h, WHITE)
    paint(img, circle(0.5, 0.5, 0.47), gradient(mix(GREEN, WHITE, 0.35), GREEN_DARK))
    paint(img, polygon([(0.24, 0.52), (0.34, 0.42), (0.45, 0.54), (0.7, 0.28), (0.8, 0.38), (0.45, 0.74)]), WHITE)
    save("finish_5048.bmp", img)


if __name__ == "__main__":
    push_buttons()
    tabs()
    header()
    radio_strip()
    finish_picture()
    view_buttons()
    service_header()
