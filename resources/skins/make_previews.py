#!/usr/bin/env python3
"""Draws the preview pictures (bitmap 2) of the shipped skins: a small window in
the skin's colours. Run it again after changing a skin's colours in skins.txt."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
WIDTH, HEIGHT = 200, 100


def rgb(text):
    return int(text[0:2], 16), int(text[2:4], 16), int(text[4:6], 16)


def read_skins():
    """skins.txt: one skin a line, "file|display name|window|text|edit|edittext|accent"."""
    with open(os.path.join(HERE, "skins.txt")) as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                yield line.split("|")


def draw(colours):
    window, text, edit, edit_text, accent = (rgb(c) for c in colours)
    pixels = [[window] * WIDTH for _ in range(HEIGHT)]

    def box(x0, y0, x1, y1, colour):
        for y in range(max(0, y0), min(HEIGHT, y1)):
            for x in range(max(0, x0), min(WIDTH, x1)):
                pixels[y][x] = colour

    box(0, 0, WIDTH, 16, accent)                      # caption
    box(WIDTH - 14, 3, WIDTH - 4, 13, window)          # close box
    box(8, 24, 60, 28, text)                           # a label
    box(8, 34, WIDTH - 8, 70, text)                    # edit box border
    box(9, 35, WIDTH - 9, 69, edit)                    # edit box
    for y in (41, 49, 57):                             # lines of text in it
        box(14, y, 14 + (y * 7) % 120 + 40, y + 3, edit_text)
    for x in (WIDTH - 118, WIDTH - 62):                # two buttons
        box(x, 78, x + 54, 94, text)
        box(x + 1, 79, x + 53, 93, window)
        box(x + 16, 85, x + 38, 87, text)
    return pixels


def write_bmp(path, pixels):
    row_size = (WIDTH * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):                       # bottom-up rows
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (row_size - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


if __name__ == "__main__":
    for name, _display, *colours in read_skins():
        write_bmp(os.path.join(HERE, name + ".bmp"), draw(colours))
