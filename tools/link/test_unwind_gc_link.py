"""Tests of the unwind table walk of unwind_gc_link on a small made-up program."""

import os
import struct
import tempfile
import unittest

import unwind_gc_link

BASE = 0x400000
TEXT_VA, TEXT_SIZE, TEXT_RAW = 0x1000, 0x100, 0x400
FRAME_VA, FRAME_RAW = 0x2000, 0x600


def program(fde_starts, encoding=0x1B, augmentation=b"zR"):
    """A PE image with a .text section and an .eh_frame of one CIE and an FDE
    for each start address (absolute), encoded as encoding says."""
    cie = struct.pack("<IB", 0, 1) + augmentation + b"\0" + bytes([1, 0x7C, 8, 1, encoding])
    cie += b"\0" * (-(len(cie) + 4) % 4)
    frame = struct.pack("<I", len(cie)) + cie
    for start in fde_starts:
        at = len(frame)
        field_va = BASE + FRAME_VA + at + 8
        value = start - field_va if encoding == 0x1B else start
        body = struct.pack("<Iii", at + 4, value, 0x10) + b"\0"  # CIE pointer, start, range, no augmentation data
        body += b"\0" * (-(len(body) + 4) % 4)
        frame += struct.pack("<I", len(body)) + body
    frame += struct.pack("<I", 0)

    image = bytearray(FRAME_RAW + len(frame))
    pe = 0x40
    struct.pack_into("<I", image, 0x3C, pe)
    image[pe:pe + 4] = b"PE\0\0"
    struct.pack_into("<HH12xH", image, pe + 4, 0x14C, 2, 0xE0)
    struct.pack_into("<I", image, pe + 24 + 28, BASE)
    table = pe + 24 + 0xE0
    struct.pack_into("<8sIIII", image, table, b".text", TEXT_SIZE, TEXT_VA, TEXT_SIZE, TEXT_RAW)
    struct.pack_into("<8sIIII", image, table + 40, b".eh_fram", len(frame), FRAME_VA, len(frame), FRAME_RAW)
    image[FRAME_RAW:] = frame
    return bytes(image)


class UnwindTableTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "p.exe")

    def tearDown(self):
        self.dir.cleanup()

    def write(self, image):
        with open(self.path, "wb") as f:
            f.write(image)

    def starts(self):
        with open(self.path, "rb") as f:
            return [start for _, start, _ in unwind_gc_link.fdes(f.read())[0]]

    def test_sets_only_the_fdes_outside_text_to_zero_and_check_then_passes(self):
        inside, last, outside = BASE + TEXT_VA + 0x20, BASE + TEXT_VA + TEXT_SIZE - 1, BASE + FRAME_VA + 0x30
        for encoding in (0x1B, 0x00):
            with self.subTest(encoding=encoding):
                self.write(program([inside, outside, last, BASE + TEXT_VA + TEXT_SIZE], encoding))
                self.assertEqual([inside, outside, last, BASE + TEXT_VA + TEXT_SIZE], self.starts())
                self.assertEqual(1, unwind_gc_link.check(self.path))
                self.assertEqual(2, unwind_gc_link.zero_discarded_fdes(self.path))
                self.assertEqual([inside, 0, last, 0], self.starts())
                self.assertEqual(0, unwind_gc_link.check(self.path))
                self.assertEqual(0, unwind_gc_link.zero_discarded_fdes(self.path))

    def test_refuses_encodings_it_does_not_know(self):
        self.write(program([BASE + TEXT_VA], encoding=0x9B))  # indirect
        with self.assertRaises(SystemExit):
            unwind_gc_link.check(self.path)


if __name__ == "__main__":
    unittest.main()
