#!/usr/bin/env python3
"""Converts a Windows BMP (1, 4, 8, 24 or 32 bits, bottom-up or top-down,
uncompressed) to PNG, with the standard library only.

Usage: bmp2png.py INPUT.bmp OUTPUT.png
"""
import struct
import sys
import zlib


def read_bmp(data):
    if data[:2] != b'BM':
        raise ValueError('not a BMP file')
    offset = struct.unpack_from('<I', data, 10)[0]
    header_size, width, height, _, bits, compression, _, _, _, used = struct.unpack_from('<IiiHHIIiiI', data, 14)
    if compression not in (0, 3):
        raise ValueError('compressed BMP files are not supported')
    top_down = height < 0
    height = abs(height)
    palette = []
    if bits <= 8:
        count = used or (1 << bits)
        base = 14 + header_size
        for i in range(count):
            b, g, r, _ = struct.unpack_from('<BBBB', data, base + 4 * i)
            palette.append((r, g, b))
    stride = ((width * bits + 31) // 32) * 4
    rows = []
    for y in range(height):
        src = offset + (y if top_down else height - 1 - y) * stride
        row = bytearray()
        for x in range(width):
            if bits == 24:
                b, g, r = data[src + 3 * x:src + 3 * x + 3]
            elif bits == 32:
                b, g, r = data[src + 4 * x:src + 4 * x + 3]
            else:
                per_byte = 8 // bits
                byte = data[src + x // per_byte]
                shift = 8 - bits * (x % per_byte + 1)
                r, g, b = palette[(byte >> shift) & ((1 << bits) - 1)]
            row += bytes((r, g, b))
        rows.append(bytes(row))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)
    raw = b''.join(b'\x00' + row for row in rows)
    png = b'\x89PNG\r\n\x1a\n'
    png += chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0))
    png += chunk(b'IDAT', zlib.compress(raw, 9))
    png += chunk(b'IEND', b'')
    with open(path, 'wb') as f:
        f.write(png)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], 'rb') as f:
        width, height, rows = read_bmp(f.read())
    write_png(sys.argv[2], width, height, rows)


if __name__ == '__main__':
    main()
