#!/usr/bin/env python3
"""Draws the pictures of the Windows Update page with ImageMagick (convert):
the Scan, Install and Abort buttons (24-bit BMP; Scan and Install keyed in
magenta, Abort in pure green; no text: the buttons draw their translated
texts over them) and the strip of 16 x 16 state images of the update list on
a magenta mask (8 success, 9 failure, 10 downloading, 11 installing). Run
from anywhere:
    python3 resources/winupdate/make_art.py"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import Hex, convert_saver, key_corners, pill, px  # noqa: E402

MAGENTA, GREEN_KEY = Hex.KEY, Hex.GREEN_KEY
BLUE, GREEN, RED, ORANGE = Hex.BLUE, Hex.GREEN, Hex.RED, Hex.ORANGE
GREY = '#8a94a3'
save = convert_saver(HERE)


def button(name, key, hot, mark):
    """A rounded button with a small sign on the left; corners in the key colour."""
    w, h = px(54, 18)
    cmds = pill(w, h, hot)
    cy = h // 2
    if mark == 'scan':
        cmds += ['-stroke', BLUE, '-strokewidth', '2', '-draw', 'circle 12,%d 17,%d' % (cy - 2, cy - 2),
                 '-strokewidth', '3', '-draw', 'line 16,%d 21,%d' % (cy + 2, cy + 7)]
    elif mark == 'install':
        cmds += ['-stroke', 'none', '-fill', GREEN,
                 '-draw', 'polygon 8,%d 20,%d 14,%d' % (cy - 1, cy - 1, cy + 6),
                 '-draw', 'rectangle 12,%d 16,%d' % (cy - 8, cy - 1)]
    elif mark == 'abort':
        cmds += ['-stroke', RED, '-strokewidth', '3', '-draw', 'line 9,%d 19,%d' % (cy - 5, cy + 5),
                 '-draw', 'line 19,%d 9,%d' % (cy - 5, cy + 5)]
    cmds += ['-stroke', 'none'] + key_corners(key, w, h)
    save(cmds, name)


def state_images(name):
    """Twelve 16 x 16 images side by side on the magenta mask."""
    cmds = ['-size', '%dx16' % (16 * 12), 'xc:' + MAGENTA, '-strokewidth', '1']
    for i in range(8):
        # Plain update sheets, for the list's other uses.
        x = 16 * i
        cmds += ['-fill', 'white', '-stroke', GREY, '-draw', 'rectangle %d,1 %d,14' % (x + 3, x + 12),
                 '-stroke', BLUE, '-draw', 'line %d,5 %d,5' % (x + 5, x + 10), '-draw', 'line %d,8 %d,8' % (x + 5, x + 10)]
    x = 16 * 8   # success
    cmds += ['-fill', GREEN, '-stroke', GREEN, '-draw', 'circle %d,7 %d,1' % (x + 7, x + 7),
             '-fill', 'none', '-stroke', 'white', '-strokewidth', '2',
             '-draw', 'polyline %d,7 %d,10 %d,4' % (x + 4, x + 6, x + 11), '-strokewidth', '1']
    x = 16 * 9   # failure
    cmds += ['-fill', RED, '-stroke', RED, '-draw', 'circle %d,7 %d,1' % (x + 7, x + 7),
             '-stroke', 'white', '-strokewidth', '2',
             '-draw', 'line %d,4 %d,10' % (x + 4, x + 10), '-draw', 'line %d,4 %d,10' % (x + 10, x + 4),
             '-strokewidth', '1']
    x = 16 * 10  # downloading
    cmds += ['-fill', BLUE, '-stroke', 'none',
             '-draw', 'rectangle %d,1 %d,8' % (x + 6, x + 9),
             '-draw', 'polygon %d,8 %d,8 %d,13' % (x + 2, x + 13, x + 7),
             '-draw', 'rectangle %d,14 %d,15' % (x + 2, x + 13)]
    x = 16 * 11  # installing
    cmds += ['-fill', ORANGE, '-stroke', '#9c5a0c', '-draw', 'rectangle %d,5 %d,14' % (x + 2, x + 13),
             '-stroke', 'none', '-fill', 'white', '-draw', 'rectangle %d,8 %d,10' % (x + 5, x + 10),
             '-fill', GREEN, '-draw', 'polygon %d,0 %d,0 %d,5' % (x + 4, x + 11, x + 7)]
    save(cmds, name)


def main():
    for n_in, n_out, key, mark in ((8051, 8050, MAGENTA, 'scan'), (8053, 8052, MAGENTA, 'install'),
                                   (8056, 8055, GREEN_KEY, 'abort')):
        button('button_%d.bmp' % n_in, key, True, mark)
        button('button_%d.bmp' % n_out, key, False, mark)
    state_images('states_426.bmp')


if __name__ == '__main__':
    main()
