#!/usr/bin/env python3
"""Draws the pictures of the backup and scheduling pages with ImageMagick
(convert). Run from anywhere:
    python3 resources/backups/make_art.py"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import FONT_BOLD, Hex, banner, convert_saver, key_corners, tile, tile_glyph, tint  # noqa: E402

GREEN_KEY, KEY = Hex.GREEN_KEY, Hex.KEY
BLUE, BLUE_DARK, SKY, WHITE = Hex.BLUE, Hex.BLUE_DARK, Hex.SKY, Hex.WHITE
save = convert_saver(HERE)


# Button pictures: (normal id, hot id, colour, glyph), 20 x 20 on the key colour.
BUTTONS = [
    (315, 316, '#3c9a4a', '\u21ba', GREEN_KEY),  # restore
    (311, 312, '#c8382e', '\u2716', GREEN_KEY),  # remove
    (300, 301, '#7a8594', '\u2190', GREEN_KEY),  # cancel
    (8047, 8048, '#6a4fb3', '?', GREEN_KEY),     # help
    (320, 321, BLUE, '\u2193', GREEN_KEY),       # backup
    (317, 318, '#e08a1e', '\u25f7', KEY),        # default schedule
    (319, 310, '#1f9bb5', '\u2699', KEY),        # manage schedule
]


def button(colour, glyph, key, name):
    save(['-size', '20x20', 'xc:' + key, '+antialias',
          '-fill', colour, '-draw', 'circle 9.5,9.5 9.5,1',
          '-fill', WHITE, '-font', FONT_BOLD, '-pointsize', '13', '-gravity', 'center',
          '-annotate', '+0+0', glyph], name)


def buttons():
    for normal, hot, colour, glyph, key in BUTTONS:
        button(colour, glyph, key, 'button_%d.bmp' % normal)
        button(tint(colour, 0.3), glyph, key, 'button_%d.bmp' % hot)


def list_headers():
    for nid, width, text in ((332, 241, 'Name'), (333, 249, 'Date and Time')):
        save(['-size', '%dx16' % width, 'gradient:%s-%s' % (WHITE, SKY),
              '-fill', '#a9bfdc', '-draw', 'rectangle 0,15 %d,15' % (width - 1),
              '-draw', 'rectangle %d,0 %d,15' % (width - 1, width - 1),
              '-fill', BLUE_DARK, '-font', FONT_BOLD, '-pointsize', '10', '-annotate', '+6+12', text],
             'header_%d.bmp' % nid)


def banners():
    # One banner per page.
    for nid, title, line in ((16127, 'Auto Backup', 'Undo the repairs of detected items'),
                             (16255, 'Full Backup', 'Back up and restore the whole registry'),
                             (16714, 'IE Favorites', 'Keep a copy of your Internet Explorer favorites'),
                             (16236, 'Scheduler', 'Let Windows start Tamsel every week')):
        save(banner(BLUE, title[0], 24, title, line), 'banner_%d.bmp' % nid)


def tasks():
    for nid, colour, glyph in ((377, '#3c9a4a', '\u21ba'), (378, BLUE, '\u2630'), (8029, '#e08a1e', '\u2605')):
        save(tile(colour) + tile_glyph(glyph, 25) + key_corners(KEY, 48, 48), 'task_%d.bmp' % nid)


def tree_images():
    # Image 0 a folder, image 1 a favorite.
    save(['-size', '32x16', 'xc:' + KEY, '+antialias',
          '-fill', '#d9a520', '-draw', 'rectangle 1,3 6,5', '-draw', 'rectangle 1,5 14,13',
          '-fill', '#f4cf5c', '-draw', 'rectangle 2,6 13,12',
          '-fill', WHITE, '-stroke', '#7a8594', '-draw', 'rectangle 19,1 29,14', '-stroke', 'none',
          '-fill', BLUE, '-draw', 'polygon 24,3 25,6 28,6 26,8 27,11 24,9 21,11 22,8 20,6 23,6'],
         'tree_8031.bmp')


if __name__ == '__main__':
    buttons()
    list_headers()
    banners()
    tasks()
    tree_images()
