#!/usr/bin/env python3
"""Draws the rest reminder's two pictures: the taskbar notifier's skin (bitmap 45)
and the bitmap message window's picture (bitmap 47). Magenta (255, 0, 255) marks
what is left out of the window, so no edge is blended into it. Run it again after
changing a colour or a size here."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
KEY = (255, 0, 255)


def write_bmp(path, pixels):
    """24-bit BMP, rows bottom-up, each padded to four bytes."""
    height, width = len(pixels), len(pixels[0])
    pad = (4 - width * 3 % 4) % 4
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            body += bytes((b, g, r))
        body += bytes(pad)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


def blend(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def inside_rounded(x, y, w, h, r):
    cx = min(max(x, r), w - 1 - r)
    cy = min(max(y, r), h - 1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def disc(pixels, cx, cy, radius, colour):
    for y in range(cy - radius, cy + radius + 1):
        for x in range(cx - radius, cx + radius + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius:
                pixels[y][x] = colour


def line(pixels, x0, y0, x1, y1, colour, width=2):
    steps = max(abs(x1 - x0), abs(y1 - y0)) * 2 + 1
    for i in range(steps + 1):
        x = x0 + (x1 - x0) * i / steps
        y = y0 + (y1 - y0) * i / steps
        for dy in range(width):
            for dx in range(width):
                pixels[round(y) + dy][round(x) + dx] = colour


def notifier():
    """A rounded panel in greens with a cup of tea in its bottom band."""
    w, h, r = 220, 130, 12
    top, bottom, band = (236, 248, 238), (204, 232, 214), (176, 214, 190)
    rim = (64, 122, 92)
    pixels = [[KEY] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if not inside_rounded(x, y, w, h, r):
                continue
            inner = 2 <= x < w - 2 and 2 <= y < h - 2 and inside_rounded(x - 2, y - 2, w - 4, h - 4, r - 2)
            if not inner:
                pixels[y][x] = rim
            elif y >= h - 25:
                pixels[y][x] = band
            else:
                pixels[y][x] = blend(top, bottom, y / (h - 25))
    # The cup: a body, a handle and a saucer, with two wisps of steam.
    cup, saucer, steam = (150, 92, 52), (120, 72, 40), (120, 150, 135)
    for y in range(h - 19, h - 8):
        for x in range(16, 30):
            pixels[y][x] = cup
    for y in range(h - 17, h - 11):
        for x in range(30, 34):
            if x == 33 or y in (h - 17, h - 12):
                pixels[y][x] = cup
    for x in range(12, 36):
        pixels[h - 8][x] = saucer
        pixels[h - 7][x] = saucer
    for i in range(8):
        pixels[h - 21 - i][19 + (1 if i % 4 in (1, 2) else 0)] = steam
        pixels[h - 21 - i][25 + (1 if i % 4 in (0, 3) else 0)] = steam
    return pixels


def message():
    """A warm oval sign with a clock above the middle, where the text goes."""
    w, h = 380, 220
    cx, cy, rx, ry = w // 2, h // 2, w // 2 - 4, h // 2 - 4
    light, dark, rim = (255, 251, 226), (255, 222, 168), (196, 118, 40)
    pixels = [[KEY] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            if d > 1:
                continue
            inner = ((x - cx) / (rx - 4)) ** 2 + ((y - cy) / (ry - 4)) ** 2
            pixels[y][x] = rim if inner > 1 else blend(light, dark, math.sqrt(d))
    # The clock: a white face with a rim, ticks at the quarters and two hands.
    ox, oy, radius = cx, 52, 24
    disc(pixels, ox, oy, radius, rim)
    disc(pixels, ox, oy, radius - 3, (255, 255, 255))
    for angle in range(0, 360, 90):
        a = math.radians(angle)
        line(pixels, round(ox + 15 * math.cos(a)), round(oy + 15 * math.sin(a)),
             round(ox + 18 * math.cos(a)), round(oy + 18 * math.sin(a)), rim)
    line(pixels, ox, oy, ox, oy - 14, (60, 40, 30))
    line(pixels, ox, oy, ox + 10, oy + 4, (60, 40, 30))
    return pixels


if __name__ == "__main__":
    write_bmp(os.path.join(HERE, "rest_notifier.bmp"), notifier())
    write_bmp(os.path.join(HERE, "rest_message.bmp"), message())
