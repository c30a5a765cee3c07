#!/usr/bin/env python3
"""Links a MinGW program so that --gc-sections also leaves out the code that
only unwind tables name (the link launcher of _setupx).

    unwind_gc_link.py COMPILER-DRIVER ARGS...
    unwind_gc_link.py --check PROGRAM

On i686 MinGW every object carries one .eh_frame section with an FDE for
each of its functions, and the linker's script keeps every .eh_frame: the
FDEs then keep every function of a linked object, used or not. The link
runs twice:

1. with the default script changed only so that .eh_frame is not kept
   (but for crtbegin's and crtend's, which frame the table), and with
   --print-gc-sections: the code sections it removes are those that nothing
   but an unwind table reaches;
2. the real link, with the default script and those code sections
   discarded by name. Their FDEs stay in .eh_frame (an object's table is
   one section), and the linker leaves their start addresses unrelocated;
3. those start addresses are set to 0 in the program, which the unwinder
   takes for an FDE of discarded code and skips (as it skips those of
   discarded link-once functions).

The personality routine, which only the unwind tables name, is kept in the
first link too. Anything that is not a link of an .exe with --gc-sections
runs unchanged. --check fails (exit code 1) when an FDE of the program
starts neither in .text nor at 0.
"""

import os
import re
import struct
import subprocess
import sys
import tempfile

# "removing unused section '.text$name' in file 'path'" (ld's --print-gc-sections)
_REMOVED = re.compile(r"removing unused section '([^']+)' in file '([^']+)'")
_CODE = re.compile(r"^\.text([$.].*)?$")


def default_script(driver):
    ld = subprocess.run([driver, "-print-prog-name=ld"], capture_output=True, text=True, check=True).stdout.strip()
    out = subprocess.run([ld, "--verbose"], capture_output=True, text=True, check=True).stdout
    parts = out.split("==================================================")
    if len(parts) < 3:
        sys.exit("unwind_gc_link: no default linker script from %s --verbose" % ld)
    return parts[1]


def with_replacement(script, old, new):
    if old not in script:
        sys.exit("unwind_gc_link: the default linker script has no %r" % old)
    return script.replace(old, new, 1)


def quote(name):
    # A file or section name in a linker script pattern: quoted, so that
    # only '*' and '?' (which the names here do not hold) would be special.
    return '"%s"' % name


def pe_sections(image):
    """{name: (virtual address, virtual size, file offset)} and the image base."""
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    count, optional_size = struct.unpack_from("<H12xH", image, pe + 6)
    base = struct.unpack_from("<I", image, pe + 24 + 28)[0]
    table = pe + 24 + optional_size
    sections = {}
    for i in range(count):
        name, vsize, va, _, raw = struct.unpack_from("<8sIIII", image, table + 40 * i)
        sections[name.rstrip(b"\0").decode()] = (base + va, vsize, raw)
    return sections


def uleb128(data, at):
    value = shift = 0
    while True:
        byte = data[at]
        at += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, at


def cie_fde_encoding(data, at):
    """The FDE address encoding of the CIE whose content starts at at (after
    its length)."""
    version = data[at + 4]
    end = data.index(b"\0", at + 5)
    augmentation = data[at + 5:end].decode()
    at = end + 1
    _, at = uleb128(data, at)           # code alignment
    _, at = uleb128(data, at)           # data alignment (only its length matters)
    at = at + 1 if version == 1 else uleb128(data, at)[1]  # return column
    if not augmentation.startswith("z"):
        return 0x00
    _, at = uleb128(data, at)
    for letter in augmentation[1:]:
        if letter == "R":
            return data[at]
        if letter == "P":
            if data[at] & 0x0F != 0x0B:  # sdata4, as GCC writes it on i686
                sys.exit("unwind_gc_link: a personality encoding this script does not know")
            at += 1 + 4
        elif letter == "L":
            at += 1
    return 0x00


def fdes(image):
    """(file offset of its start field, its start address, the field's value
    for address 0) of every FDE in the program's .eh_frame, and .text's
    address range."""
    sections = pe_sections(image)
    text_va, text_size, _ = sections[".text"]
    frame_va, frame_size, frame_raw = sections[".eh_fram"]
    data = image[frame_raw:frame_raw + frame_size]
    encodings = {}
    found = []
    at = 0
    while at + 4 <= len(data):
        length = struct.unpack_from("<I", data, at)[0]
        if length == 0:  # the table's end
            break
        content = at + 4
        cie_offset = struct.unpack_from("<I", data, content)[0]
        if cie_offset == 0:
            encodings[at] = cie_fde_encoding(data, content)
        else:
            encoding = encodings[content - cie_offset]
            field = content + 4
            value = struct.unpack_from("<i", data, field)[0]
            field_va = frame_va + field
            if encoding == 0x1B:  # pc-relative, signed 4 bytes
                found.append((frame_raw + field, (field_va + value) & 0xFFFFFFFF, -field_va))
            elif encoding in (0x00, 0x03):  # absolute
                found.append((frame_raw + field, value & 0xFFFFFFFF, 0))
            else:
                sys.exit("unwind_gc_link: an FDE encoding this script does not know (0x%02x)" % encoding)
        at = content + length
    return found, (text_va, text_va + text_size)


def zero_discarded_fdes(path):
    """Sets the start address of every FDE outside .text to 0; returns how
    many there were."""
    with open(path, "rb") as f:
        image = bytearray(f.read())
    found, (text_begin, text_end) = fdes(image)
    zeroed = 0
    for offset, start, zero in found:
        if start != 0 and not text_begin <= start < text_end:
            struct.pack_into("<i", image, offset, zero)
            zeroed += 1
    with open(path, "wb") as f:
        f.write(image)
    return zeroed


def check(path):
    """Exit code 1, naming them, when FDEs of the program start neither in
    .text nor at 0."""
    with open(path, "rb") as f:
        found, (text_begin, text_end) = fdes(f.read())
    stray = [start for _, start, _ in found if start != 0 and not text_begin <= start < text_end]
    live = sum(1 for _, start, _ in found if start != 0)
    print("%s: %d FDEs, %d of code in .text, %d of left-out code at 0, %d elsewhere%s" % (
        path, len(found), live - len(stray), len(found) - live, len(stray),
        "".join(" 0x%08x" % s for s in stray[:10])))
    return 1 if stray else 0


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        sys.exit(check(argv[2]))
    command = argv[1:]
    output = command[command.index("-o") + 1] if "-o" in command[:-1] else ""
    if not output.endswith(".exe") or not any("--gc-sections" in a for a in command):
        os.execvp(command[0], command)

    script = default_script(command[0])
    with tempfile.TemporaryDirectory(prefix="unwind-gc-") as work:
        # 1. What remains when the unwind tables keep nothing alive.
        probe_script = os.path.join(work, "probe.ld")
        with open(probe_script, "w") as f:
            f.write(with_replacement(script, "KEEP(*(.eh_frame*))",
                                     "KEEP(*crtbegin.o(.eh_frame*)) *(.eh_frame*) KEEP(*crtend.o(.eh_frame*))"))
        probe = [os.path.join(work, "probe.exe") if a == output else a for a in command]
        probe = [a for a in probe if not a.startswith("-Wl,--out-implib")]
        probe += ["-Wl,-T," + probe_script, "-Wl,--print-gc-sections", "-Wl,-u,___gxx_personality_v0"]
        done = subprocess.run(probe, capture_output=True, text=True)
        if done.returncode != 0:
            sys.stderr.write(done.stdout + done.stderr)
            sys.exit("unwind_gc_link: the probing link failed")
        removed = []
        for line in (done.stdout + done.stderr).splitlines():
            m = _REMOVED.search(line)
            if m and _CODE.match(m.group(1)):
                removed.append((m.group(2), m.group(1)))

        # 2. The link, those code sections discarded.
        final_script = os.path.join(work, "final.ld")
        # An archive member is named "archive(member)" in ld's messages
        # and "archive:member" in a script.
        lines = ["    %s(%s)" % (quote(re.sub(r"^(.*)\((.*)\)$", r"\1:\2", f)), quote(s)) for f, s in removed]
        discard = "  /DISCARD/ :\n  {\n%s\n  }\n" % "\n".join(lines)
        with open(final_script, "w") as f:
            f.write(with_replacement(script, "SECTIONS\n{\n", "SECTIONS\n{\n" + discard))
        status = subprocess.run(command + ["-Wl,-T," + final_script]).returncode
        if status != 0:
            sys.exit(status)
        zeroed = zero_discarded_fdes(output)
        print("unwind_gc_link: %d code sections only unwind tables named left out; %d FDEs set to 0"
              % (len(removed), zeroed))


if __name__ == "__main__":
    main(sys.argv)
