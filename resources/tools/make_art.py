#!/usr/bin/env python3
"""Draws the pictures of the startup, browser helper object and uninstall
managers with ImageMagick (convert): the header pictures, the tab buttons and
the page buttons, all 24-bit BMP with a pure green key. The buttons carry no
text: the buttons draw their translated texts over them. Run from anywhere:
    python3 resources/tools/make_art.py"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import FONT, FONT_BOLD, Hex, convert_saver, key_corners, pill, px  # noqa: E402

KEY = Hex.GREEN_KEY
BLUE, BLUE_DARK, GREEN, WHITE = Hex.BLUE, Hex.BLUE_DARK, Hex.GREEN, Hex.WHITE
GREEN_DARK = '#1f5e2a'
GREEN_TAB = '#2e7d3b'
GREY = '#7a8594'
save = convert_saver(HERE)


def button(name, w, h, text, hot, mark):
    """A rounded button with a small sign on the left; text names it only."""
    cmds = pill(w, h, hot)
    cy = h // 2
    if mark == 'tick':
        cmds += ['-stroke', GREEN, '-strokewidth', '3', '-draw', 'polyline 8,%d 12,%d 19,%d' % (cy, cy + 5, cy - 6)]
    elif mark == 'refresh':
        # A circular arrow turning clockwise, clear of the centred text.
        cmds += ['-stroke', GREEN, '-strokewidth', '2', '-fill', 'none',
                 '-draw', 'arc 5,%d 15,%d 330,600' % (cy - 5, cy + 5),
                 '-stroke', 'none', '-fill', GREEN,
                 '-draw', 'polygon 7,%d 7,%d 12,%d' % (cy - 8, cy - 1, cy - 5)]
    cmds += ['-stroke', 'none'] + key_corners(KEY, w, h)
    save(cmds, name)


def tab(name, text, selected):
    w, h = 108, 32
    top, bottom = ('#ffffff', '#ffffff') if selected else (GREEN_TAB, GREEN_DARK)
    cmds = ['-size', '%dx%d' % (w, h), 'xc:' + KEY,
            '(', '-size', '%dx%d' % (w, h + 8), 'gradient:%s-%s' % (top, bottom), ')',
            '-geometry', '+0+0', '-composite',
            '-fill', 'none', '-stroke', '#9db6d6' if selected else GREEN_DARK, '-strokewidth', '1',
            '-draw', 'roundrectangle 0,0 %d,%d 8,8' % (w - 1, h + 8), '-stroke', 'none']
    cmds += ['-fill', KEY, '-fuzz', '0', '-draw', 'color 0,0 floodfill', '-draw', 'color %d,0 floodfill' % (w - 1)]
    save(cmds, name)


def header(name, title, subtitle, sign):
    w, h = px(177, 35)
    cmds = ['-size', '%dx%d' % (w, h), 'xc:white',
            '-fill', BLUE, '-draw', 'roundrectangle 4,6 %d,%d 8,8' % (4 + h - 12, h - 6)]
    c = 4 + (h - 12) // 2
    m = h // 2
    if sign == 'startup':
        cmds += ['-fill', WHITE, '-draw', 'polygon %d,%d %d,%d %d,%d' % (c - 6, m - 10, c - 6, m + 10, c + 10, m)]
    elif sign == 'bho':
        cmds += ['-fill', 'none', '-stroke', WHITE, '-strokewidth', '3',
                 '-draw', 'circle %d,%d %d,%d' % (c, m, c + 10, m), '-draw', 'line %d,%d %d,%d' % (c - 10, m, c + 10, m),
                 '-stroke', 'none']
    else:
        cmds += ['-fill', WHITE, '-draw', 'rectangle %d,%d %d,%d' % (c - 9, m - 8, c + 9, m + 10),
                 '-fill', BLUE, '-draw', 'rectangle %d,%d %d,%d' % (c - 6, m - 4, c + 6, m + 7)]
    cmds += ['-fill', BLUE_DARK, '-font', FONT_BOLD, '-pointsize', '17', '-annotate', '+%d+%d' % (h + 4, h // 2 + 1), title,
             '-fill', GREY, '-font', FONT, '-pointsize', '10', '-annotate', '+%d+%d' % (h + 5, h // 2 + 15), subtitle]
    save(cmds, name)


def main():
    w, h = px(52, 18)
    # Cancel, Remove, Restore and help use the backup pages' pictures.
    for n_in, n_out, text, mark in ((339, 340, 'Run', 'tick'), (5718, 5719, 'Refresh', 'refresh')):
        button('button_%d.bmp' % n_in, w, h, text, True, mark)
        button('button_%d.bmp' % n_out, w, h, text, False, mark)
    tab('tab_337.bmp', 'Remove', True)
    tab('tab_336.bmp', 'Remove', False)
    tab('tab_335.bmp', 'Restore', True)
    tab('tab_338.bmp', 'Restore', False)
    header('header_259.bmp', 'Startup Manager', 'Programs that start with Windows', 'startup')
    header('header_257.bmp', 'BHO Manager', 'Browser helper objects', 'bho')
    header('header_258.bmp', 'Uninstall Manager', 'Installed programs', 'uninstall')


if __name__ == '__main__':
    main()
