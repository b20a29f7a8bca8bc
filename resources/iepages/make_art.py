#!/usr/bin/env python3
"""Draws the pictures of the Internet Explorer pages with ImageMagick
(convert): the banners of the repairs and help pages and the task pictures of
the IE tools page, in the look of the backup pages. The IE Favorites task
shows the favorites backup page's own picture (resources/backups). Run from
anywhere:
    python3 resources/iepages/make_art.py"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import Hex, banner, convert_saver, key_corners, tile, tile_glyph  # noqa: E402

BLUE, KEY, WHITE = Hex.BLUE, Hex.KEY, Hex.WHITE
save = convert_saver(HERE)


def banners():
    # As the backup banners.
    for nid, colour, glyph, title, line in (
            (414, '#3c9a4a', '\u21ba', 'IE Recover', 'Put Internet Explorer settings back to their defaults'),
            (8015, '#6a4fb3', '?', 'IE Problems', 'Help articles on common Internet Explorer problems')):
        save(banner(colour, glyph, 26 if glyph == '?' else 23, title, line), 'header_%d.bmp' % nid)


def glyph_tile(nid, colour, glyph, size):
    # The outside becomes the key colour; the buttons take it from the top-left pixel.
    save(tile(colour) + tile_glyph(glyph, size) + key_corners(KEY, 48, 48), 'task_%d.bmp' % nid)


def tasks():
    # BHO Manager: a plug, the add-on joined to the browser.
    save(tile('#1f9bb5') + [
        '-fill', WHITE, '-draw', 'roundrectangle 13,17 31,31 3,3',
        '-draw', 'rectangle 16,10 19,17', '-draw', 'rectangle 25,10 28,17',
        '-draw', 'rectangle 20,31 24,38', '-draw', 'rectangle 16,37 28,39'] + key_corners(KEY, 48, 48), 'task_1140.bmp')
    # Internet Options: a settings gear.
    glyph_tile(1141, BLUE, '\u2699', 30)
    # IE Recover: the arrow of the repairs page's banner.
    glyph_tile(1142, '#3c9a4a', '\u21ba', 27)
    # IE Problems: the question mark of the help page's banner.
    glyph_tile(8014, '#6a4fb3', '?', 28)


def help_picture():
    # Lower right of the help page: a speech bubble asking a question, in the
    # colour of the help page's banner, on the page's white.
    save(['-size', '64x64', 'xc:white', '-fill', '#6a4fb3',
          '-draw', 'roundrectangle 4,6 59,46 12,12',
          '-draw', 'polygon 16,44 14,58 30,44',
          '-fill', WHITE, '-font', 'DejaVu-Sans-Bold', '-pointsize', '30', '-gravity', 'north',
          '-annotate', '+0+8', '?', '-gravity', 'northwest'], 'picture_8024.bmp')


if __name__ == '__main__':
    banners()
    tasks()
    help_picture()
