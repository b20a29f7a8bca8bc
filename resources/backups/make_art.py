#!/usr/bin/env python3
"""Draws the pictures of the backup and scheduling pages with ImageMagick
(convert). Run from anywhere:
    python3 resources/backups/make_art.py"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
GREEN = '#00ff00'
MAGENTA = '#ff00ff'
BLUE = '#2f6fb7'
BLUE_DARK = '#1c447d'
SKY = '#d0e4fa'
WHITE = '#ffffff'
FONT = 'DejaVu-Sans'
FONT_BOLD = 'DejaVu-Sans-Bold'


def save(args, name):
    subprocess.run(['convert'] + args + ['-alpha', 'off', '-type', 'TrueColor', 'BMP3:' + os.path.join(HERE, name)],
                   check=True)


# Button pictures: (normal id, hot id, colour, glyph), 20 x 20 on the key colour.
BUTTONS = [
    (315, 316, '#3c9a4a', '\u21ba', GREEN),    # restore
    (311, 312, '#c8382e', '\u2716', GREEN),    # remove
    (300, 301, '#7a8594', '\u2190', GREEN),    # cancel
    (8047, 8048, '#6a4fb3', '?', GREEN),       # help
    (320, 321, BLUE, '\u2193', GREEN),         # backup
    (317, 318, '#e08a1e', '\u25f7', MAGENTA),  # default schedule
    (319, 310, '#1f9bb5', '\u2699', MAGENTA),  # manage schedule
]


def tint(colour, amount):
    rgb = [int(colour[i:i + 2], 16) for i in (1, 3, 5)]
    return '#%02x%02x%02x' % tuple(int(c + (255 - c) * amount) for c in rgb)


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
    # One banner per page: 300 dialog units wide at the dialog font's scale.
    for nid, title, line in ((16127, 'Auto Backup', 'Undo the repairs of detected items'),
                             (16255, 'Full Backup', 'Back up and restore the whole registry'),
                             (16714, 'IE Favorites', 'Keep a copy of your Internet Explorer favorites'),
                             (16236, 'Scheduler', 'Let Windows start Tamsel every week')):
        save(['-size', '63x525', 'gradient:%s-%s' % (SKY, WHITE), '-rotate', '-90',
              '-fill', BLUE, '-draw', 'roundrectangle 12,10 54,52 8,8',
              '-fill', WHITE, '-font', FONT_BOLD, '-pointsize', '24', '-annotate', '+24+41', title[0],
              '-fill', BLUE_DARK, '-font', FONT_BOLD, '-pointsize', '17', '-annotate', '+66+30', title,
              '-fill', '#5a6473', '-font', FONT, '-pointsize', '11', '-annotate', '+67+48', line],
             'banner_%d.bmp' % nid)


def tasks():
    for nid, colour, glyph in ((377, '#3c9a4a', '\u21ba'), (378, BLUE, '\u2630'), (8029, '#e08a1e', '\u2605')):
        s = 48
        save(['-size', '%dx%d' % (s, s), 'xc:white',
              '-fill', colour, '-draw', 'roundrectangle 2,2 %d,%d 9,9' % (s - 4, s - 3),
              '-fill', 'white', '-font', FONT_BOLD, '-pointsize', '25', '-gravity', 'center',
              '-annotate', '-1-1', glyph, '-gravity', 'northwest',
              '-fill', MAGENTA, '-fuzz', '0', '-draw', 'color 0,0 floodfill', '-draw', 'color 47,0 floodfill',
              '-draw', 'color 0,47 floodfill', '-draw', 'color 47,47 floodfill'], 'task_%d.bmp' % nid)


def tree_images():
    # Image 0 a folder, image 1 a favorite.
    save(['-size', '32x16', 'xc:' + MAGENTA, '+antialias',
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
