#!/usr/bin/env python3
"""Draws the pictures of the Internet Explorer pages with ImageMagick
(convert): the banners of the repairs and help pages and the task pictures of
the IE tools page, in the look of the backup pages. The IE Favorites task
shows the favorites backup page's own picture (resources/backups). Run from
anywhere:
    python3 resources/iepages/make_art.py"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = '#ff00ff'
BLUE = '#2f6fb7'
BLUE_DARK = '#1c447d'
SKY = '#d0e4fa'
GREY = '#5a6473'
WHITE = '#ffffff'
FONT = 'DejaVu-Sans'
FONT_BOLD = 'DejaVu-Sans-Bold'


def save(args, name):
    subprocess.run(['convert'] + args + ['-alpha', 'off', '-type', 'TrueColor', 'BMP3:' + os.path.join(HERE, name)],
                   check=True)


def banners():
    # 300 dialog units wide at the dialog font's scale, as the backup banners.
    for nid, colour, glyph, title, line in (
            (414, '#3c9a4a', '\u21ba', 'IE Recover', 'Put Internet Explorer settings back to their defaults'),
            (8015, '#6a4fb3', '?', 'IE Problems', 'Help articles on common Internet Explorer problems')):
        save(['-size', '63x525', 'gradient:%s-%s' % (SKY, WHITE), '-rotate', '-90',
              '-fill', colour, '-draw', 'roundrectangle 12,10 54,52 8,8',
              '-fill', WHITE, '-font', FONT_BOLD, '-pointsize', '24',
              '-annotate', '+%d+41' % (26 if glyph == '?' else 23), glyph,
              '-fill', BLUE_DARK, '-font', FONT_BOLD, '-pointsize', '17', '-annotate', '+66+30', title,
              '-fill', GREY, '-font', FONT, '-pointsize', '11', '-annotate', '+67+48', line],
             'header_%d.bmp' % nid)


def tile_start(colour):
    s = 48
    return ['-size', '%dx%d' % (s, s), 'xc:white',
            '-fill', colour, '-draw', 'roundrectangle 2,2 %d,%d 9,9' % (s - 4, s - 3)]


def tile_end():
    # The outside becomes the key colour; the buttons take it from the top-left pixel.
    cmds = ['-fill', MAGENTA, '-fuzz', '0']
    for x, y in ((0, 0), (47, 0), (0, 47), (47, 47)):
        cmds += ['-draw', 'color %d,%d floodfill' % (x, y)]
    return cmds


def glyph_tile(nid, colour, glyph, size):
    save(tile_start(colour) + ['-fill', WHITE, '-font', FONT_BOLD, '-pointsize', str(size), '-gravity', 'center',
                               '-annotate', '-1-1', glyph, '-gravity', 'northwest'] + tile_end(),
         'task_%d.bmp' % nid)


def tasks():
    # BHO Manager: a plug, the add-on joined to the browser.
    save(tile_start('#1f9bb5') + [
        '-fill', WHITE, '-draw', 'roundrectangle 13,17 31,31 3,3',
        '-draw', 'rectangle 16,10 19,17', '-draw', 'rectangle 25,10 28,17',
        '-draw', 'rectangle 20,31 24,38', '-draw', 'rectangle 16,37 28,39'] + tile_end(), 'task_1140.bmp')
    # Internet Options: a settings gear.
    glyph_tile(1141, BLUE, '\u2699', 30)
    # IE Recover: the arrow of the repairs page's banner.
    glyph_tile(1142, '#3c9a4a', '\u21ba', 27)
    # IE Problems: the question mark of the help page's banner.
    glyph_tile(8014, '#6a4fb3', '?', 28)


if __name__ == '__main__':
    banners()
    tasks()
