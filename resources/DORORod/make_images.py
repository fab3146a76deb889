#!/usr/bin/env python3
"""Draws the pictures of DORORod.dll, the password box's skin: bitmap 2, the
command bar's background (a soft vertical gradient, tiled across the band).
Run it again after changing the colours."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 8, 27
TOP, BOTTOM = (252, 252, 255), (221, 228, 240)


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def main():
    rows = []
    for y in range(HEIGHT):
        t = y / (HEIGHT - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))
        rows.append([colour] * WIDTH)
    write_bmp(os.path.join(HERE, "CommandBar.bmp"), rows)


if __name__ == "__main__":
    main()
