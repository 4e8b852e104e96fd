#!/usr/bin/env python3
"""Draws Tovix's icon: three lock lamps on a dark key cap.

Writes res/tovix.ico: first the original 32 x 32, 256-colour picture, kept
as it was; then the picture drawn anew at 16, 20, 24, 32, 40 and 48 pixels, so
small sizes sit on the pixel grid instead of being a blurred shrink. Each size
comes hard-edged in 256 colours with a mask (at 32 the original stands in),
and anti-aliased in 32-bit colour with alpha plus a mask set exactly where
alpha is 0: Windows XP and later use the alpha, Windows 2000 only the mask.
A light outer rim keeps the dark cap visible on a dark taskbar.

The output is the same bytes on every run. Run it again after changing the
drawing; the output is committed so the build needs no Python.
"""
import struct
from pathlib import Path

SIZE = 32
SIZES = (16, 20, 24, 32, 40, 48)
SUBSAMPLES = 8  # per axis, for the 32-bit images' coverage
TRANSPARENT = (0, 0, 0)
CAP_OUTLINE = (176, 184, 198)
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
    """The original picture, whose pixels must not change."""
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


def colour_at(size, x, y):
    """The colour at point (x, y) of the picture drawn at size, None outside.

    Every boundary but the round ones falls on whole pixels, so that the
    16-pixel picture is crisp."""
    radius = size * 6 / 32
    if not inside_rounded_square(x, y, 0, size, radius):
        return None
    if not inside_rounded_square(x, y, 1, size - 1, radius - 1):
        return CAP_OUTLINE
    edge = 1 + size // 20  # no dark edge at 16 pixels, where room is short
    if not inside_rounded_square(x, y, edge, size - edge, radius - edge):
        return CAP_EDGE
    # Even lamp diameters on whole-pixel centres give whole-pixel lamps.
    diameter = size // 8 * 2
    gap = size // 4 - diameter
    left = (size - 3 * diameter - 2 * gap) // 2
    centre_y = round(size * 18 / 32)
    core = diameter / 2 - 1 - size // 48  # a 2-pixel dark rim from 48 up
    for i, lamp in enumerate((GREEN, OLIVE, GREEN)):
        dx = x - (left + i * (diameter + gap) + diameter / 2)
        dy = y - centre_y
        if dx * dx + dy * dy <= (diameter / 2) ** 2:
            if dx * dx + dy * dy > core ** 2:
                return RIM
            # Below 24 pixels a shine would be a stray dot.
            shine = (dx + 0.45 * core) ** 2 + (dy + 0.45 * core) ** 2 <= (0.3 * core) ** 2
            return GREEN_SHINE if lamp == GREEN and size >= 24 and shine else lamp
    return CAP_LIGHT if y < round(size * 9 / 32) else CAP


def hard(size):
    """Pixels coloured at their centres, for the 256-colour images."""
    return [[colour_at(size, x + 0.5, y + 0.5) for x in range(size)] for y in range(size)]


def smooth(size):
    """RGBA pixels averaged over their subsamples, for the 32-bit images."""
    n = SUBSAMPLES
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            samples = [colour_at(size, x + (i + 0.5) / n, y + (j + 0.5) / n) for j in range(n) for i in range(n)]
            samples = [s for s in samples if s is not None]
            if 4 * len(samples) < n * n:
                # Nearly clear: barely seen through alpha, but a solid pixel
                # where only the mask counts, which would square the corners.
                samples = []
            k = len(samples)
            rgb = [(sum(s[c] for s in samples) + k // 2) // k if k else 0 for c in range(3)]
            row.append((*rgb, (255 * k + n * n // 2) // (n * n)))
        rows.append(row)
    return rows


def mask(rows, clear):
    """The AND mask, bottom-up, rows padded to 32 bits."""
    width = (len(rows[0]) + 31) // 32 * 4
    data = b""
    for row in reversed(rows):
        bits = 0
        for x, pixel in enumerate(row):
            if clear(pixel):
                bits |= 1 << (width * 8 - 1 - x)
        data += bits.to_bytes(width, "big")
    return data


def bitmap8(pixels):
    size = len(pixels)
    palette = [TRANSPARENT]
    for row in pixels:
        for colour in row:
            if colour is not None and colour not in palette:
                palette.append(colour)
    palette += [(0, 0, 0)] * (256 - len(palette))
    index = {colour: i for i, colour in enumerate(palette) if i == 0 or colour != (0, 0, 0)}

    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    colours = b"".join(struct.pack("BBBB", b, g, r, 0) for r, g, b in palette)
    pad = bytes(-size % 4)  # rows end on 4 bytes
    xor = b"".join(bytes(0 if c is None else index[c] for c in row) + pad for row in reversed(pixels))
    return header + colours + xor + mask(pixels, lambda c: c is None)


def bitmap32(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(struct.pack("BBBB", b, g, r, a) for row in reversed(pixels) for r, g, b, a in row)
    return header + xor + mask(pixels, lambda p: p[3] == 0)


def ico(images):
    """images: (size, bits per pixel, bitmap) in directory order."""
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = len(data) + 16 * len(images)
    for size, bpp, bitmap in images:
        data += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bpp, len(bitmap), offset)  # 0 is 256
        offset += len(bitmap)
    return data + b"".join(bitmap for _, _, bitmap in images)


if __name__ == "__main__":
    images = [(SIZE, 8, bitmap8(draw()))]
    for size in SIZES:
        if size != SIZE:  # the original is the 256-colour 32
            images.append((size, 8, bitmap8(hard(size))))
        images.append((size, 32, bitmap32(smooth(size))))
    out = Path(__file__).with_name("tovix.ico")
    out.write_bytes(ico(images))
    print(out)
