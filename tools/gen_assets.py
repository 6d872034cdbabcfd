#!/usr/bin/env python3
"""Generate Vombly's binary resources: the icon, the About logo and the click.

    python3 tools/gen_assets.py OUTDIR

Writes OUTDIR/main_icon.ico, OUTDIR/main_logo.bmp and OUTDIR/click.wav.
Everything is drawn in code so the build needs no binary files in the tree;
the output is byte-for-byte deterministic (no clock, no randomness).
"""

import math
import os
import struct
import sys

# ---------------------------------------------------------------------------
# Drawing: a premultiplied RGBA canvas filled through signed distance fields.
# A shape is (sdf, bbox); sdf(x, y) is the distance in pixels to the edge,
# negative inside. Coverage 0.5 - d gives clean anti-aliased edges, and edges
# that sit on whole pixel coordinates stay perfectly crisp (important at 16px).
# ---------------------------------------------------------------------------


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def fill(self, shape, paint, soft=1.0):
        """Composite `paint` (RGBA tuple or f(x, y) -> RGBA) over `shape`."""
        sdf, (x0, y0, x1, y1) = shape
        pad = int(math.ceil(soft))
        for y in range(max(0, int(y0) - pad), min(self.h, int(math.ceil(y1)) + pad)):
            for x in range(max(0, int(x0) - pad), min(self.w, int(math.ceil(x1)) + pad)):
                cx, cy = x + 0.5, y + 0.5
                cov = 0.5 - sdf(cx, cy) / soft
                if cov <= 0.0:
                    continue
                r, g, b, a = paint(cx, cy) if callable(paint) else paint
                k = min(cov, 1.0) * a / 255.0
                p = self.px[y * self.w + x]
                p[0] = r / 255.0 * k + p[0] * (1 - k)
                p[1] = g / 255.0 * k + p[1] * (1 - k)
                p[2] = b / 255.0 * k + p[2] * (1 - k)
                p[3] = k + p[3] * (1 - k)

    def rgba(self, x, y):
        """Straight (non-premultiplied) 8-bit RGBA, as icons store it."""
        r, g, b, a = self.px[y * self.w + x]
        if a <= 0.0:
            return (0, 0, 0, 0)
        return tuple(_byte(c / a) for c in (r, g, b)) + (_byte(a),)


def _byte(v):
    return max(0, min(255, int(v * 255.0 + 0.5)))


def rrect(x0, y0, x1, y1, r):
    cx, cy, hw, hh = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
    r = min(r, hw, hh)

    def sdf(x, y):
        qx, qy = abs(x - cx) - hw + r, abs(y - cy) - hh + r
        return math.hypot(max(qx, 0), max(qy, 0)) + min(max(qx, qy), 0) - r
    return sdf, (x0, y0, x1, y1)


def circle(cx, cy, r):
    return (lambda x, y: math.hypot(x - cx, y - cy) - r), (cx - r, cy - r, cx + r, cy + r)


def union(*shapes):
    fns = [s[0] for s in shapes]
    boxes = [s[1] for s in shapes]
    box = (min(b[0] for b in boxes), min(b[1] for b in boxes),
           max(b[2] for b in boxes), max(b[3] for b in boxes))
    return (lambda x, y: min(f(x, y) for f in fns)), box


def minus(a, b):
    fa, fb = a[0], b[0]
    return (lambda x, y: max(fa(x, y), -fb(x, y))), a[1]


def inset(shape, w):
    """The shape shrunk by w pixels: how outlines are made (fill, then inset)."""
    f = shape[0]
    return (lambda x, y: f(x, y) + w), shape[1]


def shifted(shape, dx, dy):
    f, (x0, y0, x1, y1) = shape
    return (lambda x, y: f(x - dx, y - dy)), (x0 + dx, y0 + dy, x1 + dx, y1 + dy)


def vgrad(y0, y1, top, bottom):
    def paint(x, y):
        t = min(1.0, max(0.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return paint


# ---------------------------------------------------------------------------
# The clipboard motif, laid out on a 16-unit grid so that at 16x16 every edge
# lands on a pixel boundary; larger sizes add shadow and finer detail.
# ---------------------------------------------------------------------------

BOARD_EDGE = (104, 60, 24, 255)
BOARD_TOP, BOARD_BOTTOM = (226, 160, 84, 255), (178, 108, 44, 255)
SHEET_EDGE = (196, 200, 208, 255)
SHEET_TOP, SHEET_BOTTOM = (255, 255, 255, 255), (236, 240, 245, 255)
CLIP_EDGE = (64, 74, 88, 255)
CLIP_TOP, CLIP_BOTTOM = (246, 248, 251, 255), (150, 162, 176, 255)
INK, ACCENT = (62, 70, 84, 255), (40, 104, 208, 255)


def draw_clipboard(cv, ox, oy, u, edge, line, detail):
    """Draw the clipboard at (ox, oy) with u pixels per grid unit.

    edge and line are outline and text-line thickness in pixels; detail
    switches on what only pays off above tray size (shadow, bevel, clip hole).
    """
    def at(v, o):
        # Whole-pixel edges keep the small icons sharp.
        return math.floor(o + v * u + 0.5)

    def box(x0, y0, x1, y1, r):
        return rrect(at(x0, ox), at(y0, oy), at(x1, ox), at(y1, oy), r * u)

    board = box(2, 1.5, 14, 15.5, 1.5)
    if detail:
        # Soft drop shadow: the same SDF with a wide falloff.
        cv.fill(shifted(inset(board, u * 0.2), 0, u * 0.45), (40, 24, 8, 110), soft=u * 0.9)
    cv.fill(board, BOARD_EDGE)
    cv.fill(inset(board, edge), vgrad(oy + 1.5 * u, oy + 16 * u, BOARD_TOP, BOARD_BOTTOM))
    if detail:
        # A thin lighter rim along the inner top edge reads as a bevel.
        rim = minus(inset(board, edge), shifted(inset(board, edge), 0, max(1.0, u * 0.25)))
        cv.fill(rim, (246, 196, 128, 200))

    sheet = box(4, 3.5, 12, 14, 0.4)
    if detail:
        cv.fill(sheet, SHEET_EDGE)
        cv.fill(inset(sheet, max(1.0, edge / 2)), vgrad(oy + 3.5 * u, oy + 14 * u, SHEET_TOP, SHEET_BOTTOM))
    else:
        cv.fill(sheet, SHEET_TOP)

    # Text lines: the first one in the accent colour, like a heading.
    for i, (y, length) in enumerate(((6, 6), (8, 4), (10, 6), (12, 3))):
        yt = at(y, oy) - line // 2
        cap = line / 2 if detail else 0
        cv.fill(rrect(at(5, ox), yt, at(5 + length, ox), yt + line, cap), ACCENT if i == 0 else INK)

    # The clip: a plate across the top edge with a rounded tab above it.
    plate = box(5, 2, 11, 4.5, 0.75)
    tab = box(6, 0, 10, 3, 1.5)
    clip = union(plate, tab)
    if detail:
        clip = minus(clip, circle(ox + 8 * u, oy + 1.25 * u, 0.55 * u))
    cv.fill(clip, CLIP_EDGE)
    cv.fill(inset(clip, edge), vgrad(oy, oy + 4.5 * u, CLIP_TOP, CLIP_BOTTOM))


def icon_image(size):
    cv = Canvas(size, size)
    u = size / 16.0
    draw_clipboard(cv, 0, 0, u, edge=1.0 if size < 48 else 1.5,
                   line=1 if size < 48 else 2, detail=size >= 32)
    return [[cv.rgba(x, y) for x in range(size)] for y in range(size)]


# ---------------------------------------------------------------------------
# A small hand-made font: 5 columns by 9 rows (7 above the baseline, 2 for
# descenders). Glyphs are drawn as round strokes joining neighbouring dots,
# which turns the dot matrix into smooth letters at any scale.
# ---------------------------------------------------------------------------

FONT = {
    'V': "#...# #...# #...# #...# #...# .#.#. ..#..",
    'C': ".###. #...# #.... #.... #.... #...# .###.",
    'U': "#...# #...# #...# #...# #...# #...# .###.",
    'o': "..... ..... .###. #...# #...# #...# .###.",
    'm': "..... ..... ##.#. #.#.# #.#.# #.#.# #.#.#",
    'b': "#.... #.... #.##. ##..# #...# #...# ####.",
    'l': ".##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###.",
    'y': "..... ..... #...# #...# #...# #...# .#### ....# .###.",
    'i': "..#.. ..... .##.. ..#.. ..#.. ..#.. .###.",
    'p': "..... ..... ####. #...# #...# #...# ####. #.... #....",
    'a': "..... ..... .###. ....# .#### #...# .####",
    'r': "..... ..... #.##. ##..# #.... #.... #....",
    'd': "....# ....# .##.# #..## #...# #...# .####",
    't': ".#... .#... ####. .#... .#... .#..# ..##.",
}


def glyph_strokes(ch):
    """A glyph as straight strokes: maximal runs of neighbouring dots."""
    rows = FONT[ch].split()
    dots = {(c, r) for r, row in enumerate(rows) for c, v in enumerate(row) if v == '#'}

    def linked(a, b):
        # A diagonal is only needed where no orthogonal path turns the corner.
        diagonal = a[0] != b[0] and a[1] != b[1]
        return b in dots and not (diagonal and ((b[0], a[1]) in dots or (a[0], b[1]) in dots))

    strokes, used = [], set()
    for (c, r) in sorted(dots, key=lambda d: (d[1], d[0])):
        for dc, dr in ((1, 0), (0, 1), (1, 1), (-1, 1)):
            if linked((c - dc, r - dr), (c, r)) and (c - dc, r - dr) in dots:
                continue  # not the start of a run
            end = (c, r)
            while linked(end, (end[0] + dc, end[1] + dr)):
                end = (end[0] + dc, end[1] + dr)
                used |= {(c, r), end}
            if end != (c, r):
                strokes.append(((c, r), end))
    # Lone dots (the i's) are strokes of zero length.
    strokes += [(d, d) for d in sorted(dots - used)]
    cols = [c for c, _ in dots]
    return strokes, min(cols), max(cols)


def seg_dist(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    ll = dx * dx + dy * dy
    t = 0.0 if ll == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / ll))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def text_layout(text, cell):
    """Per-glyph x offsets (proportional: each glyph is as wide as its ink)."""
    out, x = [], 0.0
    for ch in text:
        if ch == ' ':
            x += 2.5 * cell
            continue
        segs, c0, c1 = glyph_strokes(ch)
        out.append((x - c0 * cell, segs))
        x += (c1 - c0 + 2) * cell
    return out, x - cell


def draw_text(cv, text, cx, baseline, cell, weight, color):
    """Draw text centred on cx; weight is the stroke radius in cells."""
    glyphs, width = text_layout(text, cell)
    left, top = math.floor(cx - width / 2), baseline - 7 * cell
    rad = weight * cell
    for gx, segs in glyphs:
        flat = [(left + gx + (a[0] + 0.5) * cell, top + (a[1] + 0.5) * cell,
                 left + gx + (b[0] + 0.5) * cell, top + (b[1] + 0.5) * cell) for a, b in segs]
        xs = [v for s in flat for v in (s[0], s[2])]
        ys = [v for s in flat for v in (s[1], s[3])]

        def sdf(x, y, flat=flat):
            return min(seg_dist(x, y, *s) for s in flat) - rad
        cv.fill((sdf, (min(xs) - rad, min(ys) - rad, max(xs) + rad, max(ys) + rad)), color)


# ---------------------------------------------------------------------------
# The About box logo.
# ---------------------------------------------------------------------------

LOGO_W, LOGO_H = 200, 260


def logo_image():
    cv = Canvas(LOGO_W, LOGO_H)
    cv.fill(rrect(0, 0, LOGO_W, LOGO_H, 0), vgrad(0, LOGO_H, (250, 252, 255, 255), (214, 226, 240, 255)))
    draw_clipboard(cv, 100 - 8 * 7.5, 12, 7.5, edge=3, line=5, detail=True)
    draw_text(cv, "Vombly", 100, 200, 5.0, 0.62, (38, 48, 64, 255))
    cv.fill(rrect(76, 214, 124, 217, 1.5), (214, 146, 70, 255))
    draw_text(cv, "Clipboard Utility", 100, 241, 1.6, 0.55, (84, 98, 118, 255))
    return [[cv.rgba(x, y)[:3] for x in range(LOGO_W)] for y in range(LOGO_H)]


# ---------------------------------------------------------------------------
# File writers.
# ---------------------------------------------------------------------------

def bitmap_info(w, h, bpp, image_size, colours=0):
    return struct.pack('<IiiHHIIiiII', 40, w, h, 1, bpp, 0, image_size, 2835, 2835, colours, 0)


def and_mask(pixels):
    """1-bit mask, bottom-up, rows padded to 32 bits; set bits are transparent."""
    w = len(pixels[0])
    stride = (w + 31) // 32 * 4
    out = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                bits[x >> 3] |= 0x80 >> (x & 7)
        out += bits
    return bytes(out)


def dib32(pixels):
    n = len(pixels)
    xor = b''.join(bytes((b, g, r, a)) for row in reversed(pixels) for r, g, b, a in row)
    mask = and_mask(pixels)
    return bitmap_info(n, 2 * n, 32, len(xor) + len(mask)) + xor + mask


def ico_bytes(images):
    """images: list of (size, bpp, dib). Standard ICONDIR + ICONDIRENTRY layout."""
    offset = 6 + 16 * len(images)
    head = struct.pack('<HHH', 0, 1, len(images))
    body = b''
    for size, bpp, dib in images:
        head += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, bpp, len(dib), offset)
        body += dib
        offset += len(dib)
    return head + body


def bmp_bytes(pixels):
    h, w = len(pixels), len(pixels[0])
    stride = (w * 3 + 3) // 4 * 4
    data = b''.join(bytes(c for r, g, b in row for c in (b, g, r)).ljust(stride, b'\0')
                    for row in reversed(pixels))
    return struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54) + bitmap_info(w, h, 24, len(data)) + data


RATE, CLICK_SAMPLES = 22050, 642


def click_samples():
    """A short tick: two sines under a fast attack and an exponential decay."""
    n = CLICK_SAMPLES
    attack = 12  # ~0.5 ms raised-cosine attack avoids a pop
    tail = 80    # ~3.6 ms fade so the decay lands exactly on zero
    s = []
    for i in range(n):
        t = i / RATE
        env = math.exp(-t / 0.0045)
        if i < attack:
            env *= 0.5 - 0.5 * math.cos(math.pi * i / attack)
        if i >= n - tail:
            env *= 0.5 + 0.5 * math.cos(math.pi * (i - (n - tail)) / tail)
        s.append(env * (0.65 * math.sin(2 * math.pi * 2400 * t) + 0.35 * math.sin(2 * math.pi * 3650 * t + 0.6)))
    s[-1] = 0.0
    # Remove the DC offset with a Hann-shaped correction so both ends stay at zero.
    mean = sum(s) / n
    hann = [0.5 - 0.5 * math.cos(2 * math.pi * i / (n - 1)) for i in range(n)]
    k = mean * n / sum(hann)
    s = [v - k * h for v, h in zip(s, hann)]
    scale = 32767 * 10 ** (-6 / 20) / max(abs(v) for v in s)  # peak at -6 dBFS
    return [int(round(v * scale)) for v in s]


def wav_bytes(samples):
    data = struct.pack('<%dh' % len(samples), *samples)
    fmt = struct.pack('<HHIIHH', 1, 1, RATE, RATE * 2, 2, 16)
    return (struct.pack('<4sI4s', b'RIFF', 36 + len(data), b'WAVE')
            + struct.pack('<4sI', b'fmt ', len(fmt)) + fmt
            + struct.pack('<4sI', b'data', len(data)) + data)


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: gen_assets.py OUTDIR\n")
        return 2
    out = argv[1]
    try:
        os.makedirs(out, exist_ok=True)
        images = {s: icon_image(s) for s in (48, 32, 16)}
        # Every Windows since XP draws 32-bit icons with alpha, also on a
        # display of fewer colours, so 256-colour copies would not earn
        # their bytes.
        icon = [(s, 32, dib32(images[s])) for s in (48, 32, 16)]
        files = {
            'main_icon.ico': ico_bytes(icon),
            'main_logo.bmp': bmp_bytes(logo_image()),
            'click.wav': wav_bytes(click_samples()),
        }
        for name, blob in files.items():
            with open(os.path.join(out, name), 'wb') as f:
                f.write(blob)
    except (OSError, ValueError) as e:
        sys.stderr.write("gen_assets: %s\n" % e)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
