#!/usr/bin/env python3
"""Draws the FIX & Continue button of the scan result page with
ImageMagick (convert). Run from anywhere:
    python3 resources/repair1/make_art.py"""
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.dont_write_bytecode = True
from artlib import FONT_BOLD, Hex, convert_saver  # noqa: E402

save = convert_saver(HERE)


def button(name, text, width, height, key, fill, edge, text_colour):
    """A rounded button on the key colour, with its caption centred."""
    save(['-size', '%dx%d' % (width, height), 'xc:' + key,
          '-fill', fill, '-stroke', edge, '-strokewidth', '1',
          '-draw', 'roundrectangle 0,0 %d,%d 6,6' % (width - 1, height - 1),
          '-stroke', 'none', '-fill', text_colour, '-font', FONT_BOLD, '-pointsize', '12',
          '-gravity', 'center', '-annotate', '+0+0', text, '+antialias'], name)


def main():
    # FIX & Continue: 209 normally, 208 under the pointer; pure green is cut out.
    button('fix_209.bmp', 'FIX & Continue', 132, 28, Hex.GREEN_KEY, Hex.BLUE, Hex.BLUE_DARK, Hex.WHITE)
    button('fix_208.bmp', 'FIX & Continue', 132, 28, Hex.GREEN_KEY, '#4a8ad4', Hex.BLUE_DARK, Hex.WHITE)


if __name__ == '__main__':
    main()
