#!/usr/bin/env python3
"""Draws the program icon, kesmir-icon.png: a patch of the world as the window
shows it, nutrient colours with plants, herbivores and carnivores on top.

Standard library only; run it from this directory to redraw the icon."""
import math
import struct
import zlib

SIZE = 64
PLANT, HERBIVORE, CARNIVORE = (10, 250, 0), (0, 10, 250), (250, 0, 10)


def nutrient_colour(level):
    """The window's palette: red to yellow to white as the level rises."""
    index = max(0, min(767, int(485 + (283 / 5500) * (level - 500))))
    if index < 256:
        return (index, 0, 255 - index)
    if index < 512:
        return (255, index - 256, 0)
    return (255, 255, index - 512)


def draw():
    pixels = [[(0, 0, 0, 0)] * SIZE for _ in range(SIZE)]
    centre, radius = (SIZE - 1) / 2, SIZE / 2 - 1.5
    for y in range(SIZE):
        for x in range(SIZE):
            d = math.hypot(x - centre, y - centre)
            if d > radius + 1:
                continue
            # Rich ground in the middle, thinner towards the rim.
            level = 2600 * math.exp(-(d / 22) ** 2) + 150 * math.sin(x / 5) * math.cos(y / 7)
            r, g, b = nutrient_colour(level)
            if d > radius - 1.5:  # a dark rim
                r, g, b = 40, 30, 20
            alpha = 255 if d <= radius else int(255 * (radius + 1 - d))
            pixels[y][x] = (r, g, b, alpha)
    state = 2024
    for colour, count in ((PLANT, 70), (HERBIVORE, 26), (CARNIVORE, 9)):
        placed = 0
        while placed < count:
            state = (state * 1103515245 + 12345) % 2**31
            x, y = state % (SIZE - 1), (state // SIZE) % (SIZE - 1)
            if math.hypot(x + 0.5 - centre, y + 0.5 - centre) > radius - 4:
                continue
            for dx in (0, 1):
                for dy in (0, 1):
                    pixels[y + dy][x + dx] = colour + (255,)
            placed += 1
    return pixels


def png(pixels):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    header = struct.pack(">IIBBBBB", SIZE, SIZE, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


if __name__ == "__main__":
    with open("kesmir-icon.png", "wb") as out:
        out.write(png(draw()))
