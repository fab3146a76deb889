#!/usr/bin/env python3
"""Draws the password box's pictures. PNPBRes.dll's bitmap 2000, the list's
images: 15 x 15 pixels each, side by side, magenta for what is transparent.
0: a closed group (a box with a plus), 1: an open group (a box with a minus),
2: a record (a small key). DORORod.dll's bitmap 2, the command bar's
background: a soft vertical gradient, tiled across the band.
Run it again after changing a picture."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SIZE, COUNT = 15, 3
MAGENTA, FRAME, FILL, MARK = (255, 0, 255), (96, 110, 140), (248, 248, 252), (40, 60, 110)
GOLD, DARK = (214, 168, 46), (120, 88, 20)
BAR_WIDTH, BAR_HEIGHT = 8, 27
BAR_TOP, BAR_BOTTOM = (252, 252, 255), (221, 228, 240)


def image(kind):
    px = [[MAGENTA] * SIZE for _ in range(SIZE)]

    def box(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                px[y][x] = colour

    if kind in (0, 1):
        box(3, 3, 12, 12, FRAME)
        box(4, 4, 11, 11, FILL)
        box(5, 7, 10, 8, MARK)               # minus
        if kind == 0:
            box(7, 5, 8, 10, MARK)           # plus
    else:
        box(2, 4, 8, 10, DARK)               # the key's ring
        box(3, 5, 7, 9, GOLD)
        box(4, 6, 6, 8, MAGENTA)
        box(8, 6, 14, 8, GOLD)               # its shaft
        box(11, 8, 12, 10, GOLD)             # and teeth
        box(13, 8, 14, 11, GOLD)
    return px


def write_bmp(path, rows):
    width, height = len(rows[0]), len(rows)
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):                # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(data), 0, 0, 14 + len(header)))
        f.write(header + data)


def command_bar():
    rows = []
    for y in range(BAR_HEIGHT):
        t = y / (BAR_HEIGHT - 1)
        rows.append([tuple(round(a + (b - a) * t) for a, b in zip(BAR_TOP, BAR_BOTTOM))] * BAR_WIDTH)
    return rows


def main():
    images = [image(k) for k in range(COUNT)]
    rows = [sum((images[k][y] for k in range(COUNT)), []) for y in range(SIZE)]
    write_bmp(os.path.join(HERE, "ListImages.bmp"), rows)
    write_bmp(os.path.join(HERE, "..", "DORORod", "CommandBar.bmp"), command_bar())


if __name__ == "__main__":
    main()
