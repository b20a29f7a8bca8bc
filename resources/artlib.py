"""Helpers shared by the scripts that draw the resource pictures
(resources/*/make_art.py, resources/skin_a/make_bitmaps.py): the house
palette, the BMP and GIF writers, the shape tests of the pictures drawn pixel
by pixel and the pieces of the ImageMagick (convert) pipelines.

Each script puts this folder on sys.path itself, so it runs from any folder."""
import importlib.util
import math
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))

# ---- palette ----------------------------------------------------------------
KEY = (255, 0, 255)      # magenta: cut out where a control draws a picture transparently
GREEN_KEY = (0, 255, 0)  # the key of the buttons cut out in pure green
WHITE = (255, 255, 255)
BLUE = (47, 111, 183)
BLUE_DARK = (28, 68, 125)
BLUE_LIGHT = (141, 184, 232)
SKY = (208, 228, 250)
PANEL = (233, 239, 247)
GREEN = (60, 154, 74)
ORANGE = (224, 138, 30)
ORANGE_LIGHT = (250, 200, 110)
# An orange face, its foot and rim, dark enough under a button's white text.
ORANGE_FACE, ORANGE_FOOT, ORANGE_RIM = (212, 122, 24), (186, 104, 18), (150, 84, 12)
RED = (200, 56, 46)
GOLD = (240, 190, 40)


def hex_colour(rgb):
    return '#%02x%02x%02x' % rgb


class Hex:
    """The palette in ImageMagick's #rrggbb notation."""


for _name in ('KEY', 'GREEN_KEY', 'WHITE', 'BLUE', 'BLUE_DARK', 'BLUE_LIGHT', 'SKY', 'PANEL', 'GREEN', 'ORANGE',
              'ORANGE_LIGHT', 'RED', 'GOLD'):
    setattr(Hex, _name, hex_colour(globals()[_name]))


# ---- pixel rows --------------------------------------------------------------
def mix(a, b, t):
    """a moved towards b by t (clamped to 0..1), rounded to whole components."""
    t = max(0.0, min(1.0, t))
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def blank(w, h, colour):
    """Rows of pixels, top row first, all one colour."""
    return [[colour] * w for _ in range(h)]


# ---- another folder's drawing kit ---------------------------------------------
def load_art(folder):
    """Another folder's make_art.py as a module, for its drawing kit (its main does not run)."""
    spec = importlib.util.spec_from_file_location(folder + "_art", os.path.join(HERE, folder, "make_art.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


# ---- files ------------------------------------------------------------------
def write_bmp(path, rows):
    """Writes rows of (r, g, b) pixels, top row first, as a 24-bit bottom-up BMP file."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# ---- GIF ----------------------------------------------------------------------
def lzw(indices, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    table = {(i,): i for i in range(clear)}
    size, next_code = min_size + 1, end + 1
    out, acc, nbits = bytearray(), 0, 0

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    emit(clear)
    run = (indices[0],)
    for i in indices[1:]:
        grown = run + (i,)
        if grown in table:
            run = grown
            continue
        emit(table[run])
        if next_code < 4096:
            table[grown] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear)
            table = {(k,): k for k in range(clear)}
            size, next_code = min_size + 1, end + 1
        run = (i,)
    emit(table[run])
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes((len(chunk),)) + chunk
    return bytes(out + b"\0")


def write_gif(path, w, h, frames, loop=True):
    """frames: list of dicts with rows (RGB rows), x, y, delay (1/100 s), disposal."""
    colours = []
    for fr in frames:
        for row in fr["rows"]:
            for c in row:
                if c not in colours:
                    colours.append(c)
    if len(colours) > 256:
        raise SystemExit("too many colours in " + path)
    bits = max(1, (len(colours) - 1).bit_length())
    table = colours + [(0, 0, 0)] * ((1 << bits) - len(colours))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0x80 | 0x70 | (bits - 1), 0, 0)
    out += b"".join(bytes(c) for c in table)
    if loop:
        out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00"
    for fr in frames:
        rows = fr["rows"]
        fw, fh = len(rows[0]), len(rows)
        out += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (fr.get("disposal", 1) & 7) << 2, fr["delay"], 0, 0)
        out += struct.pack("<BHHHHB", 0x2C, fr.get("x", 0), fr.get("y", 0), fw, fh, 0)
        indices = [colours.index(c) for row in rows for c in row]
        min_size = max(2, bits)
        out += bytes((min_size,)) + sub_blocks(lzw(indices, min_size))
    out += b";"
    with open(path, "wb") as f:
        f.write(out)


def quantise(rows, step=16):
    """Few enough colours for one table: round each component."""
    return [[tuple(min(255, int(round(v / step)) * step) for v in c) for c in row] for row in rows]


# ---- shape tests: each returns inside(x, y), true where a point lies in the shape
def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def polygon(points):
    """Even-odd rule, so any simple or self-crossing outline works."""
    def inside(x, y):
        result = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                result = not result
            j = i
        return result
    return inside


def ring(cx, cy, r, w):
    """A band of width w inside the circle of radius r."""
    return lambda x, y: (r - w) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def rect(x0, y0, x1, y1, rad=0.0):
    """Edges included; corners rounded by rad."""
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        if rad <= 0:
            return True
        cx = min(max(x, x0 + rad), x1 - rad)
        cy = min(max(y, y0 + rad), y1 - rad)
        return (x - cx) ** 2 + (y - cy) ** 2 <= rad * rad
    return inside


def line(x0, y0, x1, y1, w):
    """A stroke of width w with round ends."""
    def inside(x, y):
        dx, dy = x1 - x0, y1 - y0
        t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
        return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= (w / 2) ** 2
    return inside


def arc(cx, cy, r, w, a0, a1):
    """Ring segment from angle a0 to a1 (degrees, clockwise from 12 o'clock)."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        if not (r - w <= d <= r):
            return False
        a = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return (a - a0) % 360 <= (a1 - a0) % 360
    return inside


def star(cx, cy, r1, r2, n=5):
    """n points at radius r1, the notches between them at r2."""
    pts = []
    for i in range(2 * n):
        r = r1 if i % 2 == 0 else r2
        a = math.pi * i / n
        pts.append((cx + r * math.sin(a), cy - r * math.cos(a)))
    return polygon(pts)


def gear(cx, cy, r, teeth=8):
    """A cog: teeth out to r, the gaps between them at 0.78 r."""
    def inside(x, y):
        d = math.hypot(x - cx, y - cy)
        a = math.atan2(y - cy, x - cx) * teeth / (2 * math.pi)
        tooth = (a % 1.0) < 0.5
        return d <= (r if tooth else r * 0.78)
    return inside


# ---- ImageMagick (convert) pipelines -----------------------------------------
FONT = 'DejaVu-Sans'
FONT_BOLD = 'DejaVu-Sans-Bold'
# Pixels per dialog unit of the pages' font: the main window's 700 x 600 client area is 400 x 343 units.
FX, FY = 700 / 400.0, 600 / 343.0


def px(x, y):
    """Dialog units to pixels."""
    return int(round(x * FX)), int(round(y * FY))


def convert(args):
    subprocess.run(['convert'] + args, check=True)


def convert_saver(folder):
    """save(args, name): renders a convert pipeline into folder/name as a 24-bit BMP."""
    def save(args, name):
        convert(args + ['-alpha', 'off', '-type', 'TrueColor', 'BMP3:' + os.path.join(folder, name)])
    return save


def tint(colour, amount):
    """The #rrggbb colour mixed with white by amount (0 keeps it)."""
    rgb = [int(colour[i:i + 2], 16) for i in (1, 3, 5)]
    return '#%02x%02x%02x' % tuple(int(c + (255 - c) * amount) for c in rgb)


def key_corners(key, w, h):
    """Floods the outside from the four corners with the key colour, exactly,
    so no blend of the key gets into the shape's smoothed edge."""
    cmds = ['-fill', key, '-fuzz', '0']
    for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
        cmds += ['-draw', 'color %d,%d floodfill' % (x, y)]
    return cmds


def pill(w, h, hot):
    """The face of a rounded push button on white: a light gradient, a blue rim under the pointer."""
    top, bottom = ('#ffffff', '#cfe3fb') if hot else ('#f7faff', '#dde8f6')
    return ['-size', '%dx%d' % (w, h), 'xc:white',
            '(', '-size', '%dx%d' % (w - 2, h - 2), 'gradient:%s-%s' % (top, bottom), ')',
            '-geometry', '+1+1', '-composite',
            '-fill', 'none', '-stroke', Hex.BLUE if hot else '#9db6d6', '-strokewidth', '1',
            '-draw', 'roundrectangle 0,0 %d,%d 6,6' % (w - 1, h - 1)]


def tile(colour, s=48):
    """A task picture's rounded tile on white; key_corners(..., s, s) cuts it out."""
    return ['-size', '%dx%d' % (s, s), 'xc:white',
            '-fill', colour, '-draw', 'roundrectangle 2,2 %d,%d 9,9' % (s - 4, s - 3)]


def tile_glyph(glyph, size):
    """A white symbol in the middle of a tile."""
    return ['-fill', 'white', '-font', FONT_BOLD, '-pointsize', str(size), '-gravity', 'center',
            '-annotate', '-1-1', glyph, '-gravity', 'northwest']


def banner(colour, glyph, glyph_x, title, subtitle):
    """A page banner, 300 dialog units wide at the dialog font's scale: a
    badge with a symbol, the title and the subtitle under it."""
    return ['-size', '63x525', 'gradient:%s-%s' % (Hex.SKY, Hex.WHITE), '-rotate', '-90',
            '-fill', colour, '-draw', 'roundrectangle 12,10 54,52 8,8',
            '-fill', Hex.WHITE, '-font', FONT_BOLD, '-pointsize', '24', '-annotate', '+%d+41' % glyph_x, glyph,
            '-fill', Hex.BLUE_DARK, '-font', FONT_BOLD, '-pointsize', '17', '-annotate', '+66+30', title,
            '-fill', '#5a6473', '-font', FONT, '-pointsize', '11', '-annotate', '+67+48', subtitle]
