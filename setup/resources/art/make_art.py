#!/usr/bin/env python3
"""Draws the setup program's pictures: the program icon 4, the page icons
(32 x 32; the ids of WizardIds.h) and the 8-bit bitmaps 158-160
(billboards, 400 x 350) and 161 (splash, 520 x 316).

Usage: make_art.py OUTPUT_DIR

Each icon is written as an .ico file and as iconN.zico, its image packed
for the program's resources (framework/PackedIcon.h).

Each bitmap is written twice: bitmapN.bmp, the picture as a .bmp file, and
bitmapN.zdib, the same picture packed for the program's resources (the
packed DIB deflated, after its size: framework/PackedBitmap.h). Dithered
gradients leave run-length encoding (BI_RLE8) little to take, deflate
leaves 2-6 % of them.

Only the standard library is used; the output is the same on every run.
"""
import math
import os
import struct
import sys
import zlib

# --------------------------------------------------------------------------
# A tiny RGB canvas with anti-aliased shapes (supersampled coverage).

class Canvas:
    def __init__(self, width, height, color=(0, 0, 0)):
        self.w, self.h = width, height
        self.px = [list(color) for _ in range(width * height)]

    def blend(self, x, y, color, alpha):
        if 0 <= x < self.w and 0 <= y < self.h and alpha > 0:
            p = self.px[y * self.w + x]
            for i in range(3):
                p[i] = p[i] + (color[i] - p[i]) * alpha

    def vertical_gradient(self, top, bottom, box=None):
        x0, y0, x1, y1 = box or (0, 0, self.w, self.h)
        for y in range(y0, y1):
            t = (y - y0) / max(1, y1 - y0 - 1)
            c = [top[i] + (bottom[i] - top[i]) * t for i in range(3)]
            for x in range(x0, x1):
                self.px[y * self.w + x] = list(c)

    def shape(self, inside, color, box, alpha=1.0, samples=4):
        """Fills the points for which inside(x, y) holds, within box."""
        x0, y0, x1, y1 = [int(v) for v in box]
        step = 1.0 / samples
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                hits = 0
                for sy in range(samples):
                    for sx in range(samples):
                        if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                            hits += 1
                if hits:
                    self.blend(x, y, color, alpha * hits / (samples * samples))

    def rect(self, x0, y0, x1, y1, color, alpha=1.0):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, (x0, y0, x1, y1), alpha, 2)

    def circle(self, cx, cy, r, color, alpha=1.0):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color,
                   (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), alpha)

    def ring(self, cx, cy, r0, r1, color, alpha=1.0):
        self.shape(lambda x, y: r0 * r0 <= (x - cx) ** 2 + (y - cy) ** 2 <= r1 * r1, color,
                   (cx - r1 - 1, cy - r1 - 1, cx + r1 + 1, cy + r1 + 1), alpha)

    def polygon(self, points, color, alpha=1.0):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]

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
        self.shape(inside, color, (min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1), alpha)

    def line(self, x0, y0, x1, y1, width, color, alpha=1.0):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy) or 1.0
        nx, ny = -dy / length * width / 2, dx / length * width / 2
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)],
                     color, alpha)

    def sector(self, cx, cy, r, a0, a1, color):
        def inside(x, y):
            dx, dy = x - cx, y - cy
            if dx * dx + dy * dy > r * r:
                return False
            a = math.atan2(dy, dx) % (2 * math.pi)
            return a0 <= a < a1
        self.shape(inside, color, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))


GOLD = (255, 204, 0)
DARK_BLUE = (0, 0, 200)
CYAN = (0, 255, 255)
WHITE = (255, 255, 255)
NAVY = (10, 20, 90)


def logo(c, cx, cy, size, shadow=True):
    """The product mark: a gold V over a white ring."""
    s = size / 100.0
    if shadow:
        c.ring(cx + 3 * s, cy + 3 * s, 40 * s, 48 * s, (0, 0, 0), 0.35)
    c.ring(cx, cy, 40 * s, 48 * s, WHITE, 0.9)
    v = [(-34, -30), (-16, -30), (0, 14), (16, -30), (34, -30), (8, 36), (-8, 36)]
    if shadow:
        c.polygon([(cx + (x + 4) * s, cy + (y + 4) * s) for x, y in v], (0, 0, 0), 0.35)
    c.polygon([(cx + x * s, cy + y * s) for x, y in v], GOLD)


# --------------------------------------------------------------------------
# 8-bit output with a fixed palette and ordered dithering.

def palette_256():
    pal = []
    for r in range(6):
        for g in range(6):
            for b in range(6):
                pal.append((r * 51, g * 51, b * 51))
    for i in range(40):  # greys between the cube's steps
        v = int(i * 255 / 39)
        pal.append((v, v, v))
    return pal


BAYER = [[0, 8, 2, 10], [12, 4, 14, 6], [3, 11, 1, 9], [15, 7, 13, 5]]


def to_indices(c):
    out = []
    for y in range(c.h):
        row = []
        for x in range(c.w):
            p = c.px[y * c.w + x]
            t = (BAYER[y % 4][x % 4] + 0.5) / 16.0
            idx = []
            for v in p:
                v = max(0.0, min(255.0, v)) / 51.0
                base = int(v)
                if base < 5 and v - base > t:
                    base += 1
                idx.append(base)
            row.append(idx[0] * 36 + idx[1] * 6 + idx[2])
        out.append(row)
    return out


def write_bmp8(path, c):
    """Writes the picture to path (a .bmp file) and, packed, beside it
    (the same name with .zdib)."""
    pal = palette_256()
    rows = to_indices(c)
    stride = (c.w + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):  # bottom-up
        pixels += bytes(row) + bytes(stride - c.w)
    info = struct.pack('<IiiHHIIiiII', 40, c.w, c.h, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    colours = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in pal)
    offset = 14 + len(info) + len(colours)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    with open(path, 'wb') as f:
        f.write(header + info + colours + pixels)
    write_packed_dib(os.path.splitext(path)[0] + '.zdib', info + colours + bytes(pixels))


def write_packed_dib(path, dib):
    """A packed DIB (what a BITMAP resource holds) as a ZDIB resource, or an
    icon image (what an RT_ICON resource holds) as a ZICO resource: its
    size, 4 bytes little-endian, then the zlib stream of it."""
    with open(path, 'wb') as f:
        f.write(struct.pack('<I', len(dib)) + zlib.compress(dib, 9))


def write_ico(path, c):
    """A 32 x 32 icon, 32 bits per pixel with an alpha channel, plus its mask."""
    assert c.w == 32 and c.h == 32
    alpha = getattr(c, 'alpha', None)
    xor = bytearray()
    mask = bytearray()
    for y in reversed(range(32)):
        bits = 0
        for x in range(32):
            r, g, b = [int(max(0, min(255, v))) for v in c.px[y * 32 + x]]
            a = int(alpha[y * 32 + x] * 255) if alpha else 255
            xor += struct.pack('<BBBB', b, g, r, a)
            bits = (bits << 1) | (1 if a < 128 else 0)
        mask += struct.pack('>I', bits)
    info = struct.pack('<IiiHHIIiiII', 40, 32, 64, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + xor + mask
    header = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', 32, 32, 0, 0, 1, 32, len(image), 6 + 16)
    with open(path, 'wb') as f:
        f.write(header + entry + image)
    write_packed_dib(os.path.splitext(path)[0] + '.zico', image)


# --------------------------------------------------------------------------
# Icons: a rounded tile with a glyph. Alpha comes from drawing the tile into
# a coverage canvas.

def icon_canvas(top, bottom):
    c = Canvas(32, 32, (0, 0, 0))
    cov = Canvas(32, 32, (0, 0, 0))

    def tile(x, y):
        rx = min(max(x, 5), 27)
        ry = min(max(y, 5), 27)
        return (x - rx) ** 2 + (y - ry) ** 2 <= 16 and 1 <= x <= 31 and 1 <= y <= 31
    c.vertical_gradient(top, bottom)
    cov.shape(tile, (1, 1, 1), (0, 0, 32, 32))
    c.alpha = [p[0] for p in cov.px]
    return c


def glyph_folder(c):
    c.polygon([(6, 10), (13, 10), (15, 12), (26, 12), (26, 24), (6, 24)], (250, 210, 90))
    c.rect(6, 14, 26, 24, (255, 228, 130))


def glyph_star(c):
    pts = []
    for i in range(10):
        r = 10 if i % 2 == 0 else 4.5
        a = -math.pi / 2 + i * math.pi / 5
        pts.append((16 + r * math.cos(a), 16.5 + r * math.sin(a)))
    c.polygon(pts, GOLD)


def glyph_person(c):
    c.circle(16, 11, 5, WHITE)
    c.polygon([(7, 27), (9, 19), (16, 17), (23, 19), (25, 27)], WHITE)


def glyph_warning(c):
    c.polygon([(16, 5), (28, 26), (4, 26)], GOLD)
    c.rect(15, 11, 17.5, 20, (0, 0, 0))
    c.rect(15, 22, 17.5, 24.5, (0, 0, 0))


def glyph_hourglass(c):
    c.polygon([(9, 6), (23, 6), (17, 16), (23, 26), (9, 26), (15, 16)], WHITE)
    c.polygon([(12, 24), (20, 24), (16, 18)], GOLD)


def glyph_arrows(c):
    c.ring(16, 16, 7, 10, WHITE)
    c.rect(4, 14, 16, 18, (0, 0, 0), 0.0)
    c.polygon([(21, 4), (27, 11), (19, 12)], GOLD)


def glyph_bin(c):
    c.rect(9, 10, 23, 12, WHITE)
    c.rect(14, 8, 18, 10, WHITE)
    c.polygon([(10, 13), (22, 13), (21, 27), (11, 27)], WHITE)
    for x in (13, 16, 19):
        c.rect(x - 0.6, 15, x + 0.6, 25, (120, 120, 140))


def glyph_stop(c):
    pts = [(16 + 11 * math.cos(math.pi / 8 + i * math.pi / 4), 16 + 11 * math.sin(math.pi / 8 + i * math.pi / 4))
           for i in range(8)]
    c.polygon(pts, (220, 30, 30))
    c.rect(10, 14.5, 22, 17.5, WHITE)


def glyph_gears(c):
    for i in range(8):
        a = i * math.pi / 4
        c.line(16, 16, 16 + 11 * math.cos(a), 16 + 11 * math.sin(a), 4, WHITE)
    c.circle(16, 16, 8, WHITE)
    c.circle(16, 16, 3.5, (60, 60, 120))


def glyph_disk(c):
    c.rect(7, 6, 25, 26, (40, 40, 60))
    c.rect(11, 6, 21, 13, (200, 200, 210))
    c.rect(10, 17, 22, 26, WHITE)


def glyph_logo(c):
    logo(c, 16, 16, 30, shadow=False)


# The icons the program shows: the program icon and the page icons that its
# dialogs name (WizardIds.h).
GLYPHS = {
    4: glyph_logo, 101: glyph_star, 102: glyph_folder, 103: glyph_logo, 132: glyph_warning,
    133: glyph_disk, 134: glyph_hourglass, 135: glyph_arrows, 136: glyph_bin, 137: glyph_stop,
    138: glyph_person, 142: glyph_gears,
}


def make_icon(icon_id):
    hue = (icon_id * 37) % 60
    top = (20 + hue, 60 + hue, 200)
    bottom = (0, 150 + hue, 210)
    c = icon_canvas(top, bottom)
    GLYPHS[icon_id](c)
    return c


# --------------------------------------------------------------------------
# Bitmaps.

def splash():
    c = Canvas(520, 316)
    c.vertical_gradient(DARK_BLUE, CYAN)
    for i in range(7):  # soft light bands
        c.line(-20, 60 + i * 40, 540, 10 + i * 40, 18, WHITE, 0.06)
    logo(c, 140, 158, 190)
    c.rect(270, 120, 480, 128, GOLD)
    c.rect(270, 140, 440, 146, WHITE, 0.85)
    c.rect(270, 158, 460, 164, WHITE, 0.85)
    c.rect(270, 176, 400, 182, WHITE, 0.85)
    return c


def billboard(kind):
    c = Canvas(400, 350)
    c.vertical_gradient((10, 30, 140), (0, 170, 200))
    c.rect(20, 20, 380, 330, WHITE, 0.12)
    if kind == 0:  # bar chart
        heights = [90, 150, 120, 200, 170, 240]
        for i, h in enumerate(heights):
            x = 50 + i * 52
            c.rect(x + 4, 300 - h + 4, x + 38, 300, (0, 0, 0), 0.3)
            c.rect(x, 300 - h, x + 34, 300, GOLD if i == len(heights) - 1 else WHITE)
        c.rect(40, 300, 360, 303, WHITE)
    elif kind == 1:  # pie chart
        slices = [(0.0, 0.35, GOLD), (0.35, 0.6, WHITE), (0.6, 0.8, (120, 220, 255)), (0.8, 1.0, (255, 140, 60))]
        for a0, a1, col in slices:
            c.sector(200, 175, 120, a0 * 2 * math.pi, a1 * 2 * math.pi, col)
        c.ring(200, 175, 119, 123, NAVY, 0.6)
    else:  # scatter with a fitted line
        c.rect(40, 300, 360, 303, WHITE)
        c.rect(40, 40, 43, 303, WHITE)
        for i in range(24):
            x = 60 + i * 12.5
            y = 280 - i * 9 + 22 * math.sin(i * 1.7)
            c.circle(x, y, 5, WHITE)
        c.line(55, 285, 350, 70, 5, GOLD)
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else '.'
    os.makedirs(out, exist_ok=True)
    for icon_id in sorted(GLYPHS):
        write_ico(os.path.join(out, 'icon%d.ico' % icon_id), make_icon(icon_id))
    for n, kind in ((158, 0), (159, 1), (160, 2)):
        write_bmp8(os.path.join(out, 'bitmap%d.bmp' % n), billboard(kind))
    write_bmp8(os.path.join(out, 'bitmap161.bmp'), splash())


if __name__ == '__main__':
    main()
