#!/usr/bin/env python3
"""Draws the program icon: a patch of the world as the window shows it,
nutrient colours with plants, herbivores and carnivores on top.

Writes icons/kesmir-SIZE.png at the sizes a desktop's icon theme wants; the
64-pixel one is also built into the program (kesmir.qrc). Every size is the
same 64-unit design scaled, so the 64-pixel icon is the design itself.

Standard library only; run it from this directory to redraw the icons."""
import math
import os
import struct
import zlib

DESIGN = 64  # the design's grid, in units
THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)  # hicolor's usual sizes for applications
PLANT, HERBIVORE, CARNIVORE = (10, 250, 0), (0, 10, 250), (250, 0, 10)


def nutrient_colour(level):
    """The window's palette: red to yellow to white as the level rises."""
    index = max(0, min(767, int(485 + (283 / 5500) * (level - 500))))
    if index < 256:
        return (index, 0, 255 - index)
    if index < 512:
        return (255, index - 256, 0)
    return (255, 255, index - 512)


def draw(size):
    scale = size / DESIGN
    pixel = 1 / scale  # one pixel in design units
    rim = 1.5 * max(1, pixel)  # at least a pixel and a half, so small icons keep it
    pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]
    centre, radius = (DESIGN - 1) / 2, DESIGN / 2 - 1.5
    for y in range(size):
        for x in range(size):
            u, v = (x + 0.5) * pixel - 0.5, (y + 0.5) * pixel - 0.5  # the pixel's centre
            d = math.hypot(u - centre, v - centre)
            if d > radius + pixel:
                continue
            # Rich ground in the middle, thinner towards the rim.
            level = 2600 * math.exp(-(d / 22) ** 2) + 150 * math.sin(u / 5) * math.cos(v / 7)
            r, g, b = nutrient_colour(level)
            if d > radius - rim:  # a dark rim
                r, g, b = 40, 30, 20
            alpha = 255 if d <= radius else int(255 * (radius + pixel - d) / pixel)
            pixels[y][x] = (r, g, b, alpha)
    state = 2024
    for colour, count in ((PLANT, 70), (HERBIVORE, 26), (CARNIVORE, 9)):
        placed = 0
        while placed < count:
            state = (state * 1103515245 + 12345) % 2**31
            x, y = state % (DESIGN - 1), (state // DESIGN) % (DESIGN - 1)
            if math.hypot(x + 0.5 - centre, y + 0.5 - centre) > radius - 4:
                continue
            # An organism covers two by two units; where that is less than a
            # pixel, the one pixel under its centre.
            if 2 * scale < 1:
                first_x = last_x = int((x + 1) * scale)
                first_y = last_y = int((y + 1) * scale)
            else:
                first_x, first_y = round(x * scale), round(y * scale)
                last_x, last_y = round((x + 2) * scale) - 1, round((y + 2) * scale) - 1
            for py in range(first_y, last_y + 1):
                for px in range(first_x, last_x + 1):
                    pixels[py][px] = colour + (255,)
            placed += 1
    return pixels


def png(pixels):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(
            ">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    size = len(pixels)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def write(path, size):
    with open(path, "wb") as out:
        out.write(png(draw(size)))


if __name__ == "__main__":
    os.makedirs("icons", exist_ok=True)
    for size in THEME_SIZES:
        write(os.path.join("icons", f"kesmir-{size}.png"), size)
