#!/usr/bin/env python3
"""Draws the evidence cleaner's and the cleaning progress dialog's pictures:
command buttons, the dialog's background and progress cells (24-bit BMP,
magenta key) and the two animations (GIF). Run from anywhere:
    python3 resources/privacy/evidence/make_art.py"""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, RES)
sys.dont_write_bytecode = True
from artlib import (BLUE, BLUE_DARK, BLUE_LIGHT, GREEN, KEY, ORANGE, ORANGE_LIGHT, WHITE,  # noqa: E402
                    blank, line, load_art, mix, polygon, quantise, rect, write_bmp, write_gif)

# The navigation art's canvas and shapes, and the optimizer's button kit.
art = load_art("skin_b")
kit = load_art("optimizer")
GREEN_LIGHT, GREY_LIGHT = art.GREEN_LIGHT, art.GREY_LIGHT
DISABLED = (GREY_LIGHT, (200, 205, 212), kit.GREY)


def save(name, img):
    write_bmp(os.path.join(HERE, name), img)


def button_set(w, h, colours, ids, back=WHITE):
    """ids: normal, hover, pressed, disabled (a repeated id is drawn once)."""
    shades = kit.looks(*colours, DISABLED)
    for nid, look in zip(ids, ("normal", "hover", "pressed", "disabled")):
        save("button_%d.bmp" % nid, kit.button(w, h, *shades[look], back=back))


def page_buttons():
    blue = (BLUE_LIGHT, BLUE, BLUE_DARK)
    green = (mix(GREEN, WHITE, 0.4), GREEN, (36, 110, 50))
    orange = (ORANGE_LIGHT, ORANGE, (170, 96, 16))
    button_set(104, 27, green, (207, 210, 209, 180))       # Scan
    button_set(104, 27, blue, (214, 213, 212, 211))        # Delete
    button_set(104, 27, orange, (215, 218, 217, 216))      # Delete all
    shades = kit.looks(*orange, DISABLED)  # Stop: normal, then hover for the rest
    save("button_273.bmp", kit.button(104, 27, *shades["normal"]))
    save("button_274.bmp", kit.button(104, 27, *shades["hover"]))
    # The choice buttons carry a white caption too: a lighter blue than Delete.
    light = (mix(BLUE_LIGHT, WHITE, 0.2), mix(BLUE, BLUE_LIGHT, 0.35), BLUE)
    for ids in ((327, 326, 325), (324, 332, 331), (330, 329, 328)):
        shades = kit.looks(*light, DISABLED)
        save("button_%d.bmp" % ids[0], kit.button(131, 21, *shades["normal"]))
        save("button_%d.bmp" % ids[1], kit.button(131, 21, *shades["hover"]))
        save("button_%d.bmp" % ids[2], kit.button(131, 21, *shades["pressed"]))
    # The dialog's Exit and second button, drawn on the dialog's panel colour.
    back = (236, 241, 248)
    button_set(64, 20, blue, (239, 241, 240, 240), back)
    button_set(64, 20, orange, (242, 244, 243, 243), back)


def background(w=429, h=302):
    """The progress dialog: a rounded panel with a title band; magenta corners."""
    img = blank(w, h, KEY)
    kit.paint(img, kit.rounded(0.5, 0.5, w - 0.5, h - 0.5, 9, w, h), BLUE_DARK, key_edges=True)
    kit.paint(img, kit.rounded(1.5, 1.5, w - 1.5, h - 1.5, 8, w, h), kit.gradient(WHITE, (226, 234, 245)))
    # The animation's area stays white, as the animation itself.
    kit.paint(img, kit.rounded(1.5, 1.5, w - 1.5, 168, 8, w, h), WHITE)
    kit.paint(img, kit.rounded(8, 170, w - 8, 243, 5, w, h), (214, 224, 238))
    kit.paint(img, kit.rounded(9, 171, w - 9, 242, 4, w, h), WHITE)
    # The groove under the ten cells at (90, 150).
    kit.paint(img, kit.rounded(86, 147, 334, 164, 3, w, h), (150, 166, 190))
    kit.paint(img, kit.rounded(87, 148, 333, 163, 3, w, h), (244, 247, 251))
    return img


def cells():
    """Lit cell (x 0) and unlit cell (x 24), 24 x 11 each."""
    img = blank(48, 11, (244, 247, 251))
    kit.paint(img, kit.rounded(1, 1, 23, 10, 2, 48, 11), kit.gradient(GREEN_LIGHT, GREEN))
    kit.paint(img, kit.rounded(25, 1, 47, 10, 2, 48, 11), (214, 220, 228))
    return img


def page_animation(w=103, h=75, count=8):
    """A magnifier sweeping over a document (the page's scan animation)."""
    frames = []
    for k in range(count):
        c = art.Canvas(w, h, WHITE)
        s = h / w
        c.paint(polygon([(0.5 - 0.3 * s, 0.08), (0.5 + 0.2 * s, 0.08), (0.5 + 0.3 * s, 0.22),
                         (0.5 + 0.3 * s, 0.92), (0.5 - 0.3 * s, 0.92)]), art.GREY)
        c.paint(polygon([(0.5 - 0.27 * s, 0.11), (0.5 + 0.19 * s, 0.11), (0.5 + 0.27 * s, 0.23),
                         (0.5 + 0.27 * s, 0.89), (0.5 - 0.27 * s, 0.89)]), WHITE)
        for i in range(6):
            y = 0.28 + i * 0.1
            c.paint(rect(0.5 - 0.2 * s, y, 0.5 + 0.2 * s, y + 0.035), art.GREY_LIGHT)
        a = 2 * math.pi * k / count
        cx, cy = 0.5 + 0.14 * math.cos(a), 0.5 + 0.2 * math.sin(a)
        c.paint(line(cx + 0.1 * s, cy + 0.12, cx + 0.24 * s, cy + 0.34, 0.07), art.GREY_DARK)
        c.paint(lambda x, y: ((x - cx) / s) ** 2 + (y - cy) ** 2 <= 0.19 ** 2, BLUE_DARK)
        c.paint(lambda x, y: ((x - cx) / s) ** 2 + (y - cy) ** 2 <= 0.14 ** 2, (WHITE, art.SKY), cy - 0.14,
                cy + 0.14)
        frames.append(dict(rows=quantise(c.pixels()), delay=12, disposal=1))
    return frames


def sweep_animation(w=256, h=130, count=8):
    """A broom sweeping dust off a sheet (the progress dialog's animation)."""
    back = WHITE
    frames = []
    for k in range(count):
        c = art.Canvas(w, h, back)
        s = h / w
        c.paint(rect(0.08, 0.78, 0.92, 0.86, 0.02), (214, 224, 238))
        t = math.sin(2 * math.pi * k / count)
        bx = 0.5 + 0.18 * t
        c.paint(line(bx + 0.12, 0.08, bx, 0.62, 0.025), (150, 100, 50))
        c.paint(polygon([(bx - 0.09, 0.58), (bx + 0.09, 0.58), (bx + 0.12, 0.8), (bx - 0.12, 0.8)]), ORANGE)
        c.paint(polygon([(bx - 0.07, 0.62), (bx + 0.07, 0.62), (bx + 0.09, 0.76), (bx - 0.09, 0.76)]),
                ORANGE_LIGHT)
        for i in range(7):
            dx = bx - 0.16 - 0.05 * i if t >= 0 else bx + 0.16 + 0.05 * i
            dy = 0.76 - 0.05 * ((i + k) % 3)
            c.paint(lambda x, y, dx=dx, dy=dy: ((x - dx) / s) ** 2 + (y - dy) ** 2 <= 0.018 ** 2, art.GREY)
        frames.append(dict(rows=quantise(c.pixels()), delay=12, disposal=1))
    return frames


def main():
    page_buttons()
    save("progress_236.bmp", background())
    save("cells_254.bmp", cells())
    write_gif(os.path.join(HERE, "scan_206.gif"), 103, 75, page_animation())
    write_gif(os.path.join(HERE, "sweep_245.gif"), 256, 130, sweep_animation())


if __name__ == "__main__":
    main()
