#!/usr/bin/env python3
"""Writes the setup program's icon (32x32 and 16x16, 32-bit BGRA) to argv[1]:
a white cloud-drive mark on a blue rounded square."""
import math
import struct
import sys


def pixel(x, y, size):
    s = size
    r = s * 0.22  # corner radius of the square
    cx = min(max(x + 0.5, r), s - r)
    cy = min(max(y + 0.5, r), s - r)
    if math.hypot(x + 0.5 - cx, y + 0.5 - cy) > r:
        return (0, 0, 0, 0)
    # Cloud: three discs and a base bar.
    u, v = (x + 0.5) / s, (y + 0.5) / s
    cloud = (math.hypot(u - 0.38, v - 0.55) < 0.17 or math.hypot(u - 0.58, v - 0.47) < 0.2
             or math.hypot(u - 0.72, v - 0.6) < 0.12 or (0.3 < u < 0.78 and 0.55 < v < 0.72))
    if cloud:
        return (255, 255, 255, 255)
    shade = int(200 + 40 * v)
    return (shade, 130, 24, 255)  # BGRA: blue


def image(size):
    rows = []
    for y in range(size - 1, -1, -1):  # bottom-up
        rows.append(b"".join(struct.pack("4B", *pixel(x, y, size)) for x in range(size)))
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = b"\0" * (mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return header + xor + andmask


def main():
    sizes = [32, 16]
    images = [image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b"".join(images)
    with open(sys.argv[1], "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
