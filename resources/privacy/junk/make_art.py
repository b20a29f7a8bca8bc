#!/usr/bin/env python3
"""Draws the junk file cleaner's and the file shredder's pictures (24-bit BMP,
magenta key where a control draws transparently): title pictures, tabs,
command buttons and the radio strip both views use. Run from anywhere:
    python3 resources/privacy/junk/make_art.py"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PRIVACY = os.path.dirname(HERE)
RES = os.path.dirname(PRIVACY)
sys.path.insert(0, RES)
sys.dont_write_bytecode = True
from artlib import (BLUE, BLUE_DARK, BLUE_LIGHT, GREEN, KEY, ORANGE, SKY, WHITE,  # noqa: E402
                    blank, circle, load_art, mix, polygon, write_bmp)

# The optimizer's button kit.
kit = load_art("optimizer")
GREY, GREY_LIGHT, GREEN_DARK = kit.GREY, kit.GREY_LIGHT, kit.GREEN_DARK
RED, RED_DARK = (200, 60, 50), (140, 30, 24)


def save(folder, name, img):
    write_bmp(os.path.join(PRIVACY, folder, name), img)


def button_set(folder, w, h, colours, ids, gloss=0.48):
    """colours: light, mid, dark, or the looks themselves; ids: normal, hover,
    pressed, disabled; None skips one."""
    shades = colours if isinstance(colours, dict) else kit.looks(*colours)
    for nid, look in zip(ids, ("normal", "hover", "pressed", "disabled")):
        if nid is not None:
            save(folder, "button_%d.bmp" % nid, kit.button(w, h, *shades[look], gloss=gloss))


def title(folder, nid, symbol):
    w, h = 161, 61
    img = blank(w, h, WHITE)
    kit.paint(img, polygon([(0, 0), (1, 0), (0.72, 1), (0, 1)]), kit.gradient(BLUE, BLUE_DARK))
    kit.paint(img, polygon([(0.69, 0), (0.76, 0), (0.48, 1), (0.41, 1)]), BLUE_LIGHT)
    symbol(img, (12, 7, 46, 46))
    save(folder, "title_%d.bmp" % nid, img)


def bin_symbol(img, box):
    kit.paint(img, circle(0.5, 0.5, 0.49), WHITE, box)
    kit.paint(img, polygon([(0.28, 0.32), (0.72, 0.32), (0.66, 0.84), (0.34, 0.84)]), kit.gradient(SKY, BLUE_LIGHT), box)
    kit.paint(img, polygon([(0.22, 0.22), (0.78, 0.22), (0.78, 0.29), (0.22, 0.29)]), BLUE_DARK, box)
    kit.paint(img, polygon([(0.42, 0.14), (0.58, 0.14), (0.58, 0.22), (0.42, 0.22)]), BLUE_DARK, box)
    for x in (0.41, 0.5, 0.59):
        kit.paint(img, polygon([(x - 0.02, 0.4), (x + 0.02, 0.4), (x + 0.02, 0.76), (x - 0.02, 0.76)]), BLUE, box)


def shredder_symbol(img, box):
    kit.paint(img, circle(0.5, 0.5, 0.49), WHITE, box)
    kit.paint(img, polygon([(0.3, 0.12), (0.7, 0.12), (0.7, 0.42), (0.3, 0.42)]), WHITE, box)
    kit.paint(img, polygon([(0.3, 0.12), (0.7, 0.12), (0.7, 0.16), (0.3, 0.16)]), GREY, box)
    kit.paint(img, polygon([(0.16, 0.4), (0.84, 0.4), (0.84, 0.56), (0.16, 0.56)]), BLUE_DARK, box)
    for i in range(6):
        x = 0.27 + i * 0.09
        kit.paint(img, polygon([(x, 0.58), (x + 0.04, 0.58), (x + 0.03, 0.86), (x + 0.01, 0.86)]), ORANGE, box)


def icon_magnifier(img, x, y):
    box = (x, y, 16, 16)
    kit.paint(img, circle(0.42, 0.42, 0.34), BLUE_DARK, box)
    kit.paint(img, circle(0.42, 0.42, 0.24), SKY, box)
    kit.paint(img, polygon([(0.62, 0.7), (0.7, 0.62), (0.96, 0.88), (0.88, 0.96)]), BLUE_DARK, box)


def icon_list(img, x, y):
    box = (x, y, 16, 16)
    kit.paint(img, polygon([(0.1, 0.05), (0.9, 0.05), (0.9, 0.95), (0.1, 0.95)]), BLUE_DARK, box)
    kit.paint(img, polygon([(0.17, 0.12), (0.83, 0.12), (0.83, 0.88), (0.17, 0.88)]), WHITE, box)
    for i in range(4):
        y0 = 0.22 + i * 0.17
        kit.paint(img, polygon([(0.26, y0), (0.74, y0), (0.74, y0 + 0.07), (0.26, y0 + 0.07)]), ORANGE, box)


def tab(nid, selected, icon, hover=False):
    w, h = 108, 26
    img = blank(w, h, KEY)
    top, bottom = (WHITE, WHITE) if selected else ((GREY_LIGHT, (200, 210, 224)) if not hover else (WHITE, SKY))
    kit.paint(img, kit.rounded(0.5, 0.5, w - 2.5, h + 7, 7, w, h), (192, 192, 192), key_edges=True)
    kit.paint(img, kit.rounded(1.5, 1.5, w - 3.5, h + 6, 6, w, h), kit.gradient(top, bottom))
    if selected:
        kit.paint(img, kit.rounded(4, 1.5, w - 6, 4.5, 1.5, w, h), ORANGE)
    icon(img, (w - 2 - 16) // 2, 6)
    save("junk", "tab_%d.bmp" % nid, img)


def radio_strip():
    n = 13
    img = blank(n * 6, n, KEY)
    for frame in range(6):
        checked = frame >= 3
        ring = BLUE_DARK if frame % 3 == 0 else BLUE
        fill = WHITE if frame % 3 != 2 else SKY
        box = (frame * n, 0, n, n)
        kit.paint(img, circle(0.5, 0.5, 0.48), ring, box, key_edges=True)
        kit.paint(img, circle(0.5, 0.5, 0.38), fill, box)
        if checked:
            kit.paint(img, circle(0.5, 0.5, 0.2), GREEN_DARK, box)
    save("junk", "radio_384.bmp", img)


def junk():
    title("junk", 377, bin_symbol)
    tab(381, False, icon_magnifier)
    tab(378, True, icon_magnifier)
    tab(379, False, icon_list)
    tab(380, True, icon_list)
    button_set("junk", 195, 57, (mix(GREEN, WHITE, 0.4), GREEN, GREEN_DARK), (387, 389, 388, None))
    # Stop's disabled look; its other pictures are the evidence page's.
    button_set("junk", 104, 27, (BLUE_LIGHT, BLUE, BLUE_DARK), (None, None, None, 382))
    radio_strip()


def shredder():
    title("shredder", 225, shredder_symbol)
    blue = (BLUE_LIGHT, BLUE, BLUE_DARK)
    button_set("shredder", 96, 28, blue, (284, 283, 282, 292))
    button_set("shredder", 96, 28, blue, (281, 280, 279, 291))
    button_set("shredder", 96, 28, blue, (278, 289, 288, 294))
    button_set("shredder", 96, 28, blue, (287, 286, 290, 293))
    # Shred File: its white text sits on the face, the gloss above it.
    button_set("shredder", 93, 57, kit.deep_orange_looks(), (270, 272, 271, None), gloss=0.3)
    button_set("shredder", 93, 57, ((240, 150, 140), RED, RED_DARK), (275, 277, 276, None))


if __name__ == "__main__":
    junk()
    shredder()
