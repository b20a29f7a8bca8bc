#!/usr/bin/env python3
"""Draws the main window's skin, its buttons, the splash picture and the
launcher pages' pictures with ImageMagick (convert). Run from anywhere:
    python3 resources/main_window/make_art.py
The skin is cut to the main window's client size below (dialog 102 in the
dialog font, as Wine and Windows lay it out at 96 DPI)."""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
import artlib  # noqa: E402
from artlib import FONT, FONT_BOLD, Hex, convert, convert_saver, key_corners, px, tile_glyph, tint  # noqa: E402

# Client size of dialog 102, the scale of px().
WIDTH, HEIGHT = 700, 600

KEY = Hex.KEY              # magenta: cut out of the window and the buttons
GREEN_KEY = Hex.GREEN_KEY  # the toolbar buttons' key
BLUE, BLUE_DARK, BLUE_LIGHT, SKY, PANEL, WHITE = Hex.BLUE, Hex.BLUE_DARK, Hex.BLUE_LIGHT, Hex.SKY, Hex.PANEL, Hex.WHITE
BLUE_DEEP = '#12305c'
GREY = '#7a8594'
save = convert_saver(HERE)


# ---- The window skin ---------------------------------------------------------------
def skin():
    top_h = px(0, 68)[1]
    bottom_y = px(0, 322)[1]
    bottom_h = HEIGHT - bottom_y
    r = 7
    # Top: a deep blue banner with the name, a light band below for the toolbar.
    banner_h = top_h - 14
    cmds = ['-size', '%dx%d' % (WIDTH, top_h), 'xc:' + PANEL,
            '(', '-size', '%dx%d' % (WIDTH, banner_h), 'gradient:%s-%s' % (BLUE_DEEP, BLUE), ')',
            '-geometry', '+0+0', '-composite',
            # soft arcs on the right of the banner
            '-fill', 'none', '-stroke', '#4f8bd0', '-strokewidth', '2',
            '-draw', 'arc %d,%d %d,%d 200,340' % (WIDTH - 330, -160, WIDTH + 90, banner_h + 60),
            '-stroke', '#3c7bc4', '-draw', 'arc %d,%d %d,%d 200,340' % (WIDTH - 260, -120, WIDTH + 140, banner_h + 90),
            '-stroke', 'none',
            # logo: a rounded badge with a check mark
            '-fill', '#ffffff', '-draw', 'roundrectangle 22,22 %d,%d 9,9' % (22 + 44, 22 + 44),
            '-fill', BLUE, '-draw', 'roundrectangle 26,26 %d,%d 7,7' % (22 + 40, 22 + 40),
            '-stroke', '#ffffff', '-strokewidth', '5', '-fill', 'none',
            '-draw', 'polyline 33,45 41,54 56,34', '-stroke', 'none',
            '-fill', WHITE, '-font', FONT_BOLD, '-pointsize', '30', '-annotate', '+80+53', 'Tamsel',
            '-fill', SKY, '-font', FONT, '-pointsize', '12', '-annotate', '+82+74',
            'Registry cleaner and PC care suite',
            # the line between banner and toolbar band
            '-fill', BLUE_LIGHT, '-draw', 'rectangle 0,%d %d,%d' % (banner_h, WIDTH - 1, banner_h),
            # the frame
            '-fill', BLUE_DEEP, '-draw', 'rectangle 0,0 %d,0' % (WIDTH - 1),
            '-draw', 'rectangle 0,0 0,%d' % (top_h - 1), '-draw', 'rectangle %d,0 %d,%d' % (WIDTH - 1, WIDTH - 1, top_h - 1)]
    cmds += corner_cut(WIDTH, top_h, r, top=True)
    save(cmds, 'skin_top.bmp')
    # Bottom: white strip with the frame and rounded lower corners.
    cmds = ['-size', '%dx%d' % (WIDTH, bottom_h), 'xc:' + WHITE,
            '-fill', BLUE_DEEP, '-draw', 'rectangle 0,%d %d,%d' % (bottom_h - 1, WIDTH - 1, bottom_h - 1),
            '-draw', 'rectangle 0,0 0,%d' % (bottom_h - 1), '-draw', 'rectangle %d,0 %d,%d' % (WIDTH - 1, WIDTH - 1, bottom_h - 1),
            '-fill', GREY, '-font', FONT, '-pointsize', '10', '-annotate', '+12+%d' % (bottom_h - 10),
            'Tamsel 1.0']
    cmds += corner_cut(WIDTH, bottom_h, r, top=False)
    save(cmds, 'skin_bottom.bmp')
    save(['-size', '2x8', 'xc:' + PANEL, '-fill', BLUE_DEEP, '-draw', 'rectangle 0,0 0,7'], 'skin_left.bmp')
    save(['-size', '2x8', 'xc:' + PANEL, '-fill', BLUE_DEEP, '-draw', 'rectangle 1,0 1,7'], 'skin_right.bmp')
    save(['-size', '8x8', 'xc:' + PANEL], 'skin_center.bmp')


def corner_cut(w, h, r, top):
    """Key pixels outside a quarter circle of radius r in two corners, with
    the frame colour on the arc."""
    cmds = []
    rows = range(r) if top else range(h - r, h)
    for y in rows:
        dy = (r - 0.5 - y) if top else (y - (h - r) + 0.5)
        for x in range(r):
            dx = r - 0.5 - x
            d = (dx * dx + dy * dy) ** 0.5
            for xx in (x, w - 1 - x):
                if d > r:
                    cmds += ['-fill', KEY, '-draw', 'point %d,%d' % (xx, y)]
                elif d > r - 1.3:
                    cmds += ['-fill', BLUE_DEEP, '-draw', 'point %d,%d' % (xx, y)]
    return cmds


# ---- Caption and toolbar buttons -------------------------------------------------------
def caption_buttons():
    w, h = 29, 23
    for name, hot, glyph in (('close_out', False, 'x'), ('close_in', True, 'x'),
                             ('minimize_out', False, '_'), ('minimize_in', True, '_')):
        back = ('#d9473c' if glyph == 'x' else '#4f8bd0') if hot else '#2a5d9f'
        # Smoothed against the banner behind them, the outside then keyed.
        cmds = ['-size', '%dx%d' % (w, h), 'xc:#1f4a86',
                '-fill', back, '-stroke', '#9fc3ec', '-strokewidth', '1',
                '-draw', 'roundrectangle 1,1 %d,%d 5,5' % (w - 2, h - 2), '-stroke', WHITE, '-strokewidth', '2']
        if glyph == 'x':
            cmds += ['-draw', 'line 10,7 18,15', '-draw', 'line 18,7 10,15']
        else:
            cmds += ['-draw', 'line 9,15 19,15']
        save(cmds + key_corners(KEY, w, h), name + '.bmp')


def pill(name, w, h, text, hot, key, size=None):
    cmds = artlib.pill(w, h, hot) + ['-stroke', 'none'] + key_corners(key, w, h)
    cmds += ['-fill', BLUE_DARK, '-font', FONT_BOLD, '-pointsize', str(size or max(9, h // 2 - 1)),
             '-gravity', 'center', '-annotate', '+0+0', text]
    save(cmds, name)


def toolbar_buttons():
    w, h = px(44, 18)
    pill('help_out.bmp', w, h, 'Help', False, GREEN_KEY)
    pill('help_in.bmp', w, h, 'Help', True, GREEN_KEY)
    pill('update_out.bmp', w, h, 'Update', False, GREEN_KEY)
    pill('update_in.bmp', w, h, 'Update', True, GREEN_KEY)
    w, h = px(55, 18)
    # The longer caption takes a smaller size to fit the pill.
    pill('easy_out.bmp', w, h, '5 Easy Steps', False, GREEN_KEY, 11)
    pill('easy_in.bmp', w, h, '5 Easy Steps', True, GREEN_KEY, 11)
    w, h = px(8, 9)
    save(['-size', '%dx%d' % (w, h), 'xc:' + WHITE, '-fill', BLUE, '-draw',
          'circle %d,%d %d,%d' % (w // 2, h // 2, w // 2, 1),
          '-stroke', WHITE, '-strokewidth', '1', '-fill', 'none',
          '-draw', 'ellipse %d,%d %d,%d 0,360' % (w // 2, h // 2, w // 5, h // 2 - 1),
          '-draw', 'line 1,%d %d,%d' % (h // 2, w - 2, h // 2)], 'link.bmp')


# ---- Splash ------------------------------------------------------------------------------
def splash():
    w, h = 347, 235
    save(['-size', '%dx%d' % (w, h), 'gradient:%s-%s' % (BLUE, BLUE_DEEP),
          '-fill', WHITE, '-draw', 'roundrectangle 30,70 94,134 12,12',
          '-fill', BLUE, '-draw', 'roundrectangle 35,75 89,129 10,10',
          '-stroke', WHITE, '-strokewidth', '7', '-fill', 'none', '-draw', 'polyline 45,101 57,114 79,86',
          '-stroke', 'none', '-fill', WHITE, '-font', FONT_BOLD, '-pointsize', '40', '-annotate', '+110+115', 'Tamsel',
          '-fill', SKY, '-font', FONT, '-pointsize', '13', '-annotate', '+112+140', 'Registry cleaner and PC care',
          '-fill', BLUE_LIGHT, '-pointsize', '10', '-annotate', '+30+215', 'Version 1.0   Starting...',
          '-fill', BLUE_LIGHT, '-draw', 'rectangle 0,0 %d,0' % (w - 1), '-draw', 'rectangle 0,%d %d,%d' % (h - 1, w - 1, h - 1),
          '-draw', 'rectangle 0,0 0,%d' % (h - 1), '-draw', 'rectangle %d,0 %d,%d' % (w - 1, w - 1, h - 1)],
         'splash.bmp')


# ---- Task button pictures ------------------------------------------------------------------
# id: (colour, glyph) - one rounded tile per tool, a white symbol on it.
TASKS = {
    396: ('#2f6fb7', '\u2699'), 398: ('#e08a1e', '\u25f7'), 358: ('#7a8594', '\u2716'), 385: ('#3c9a4a', '\u2630'),
    397: ('#1f9bb5', '\u21bb'), 386: ('#2f6fb7', '\u2709'), 387: ('#6a4fb3', '?'), 388: ('#3c9a4a', '\u260e'),
    357: ('#2f6fb7', '\u2714'), 8025: ('#c8382e', '\u2691'), 8026: ('#e08a1e', '\u267b'), 8027: ('#5a6473', '\u2702'),
    8049: ('#1f9bb5', '\u2b07'), 372: ('#2f6fb7', '\u2318'), 371: ('#e08a1e', '\u25a6'), 373: ('#3c9a4a', '\u21e9'),
    374: ('#6a4fb3', '\u2139'), 376: ('#1f9bb5', '\u2672'), 375: ('#5a6473', '\u2630'), 368: ('#c8382e', '\u25c9'),
    369: ('#2f6fb7', '\u263a'), 370: ('#6a4fb3', '\u2696'), 367: ('#3c9a4a', '\u2605'), 389: ('#2f6fb7', '\u2699'),
    390: ('#e08a1e', '\u2261'), 391: ('#5a6473', '\u25d4'), 393: ('#3c9a4a', '\u25b6'), 392: ('#c8382e', '\u2197'),
    394: ('#6a4fb3', '\u00b1'), 5716: ('#3c9a4a', '\u25b6'), 5717: ('#c8382e', '\u2716'), 419: ('#2f6fb7', '\u26a1'),
    420: ('#e08a1e', '\u2699'), 8046: ('#1f9bb5', '\u25a4'),
}


def tile(colour, glyph, size, name):
    s = size
    save(artlib.tile(colour, s)
         + ['(', '-size', '%dx%d' % (s - 10, s - 10), 'gradient:%s-%s' % (tint(colour, 0.45), colour), ')',
            '-geometry', '+4+4', '-compose', 'over', '-composite']
         + tile_glyph(glyph, int(s * 0.52)) + key_corners(KEY, s, s), name)


def tasks():
    for nid, (colour, glyph) in TASKS.items():
        tile(colour, glyph, 48, 'task_%d.bmp' % nid)


# ---- Start launcher ----------------------------------------------------------------------------
def launcher():
    w, h = px(167, 18)
    labels = ['Scan the Registry', 'Evidence Cleaner', 'Startup Manager', 'Uninstall Manager', 'System Optimizer']
    glyphs = ['\u2714', '\u2691', '\u25b6', '\u2716', '\u26a1']
    for i, (label, glyph) in enumerate(zip(labels, glyphs)):
        for hot, nid in ((False, 8032 + 2 * i), (True, 8033 + 2 * i)):
            top, bottom = ('#ffffff', '#cfe3fb') if hot else ('#f7faff', '#e3ecf7')
            cmds = ['-size', '%dx%d' % (w, h), 'xc:white',
                    '(', '-size', '%dx%d' % (w - 2, h - 2), 'gradient:%s-%s' % (top, bottom), ')',
                    '-geometry', '+1+1', '-composite',
                    '-fill', 'none', '-stroke', BLUE if hot else '#a9bfdc', '-strokewidth', '1',
                    '-draw', 'roundrectangle 0,0 %d,%d 7,7' % (w - 1, h - 1), '-stroke', 'none',
                    '-fill', BLUE, '-draw', 'roundrectangle 5,4 %d,%d 5,5' % (5 + h - 8, h - 5),
                    '-fill', WHITE, '-font', FONT_BOLD, '-pointsize', str(h // 2), '-gravity', 'west',
                    '-annotate', '+%d+0' % (5 + (h - 8) // 2 - h // 5), glyph,
                    '-fill', BLUE_DARK, '-pointsize', str(h // 2), '-annotate', '+%d+0' % (h + 6), label]
            save(cmds + ['-gravity', 'northwest'] + key_corners(KEY, w, h), 'launch_%d.bmp' % nid)
    w, h = px(300, 60)
    save(['-size', '%dx%d' % (w, h), 'gradient:%s-%s' % (SKY, WHITE), '-rotate', '-90', '-resize', '%dx%d!' % (w, h),
          '-fill', BLUE_DARK, '-font', FONT_BOLD, '-pointsize', '22', '-annotate', '+24+%d' % (h // 2), 'Welcome to Tamsel',
          '-fill', GREY, '-font', FONT, '-pointsize', '12', '-annotate', '+26+%d' % (h // 2 + 24),
          'Five easy steps to a clean and fast computer'], 'launch_8043.bmp')
    w, h = px(110, 146)
    cx, cy = w // 2, h // 2
    save(['-size', '%dx%d' % (w, h), 'xc:' + WHITE,
          '-fill', '#e3ecf7', '-draw', 'circle %d,%d %d,%d' % (cx, cy, cx, cy - min(w, h) // 2 + 4),
          '-fill', BLUE, '-draw', 'polygon %d,%d %d,%d %d,%d %d,%d %d,%d' % (
              cx, cy - 52, cx + 40, cy - 36, cx + 34, cy + 22, cx, cy + 50, cx - 34, cy + 22) + ' %d,%d' % (cx - 40, cy - 36),
          '-stroke', WHITE, '-strokewidth', '9', '-fill', 'none',
          '-draw', 'polyline %d,%d %d,%d %d,%d' % (cx - 18, cy, cx - 4, cy + 15, cx + 20, cy - 16)], 'launch_8042.bmp')
    w, h = px(8, 8)
    save(['-size', '%dx%d' % (w, h), 'xc:' + WHITE, '-fill', BLUE,
          '-draw', 'polygon 2,1 %d,%d 2,%d' % (w - 3, h // 2, h - 2)], 'launch_421.bmp')


# ---- Icons -----------------------------------------------------------------------------------------
def icons():
    tmp = os.path.join(HERE, '_icon_%d.png')
    for s in (16, 32, 48):
        convert(['-size', '%dx%d' % (s, s), 'xc:none', '-fill', BLUE_DEEP,
             '-draw', 'roundrectangle 0,0 %d,%d %d,%d' % (s - 1, s - 1, s // 5, s // 5),
             '-fill', BLUE, '-draw', 'roundrectangle %d,%d %d,%d %d,%d' % (s // 16, s // 16, s - 1 - s // 16, s - 1 - s // 16, s // 6, s // 6),
             '-stroke', WHITE, '-strokewidth', str(max(2, s // 8)), '-fill', 'none',
             '-draw', 'polyline %d,%d %d,%d %d,%d' % (s * 0.24, s * 0.52, s * 0.42, s * 0.72, s * 0.78, s * 0.28),
             tmp % s])
    convert([tmp % 16, tmp % 32, tmp % 48, os.path.join(HERE, 'tamsel.ico')])
    # English flag: blue field, white and red cross.
    convert(['-size', '16x16', 'xc:none', '-fill', '#1c3f94', '-draw', 'rectangle 0,3 15,12',
         '-stroke', WHITE, '-strokewidth', '3', '-draw', 'line 0,3 15,12', '-draw', 'line 15,3 0,12',
         '-stroke', '#c8102e', '-strokewidth', '1', '-draw', 'line 0,3 15,12', '-draw', 'line 15,3 0,12',
         '-stroke', 'none', '-fill', WHITE, '-draw', 'rectangle 6,3 9,12', '-draw', 'rectangle 0,6 15,9',
         '-fill', '#c8102e', '-draw', 'rectangle 7,3 8,12', '-draw', 'rectangle 0,7 15,8', tmp % 0])
    convert([tmp % 0, os.path.join(HERE, 'flag_english.ico')])
    for s in (0, 16, 32, 48):
        os.remove(tmp % s)


if __name__ == '__main__':
    skin()
    caption_buttons()
    toolbar_buttons()
    splash()
    tasks()
    launcher()
    icons()
