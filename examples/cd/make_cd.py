#!/usr/bin/env python3
"""Draws the pictures and makes the sounds of the sample CD menu.

    make_cd.py OUTDIR

writes menu.bmp (the background), install1.bmp/install2.bmp and
exit1.bmp/exit2.bmp (image buttons, normal and highlighted; white is the
transparent colour), welcome.wav and click.wav. Plain Python: the pictures
are 8-bit BMP files with a 256-entry colour table, the sounds 16-bit PCM.
"""
import math
import os
import struct
import sys

# A 5x7 pixel font for the few letters the pictures need.
FONT = {
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'C': ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    'D': ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'I': ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'N': ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    'O': ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    'R': ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    '2': ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    '0': ["01110", "10011", "10101", "10101", "10101", "11001", "01110"],
    '.': ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    '-': ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    ' ': ["00000"] * 7,
}


class Picture:
    """An 8-bit picture: a palette of up to 256 colours and one index per pixel."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.palette = [(255, 255, 255)]  # index 0: white
        self.pixels = [[0] * width for _ in range(height)]

    def colour(self, rgb):
        rgb = tuple(max(0, min(255, int(c))) for c in rgb)
        if rgb in self.palette:
            return self.palette.index(rgb)
        if len(self.palette) >= 256:
            # Nearest existing colour once the table is full.
            return min(range(256), key=lambda i: sum((a - b) ** 2 for a, b in zip(self.palette[i], rgb)))
        self.palette.append(rgb)
        return len(self.palette) - 1

    def put(self, x, y, rgb):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = self.colour(rgb)

    def fill(self, x0, y0, x1, y1, rgb):
        index = self.colour(rgb)
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.pixels[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = index

    def text(self, x, y, text, scale, rgb, shadow=None):
        for n, ch in enumerate(text):
            glyph = FONT[ch]
            for gy, line in enumerate(glyph):
                for gx, bit in enumerate(line):
                    if bit == '1':
                        px, py = x + (n * 6 + gx) * scale, y + gy * scale
                        if shadow:
                            self.fill(px + scale // 3 + 1, py + scale // 3 + 1,
                                      px + scale + scale // 3 + 1, py + scale + scale // 3 + 1, shadow)
                        self.fill(px, py, px + scale, py + scale, rgb)

    @staticmethod
    def text_width(text, scale):
        return (len(text) * 6 - 1) * scale

    def save(self, path):
        row_bytes = (self.width + 3) // 4 * 4
        table = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in self.palette)
        table += b'\0' * (4 * (256 - len(self.palette)))
        rows = b''.join(bytes(row) + b'\0' * (row_bytes - self.width) for row in reversed(self.pixels))
        offset = 14 + 40 + len(table)
        with open(path, 'wb') as f:
            f.write(struct.pack('<HIHHI', 0x4D42, offset + len(rows), 0, 0, offset))
            f.write(struct.pack('<IiiHHIIiiII', 40, self.width, self.height, 1, 8, 0, len(rows), 2835, 2835, 0, 0))
            f.write(table)
            f.write(rows)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def background(path):
    w, h = 600, 340
    panel = 280
    pic = Picture(w, h)
    top, bottom = (14, 38, 86), (6, 112, 128)
    steps = 96
    for y in range(h):
        band = round(y / (h - 1) * (steps - 1)) / (steps - 1)
        pic.fill(0, y, w, y + 1, mix(top, bottom, band))
    # A disc behind the title, drawn in rings.
    cx, cy, outer, hole = 140, 215, 100, 16
    for y in range(cy - outer, cy + outer + 1):
        for x in range(cx - outer, cx + outer + 1):
            r = math.hypot(x - cx, y - cy)
            if hole < r <= outer:
                angle = math.atan2(y - cy, x - cx)
                shine = 0.5 + 0.5 * math.cos(2 * angle - 0.6)
                ring = 0.85 if int(r) % 14 < 2 else 1.0
                level = round((0.35 + 0.45 * shine) * ring * 24) / 24
                pic.put(x, y, mix((40, 70, 120), (190, 215, 235), level))
            elif outer < r <= outer + 2:
                pic.put(x, y, (20, 30, 60))
    # The panel on the right where the buttons stand.
    pic.fill(panel, 0, w, h, (235, 240, 246))
    pic.fill(panel, 0, panel + 4, h, (200, 150, 40))
    # Title and subtitle.
    pic.text(26, 30, "VELTRANE", 5, (250, 246, 232), shadow=(5, 20, 45))
    pic.text(28, 78, "CD-ROM  2.0", 3, (240, 200, 90), shadow=(5, 20, 45))
    pic.save(path)


def button(path, label, face, edge, text_rgb):
    w, h = 170, 40
    pic = Picture(w, h)  # white all round: transparent on the menu
    radius = h // 2 - 2
    for y in range(2, h - 2):
        for x in range(2, w - 2):
            # A rounded "pill": distance to the centre segment.
            nx = min(max(x, 2 + radius), w - 3 - radius)
            r = math.hypot(x - nx, y - (h - 1) / 2)
            if r <= radius:
                shade = 1.0 - 0.35 * (y - 2) / (h - 4)
                colour = edge if r > radius - 2 else tuple(c * shade for c in face)
                pic.put(x, y, colour)
    scale = 3
    tw = Picture.text_width(label, scale)
    pic.text((w - tw) // 2, (h - 7 * scale) // 2, label, scale, text_rgb)
    pic.save(path)


def tone(path, notes, rate=22050):
    """Writes a mono 16-bit WAV of (frequency, seconds) notes with soft ends."""
    samples = []
    for freq, seconds in notes:
        n = int(rate * seconds)
        for i in range(n):
            t = i / rate
            envelope = min(1.0, i / (rate * 0.01)) * math.exp(-3.0 * t / seconds)
            value = math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t)
            samples.append(int(9000 * envelope * value))
    data = b''.join(struct.pack('<h', s) for s in samples)
    with open(path, 'wb') as f:
        f.write(b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVE')
        f.write(b'fmt ' + struct.pack('<IHHIIHH', 16, 1, 1, rate, rate * 2, 2, 16))
        f.write(b'data' + struct.pack('<I', len(data)) + data)


def main(out):
    os.makedirs(out, exist_ok=True)
    background(os.path.join(out, 'menu.bmp'))
    steel, steel_edge = (40, 90, 170), (20, 45, 95)
    gold, gold_edge = (235, 160, 30), (140, 80, 10)
    cream = (255, 250, 225)
    button(os.path.join(out, 'install1.bmp'), "INSTALL", steel, steel_edge, cream)
    button(os.path.join(out, 'install2.bmp'), "INSTALL", gold, gold_edge, cream)
    button(os.path.join(out, 'exit1.bmp'), "EXIT", steel, steel_edge, cream)
    button(os.path.join(out, 'exit2.bmp'), "EXIT", gold, gold_edge, cream)
    tone(os.path.join(out, 'welcome.wav'), [(523.25, 0.15), (659.25, 0.15), (783.99, 0.3)])
    tone(os.path.join(out, 'click.wav'), [(1200.0, 0.04)])


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else '.')
