#!/usr/bin/env python3
"""Converts an uncompressed BMP picture (8-bit with colour table, or 24-bit)
to PNG, for the screenshots shown in the README.

    bmp2png.py IN.bmp OUT.png
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, 'rb').read()
    if data[:2] != b'BM':
        raise SystemExit(f"{path}: not a BMP file")
    offset = struct.unpack_from('<I', data, 10)[0]
    size, width, height, _, bits, compression = struct.unpack_from('<IiiHHI', data, 14)
    if compression != 0 or bits not in (8, 24):
        raise SystemExit(f"{path}: only uncompressed 8- and 24-bit pictures are read")
    palette = []
    if bits == 8:
        used = struct.unpack_from('<I', data, 14 + 32)[0] or 256
        for i in range(used):
            b, g, r, _ = data[14 + size + 4 * i:14 + size + 4 * i + 4]
            palette.append((r, g, b))
    stride = (width * bits + 31) // 32 * 4
    rows = []
    for y in range(abs(height)):
        src = y if height < 0 else height - 1 - y
        row = data[offset + src * stride:offset + src * stride + stride]
        if bits == 8:
            rows.append(b''.join(bytes(palette[i]) for i in row[:width]))
        else:
            rows.append(b''.join(bytes((row[3 * x + 2], row[3 * x + 1], row[3 * x])) for x in range(width)))
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body) & 0xffffffff)
    raw = b''.join(b'\0' + row for row in rows)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n')
        f.write(chunk(b'IHDR', struct.pack('>IIBBBBB', width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b'IDAT', zlib.compress(raw, 9)))
        f.write(chunk(b'IEND', b''))


if __name__ == '__main__':
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    w, h, pixel_rows = read_bmp(sys.argv[1])
    write_png(sys.argv[2], w, h, pixel_rows)
