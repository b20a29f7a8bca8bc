#!/usr/bin/env python3
"""Draws the general settings page's pictures and its Check Update button with
ImageMagick (convert). Run from anywhere:
    python3 resources/kit/make_art.py
Sizes follow the page's dialog units in the Verdana 9 dialog font (1.75
pixels per unit, as the main window's skin is cut)."""
import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import FONT_BOLD, Hex, convert_saver, key_corners  # noqa: E402

BLUE, BLUE_DARK, SKY, PANEL, WHITE, GREEN_KEY = Hex.BLUE, Hex.BLUE_DARK, Hex.SKY, Hex.PANEL, Hex.WHITE, Hex.GREEN_KEY
save = convert_saver(HERE)


def gear(cx, cy, r, colour, hole):
    """A cog: a ring of eight teeth around a disc with a hole."""
    cmds = ['-fill', colour, '-stroke', 'none']
    for i in range(8):
        a = i * math.pi / 4
        x, y = cx + math.cos(a) * r * 1.05, cy + math.sin(a) * r * 1.05
        cmds += ['-draw', 'circle %d,%d %d,%d' % (x, y, x + r * 0.28, y)]
    cmds += ['-draw', 'circle %d,%d %d,%d' % (cx, cy, cx + r, cy)]
    cmds += ['-fill', hole, '-draw', 'circle %d,%d %d,%d' % (cx, cy, cx + r * 0.42, cy)]
    return cmds


def header():
    # 300 x 55 units across the top of the page.
    w, h = 525, 96
    cmds = ['-size', '%dx%d' % (w, h), 'gradient:%s-%s' % (BLUE, BLUE_DARK)]
    cmds += gear(w - 70, 48, 30, SKY, BLUE_DARK)
    cmds += gear(w - 120, 30, 16, PANEL, BLUE)
    cmds += ['-fill', WHITE, '-draw', 'rectangle 0,%d %d,%d' % (h - 4, w, h - 3)]
    save(cmds, 'settings_header.bmp')


def side():
    # 95 x 120 units at the right of the options.
    w, h = 166, 210
    cmds = ['-size', '%dx%d' % (w, h), 'xc:' + WHITE]
    cmds += ['-fill', PANEL, '-draw', 'roundrectangle 8,8 %d,%d 14,14' % (w - 8, h - 8)]
    cmds += gear(w // 2, h // 2 - 10, 40, BLUE, PANEL)
    cmds += gear(w // 2 + 38, h // 2 + 48, 20, SKY, PANEL)
    save(cmds, 'settings_side.bmp')


def button(name, face, text):
    # 66 x 18 units; green is cut away. Drawn on the page's white and keyed
    # after, so the smoothed corners blend into white, not into green.
    w, h = 115, 31
    cmds = ['-size', '%dx%d' % (w, h), 'xc:' + WHITE]
    cmds += ['-fill', face, '-stroke', BLUE_DARK, '-draw', 'roundrectangle 0,0 %d,%d 7,7' % (w - 1, h - 1)]
    cmds += ['-stroke', 'none'] + key_corners(GREEN_KEY, w, h)
    cmds += ['-stroke', 'none', '-fill', text, '-font', FONT_BOLD, '-pointsize', '11', '-gravity', 'center',
             '-annotate', '+0+0', 'Check Update']
    save(cmds, name)


if __name__ == '__main__':
    header()
    side()
    button('update_button_out.bmp', BLUE, WHITE)
    button('update_button_in.bmp', SKY, BLUE_DARK)
