#!/usr/bin/env python3
"""Packages made by encoders other than the package writer: Debian's
lzma_alone and Python's lzma module for the Lzma86 data, Info-ZIP zip and
Python's zipfile for the archive. Usage: make_fixtures.py OUTDIR LZMA_ALONE

Writes OUTDIR/payload86.bin, payload64.bin (the plain files), pkg_infozip.zip
and pkg_zipfile.zip (the same members, archived by the two tools)."""
import lzma
import os
import struct
import subprocess
import sys
import zipfile


def x86_like(size, seed):
    # Calls to a few fixed targets: the x86 filter turns them into repeats.
    out = bytearray()
    state = seed
    while len(out) < size:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        if state % 3 == 0:
            target = 0x4000 + (state >> 8) % 4 * 0x100
            rel = (target - (len(out) + 5)) & 0xFFFFFFFF
            out += b"\xE8" + struct.pack("<I", rel)
        else:
            out += bytes([0x55, 0x8B, 0xEC, (state >> 4) & 0xFF])
    return bytes(out[:size])


def lzma86_from_lzma_alone(plain, work, lzma_alone):
    src = os.path.join(work, "alone.in")
    dst = os.path.join(work, "alone.lzma")
    with open(src, "wb") as f:
        f.write(plain)
    subprocess.run([lzma_alone, "e", src, dst, "-d23"], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(dst, "rb") as f:
        data = f.read()
    os.remove(src)
    os.remove(dst)
    # .lzma: props, dictionary, 8-byte size; Lzma86 puts the filter byte first.
    return b"\x00" + data


def lzma86_from_python(plain):
    filters = [{"id": lzma.FILTER_X86},
               {"id": lzma.FILTER_LZMA1, "dict_size": 1 << 23, "lc": 3, "lp": 0, "pb": 2}]
    raw = lzma.compress(plain, format=lzma.FORMAT_RAW, filters=filters)
    return b"\x01\x5D" + struct.pack("<I", 1 << 23) + struct.pack("<Q", len(plain)) + raw


def descriptor(last_index):
    fields = ["x86_x64", str(last_index), "1.0.0.50", "4", "101", "16", "MailKorvo_disk", "",
              "agreement"] + [""] * 13 + ["0"]
    return b"".join(f.encode("ascii") + b"\0" for f in fields)


def main():
    out, lzma_alone = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    p86 = x86_like(300000, 7)
    p64 = x86_like(200000, 11) + b"plain text tail " * 500
    with open(os.path.join(out, "payload86.bin"), "wb") as f:
        f.write(p86)
    with open(os.path.join(out, "payload64.bin"), "wb") as f:
        f.write(p64)

    # Members: the file twice per encoder, so that each package holds both.
    members = [
        ("config.dat", descriptor(4), False),
        ("x86_alone.bin.zip", lzma86_from_lzma_alone(p86, out, lzma_alone), False),
        ("x64_alone.bin", lzma86_from_lzma_alone(p64, out, lzma_alone), True),
        ("x86_py.bin.zip", lzma86_from_python(p86), False),
        ("x64_py.bin", lzma86_from_python(p64), True),
    ]

    stage = os.path.join(out, "stage")
    os.makedirs(stage, exist_ok=True)
    for name, data, _ in members:
        with open(os.path.join(stage, name), "wb") as f:
            f.write(data)
    pkg = os.path.abspath(os.path.join(out, "pkg_infozip.zip"))
    if os.path.exists(pkg):
        os.remove(pkg)
    for name, _, deflated in members:
        subprocess.run(["zip", "-q", "-X", "-9" if deflated else "-0", pkg, name], cwd=stage, check=True)

    with zipfile.ZipFile(os.path.join(out, "pkg_zipfile.zip"), "w") as z:
        for name, data, deflated in members:
            z.writestr(name, data, zipfile.ZIP_DEFLATED if deflated else zipfile.ZIP_STORED)


if __name__ == "__main__":
    main()
