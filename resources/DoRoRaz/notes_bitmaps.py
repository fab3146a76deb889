#!/usr/bin/env python3
"""Draws the notes manager's bitmaps: the tick boxes (203) and the four move
arrows (3102-3105). Magenta is the arrows' transparent colour. Run it here to
draw them again; the .bmp files it writes are kept in git."""
import struct

KEY = (255, 0, 255)
INK = (40, 70, 140)


def write_bmp(name, pixels):
    height, width = len(pixels), len(pixels[0])
    row_size = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):  # bottom-up
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        data += line + bytes(row_size - len(line))
    header = struct.pack('<2sIHHI', b'BM', 54 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(name, 'wb') as f:
        f.write(header + info + data)


def tick_boxes():
    size = 13
    img = [[(255, 255, 255)] * (2 * size) for _ in range(size)]
    for frame in range(2):
        x0 = frame * size
        for i in range(size):
            for x, y in ((x0 + i, 0), (x0 + i, size - 1), (x0, i), (x0 + size - 1, i)):
                img[y][x] = (96, 96, 96)
    # The tick: a short stroke down, a long one up, two pixels thick.
    points = [(3, 6), (4, 7), (5, 8), (6, 7), (7, 6), (8, 5), (9, 4), (10, 3)]
    for x, y in points:
        for dy in (0, 1):
            img[y + dy][size + x] = (0, 128, 0)
    return img


def arrow(up, bar):
    size = 16
    img = [[KEY] * size for _ in range(size)]
    # A triangle head and a stem, pointing up; flipped for the down arrows.
    for row in range(6):
        for x in range(7 - row, 9 + row):
            img[3 + row][x] = INK
    for y in range(9, 14):
        for x in range(6, 10):
            img[y][x] = INK
    if bar:
        for x in range(2, 14):
            img[0][x] = img[1][x] = INK
    return img if up else list(reversed(img))


write_bmp('notes_tick.bmp', tick_boxes())
write_bmp('notes_up.bmp', arrow(True, False))
write_bmp('notes_down.bmp', arrow(False, False))
write_bmp('notes_top.bmp', arrow(True, True))
write_bmp('notes_bottom.bmp', arrow(False, True))
