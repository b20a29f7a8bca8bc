#!/usr/bin/env python3
"""Draws the FIX & Continue button of the scan result page with
ImageMagick (convert). Run from anywhere:
    python3 resources/repair1/make_art.py"""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
FONT_BOLD = 'DejaVu-Sans-Bold'


def button(name, text, width, height, key, fill, edge, text_colour):
    """A rounded button on the key colour, with its caption centred."""
    path = os.path.join(HERE, name)
    subprocess.run(['convert', '-size', '%dx%d' % (width, height), 'xc:' + key,
                    '-fill', fill, '-stroke', edge, '-strokewidth', '1',
                    '-draw', 'roundrectangle 0,0 %d,%d 6,6' % (width - 1, height - 1),
                    '-stroke', 'none', '-fill', text_colour, '-font', FONT_BOLD, '-pointsize', '12',
                    '-gravity', 'center', '-annotate', '+0+0', text,
                    '+antialias', '-type', 'TrueColor', 'BMP3:' + path], check=True)


def main():
    # FIX & Continue: 209 normally, 208 under the pointer; pure green is cut out.
    button('fix_209.bmp', 'FIX & Continue', 132, 28, '#00ff00', '#2f6fb7', '#1c447d', '#ffffff')
    button('fix_208.bmp', 'FIX & Continue', 132, 28, '#00ff00', '#4a8ad4', '#1c447d', '#ffffff')


if __name__ == '__main__':
    main()
