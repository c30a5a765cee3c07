#!/usr/bin/env python3
"""Draws the menu's icon (a compact disc with a green arrow) as cdlaunch.ico:
32x32 and 16x16 images, 32 bits per pixel with an AND mask."""
import math
import struct
import sys


def pixel(x, y, size):
    """Colour (r, g, b, a) of one pixel of the icon at the given size."""
    c = (size - 1) / 2.0
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    outer, hole = size * 0.47, size * 0.09
    # The arrow in the lower right quarter.
    ax, ay = x / size, y / size
    if 0.52 <= ax <= 0.98 and 0.55 <= ay <= 0.98:
        u, v = ax - 0.52, ay - 0.55
        if (v > 0.14 and v < 0.30 and u < 0.26) or (u >= 0.20 and abs(v - 0.22) < (0.46 - u) * 0.9):
            return (30, 150, 60, 255)
    if r > outer or r < hole:
        return (0, 0, 0, 0)
    if r > outer - 1.2:
        return (90, 90, 110, 255)
    # Silver with a rainbow sheen by angle.
    angle = math.atan2(dy, dx)
    sheen = 0.5 + 0.5 * math.cos(2 * angle)
    base = 200 + int(40 * sheen)
    tint = int(30 * math.sin(3 * angle + r / size * 6))
    return (min(255, base + tint), base, min(255, base - tint + 10), 255)


def image(size):
    rows = []
    mask_rows = []
    mask_stride = ((size + 31) // 32) * 4
    for y in reversed(range(size)):  # bottom-up
        row = bytearray()
        mask = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = pixel(x, y, size)
            row += bytes((b, g, r, a))
            if a == 0:
                mask[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b''.join(rows) + b''.join(mask_rows)


def main(path):
    sizes = (32, 16)
    images = [image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'cdlaunch.ico')
