#!/usr/bin/env python3
"""Packs a program's string table and dialog templates (make's resource step).

    pack_resources.py INPUT.res OUTPUT.res [--keep-dialog ID]...

Reads the compiled resources INPUT.res (windres -O res) and writes them to
OUTPUT.res with every RT_STRING block and every RT_DIALOG template, but the
dialogs named with --keep-dialog, moved into one resource each of type
"ZPACK" whose id is the type they hold (6 for the strings, 5 for the
dialogs). Its data (framework/PackedResources.h): the records, each the
resource's id (2 bytes), two zero bytes, its size (4 bytes), its bytes and
zero bytes to a multiple of 4, packed as the pictures are: the size of the
records in 4 bytes, little-endian, then one zlib stream of them. A dialog
that the system loads by its id (a common dialog's template) must be kept.

Both are UTF-16 text for the most part: packed they take about a fifth.
Exit code 0; 1 when the input is not a resource file or holds a name the
packing cannot carry (a named string block or dialog, or more than one
language of one).
"""

import argparse
import struct
import sys
import zlib

RT_DIALOG = 5
RT_STRING = 6
PACKED_TYPE = "ZPACK"


def align4(n):
    return (n + 3) & ~3


def read_name(data, at):
    """An ordinal (int) or a name (str) of a resource header; and where it ends."""
    (first,) = struct.unpack_from("<H", data, at)
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    end = at
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


def write_name(name):
    if isinstance(name, int):
        return struct.pack("<HH", 0xFFFF, name)
    return name.encode("utf-16-le") + b"\0\0"


class Entry:
    def __init__(self, type_, name, flags, language, data_version, version, characteristics, data):
        self.type, self.name, self.flags, self.language = type_, name, flags, language
        self.data_version, self.version, self.characteristics, self.data = data_version, version, characteristics, data

    def encode(self):
        names = write_name(self.type) + write_name(self.name)
        header_size = align4(8 + len(names)) + 16
        out = struct.pack("<II", len(self.data), header_size) + names
        out += b"\0" * (align4(len(out)) - len(out))
        out += struct.pack("<IHHII", self.data_version, self.flags, self.language, self.version, self.characteristics)
        out += self.data + b"\0" * (align4(len(self.data)) - len(self.data))
        return out


def read_res(data):
    entries, at = [], 0
    while at + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, at)
        if header_size < 32 or at + header_size + data_size > len(data):
            raise ValueError("not a resource file, or a damaged one (at byte %d)" % at)
        type_, p = read_name(data, at + 8)
        name, p = read_name(data, p)
        p = align4(p)
        data_version, flags, language, version, characteristics = struct.unpack_from("<IHHII", data, p)
        body = data[at + header_size:at + header_size + data_size]
        entries.append(Entry(type_, name, flags, language, data_version, version, characteristics, body))
        at = align4(at + header_size + data_size)
    return entries


def pack(records):
    raw = b""
    for ident, body in records:
        raw += struct.pack("<HHI", ident, 0, len(body)) + body + b"\0" * (align4(len(body)) - len(body))
    return struct.pack("<I", len(raw)) + zlib.compress(raw, 9)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--keep-dialog", type=int, action="append", default=[])
    args = parser.parse_args()
    try:
        entries = read_res(open(args.input, "rb").read())
        kept, moved = [], {RT_STRING: [], RT_DIALOG: []}
        language = {}
        for e in entries:
            packable = e.type in moved and not (e.type == RT_DIALOG and e.name in args.keep_dialog)
            if not packable:
                kept.append(e)
                continue
            if not isinstance(e.name, int):
                raise ValueError("resource %r of type %d has a name; only ids can be packed" % (e.name, e.type))
            if any(ident == e.name for ident, _ in moved[e.type]):
                raise ValueError("resource %d of type %d stands in more than one language" % (e.name, e.type))
            moved[e.type].append((e.name, e.data))
            language.setdefault(e.type, e)
        for type_, records in moved.items():
            if records:
                model = language[type_]
                kept.append(Entry(PACKED_TYPE, type_, model.flags, model.language, 0, 0, 0, pack(records)))
    except (OSError, ValueError, struct.error) as error:
        print("pack_resources: %s: %s" % (args.input, error), file=sys.stderr)
        return 1
    with open(args.output, "wb") as out:
        for e in kept:
            out.write(e.encode())
    return 0


if __name__ == "__main__":
    sys.exit(main())
