#!/usr/bin/env python3
"""Draws Tovix's icon: three lock lamps on a dark key cap.

Writes res/tovix.ico, a single 32 x 32 image with a 256-colour palette and a
transparency mask. Run it again after changing the drawing; the output is
committed so the build needs no Python.
"""
import struct
from pathlib import Path

SIZE = 32
TRANSPARENT = (0, 0, 0)
CAP_EDGE = (40, 44, 52)
CAP = (64, 70, 82)
CAP_LIGHT = (92, 100, 116)
RIM = (16, 16, 16)
GREEN = (0, 255, 0)
GREEN_SHINE = (170, 255, 170)
OLIVE = (128, 128, 0)


def inside_rounded_square(x, y, lo, hi, radius):
    cx = min(max(x, lo + radius), hi - radius)
    cy = min(max(y, lo + radius), hi - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def draw():
    pixels = [[None] * SIZE for _ in range(SIZE)]
    for y in range(SIZE):
        for x in range(SIZE):
            px, py = x + 0.5, y + 0.5
            if inside_rounded_square(px, py, 1, 31, 6):
                edge = not inside_rounded_square(px, py, 2.5, 29.5, 5)
                pixels[y][x] = CAP_EDGE if edge else (CAP_LIGHT if py < 9 else CAP)
    # Three lamps in a row, the middle one off, as the panel shows them.
    for centre_x, colour in ((8, GREEN), (16, OLIVE), (24, GREEN)):
        for y in range(SIZE):
            for x in range(SIZE):
                d2 = (x + 0.5 - centre_x) ** 2 + (y + 0.5 - 18) ** 2
                if d2 <= 3.9 ** 2:
                    pixels[y][x] = colour if d2 <= 3.0 ** 2 else RIM
        if colour == GREEN:
            pixels[16][centre_x - 2] = GREEN_SHINE
    return pixels


def ico(pixels):
    palette = [TRANSPARENT]
    for row in pixels:
        for colour in row:
            if colour is not None and colour not in palette:
                palette.append(colour)
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {colour: i for i, colour in enumerate(palette) if i == 0 or colour != (0, 0, 0)}

    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    xor = b""
    mask = b""
    for row in reversed(pixels):  # bottom-up rows
        xor += bytes(0 if c is None else index[c] for c in row)
        bits = 0
        for x, c in enumerate(row):
            if c is None:
                bits |= 1 << (31 - x)
        mask += bits.to_bytes(4, "big")
    image = header + colours + xor + mask
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 8, len(image), 22)
    return directory + image


if __name__ == "__main__":
    out = Path(__file__).with_name("tovix.ico")
    out.write_bytes(ico(draw()))
    print(out)
