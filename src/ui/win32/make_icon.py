#!/usr/bin/env python3
"""Draws uninst.ico: a package box with a red removal cross, 32x32 and 16x16, 16 colours.

Not part of the build; run it again only to change the picture: python3 make_icon.py uninst.ico
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_YELLOW, GREY, RED, YELLOW = 0, 3, 8, 9, 11
TRANSPARENT = None


def draw(size):
    """Rows of palette indices, top row first; None is transparent."""
    pixels = [[TRANSPARENT] * size for _ in range(size)]
    unit = size / 32.0

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * unit), int(y1 * unit)):
            for x in range(int(x0 * unit), int(x1 * unit)):
                pixels[y][x] = colour

    # The box: a lid, a front and an outline.
    fill(3, 8, 29, 30, BLACK)
    fill(4, 9, 28, 29, DARK_YELLOW)
    fill(4, 9, 28, 13, YELLOW)
    fill(14, 9, 18, 29, GREY)
    # The cross over the box's upper right corner.
    thickness = max(1, round(3 * unit))
    start, end = int(14 * unit), int(31 * unit)
    for i in range(start, end):
        for t in range(thickness):
            y = i - start + t
            if 0 <= y < size:
                pixels[y][i] = RED
                pixels[y][start + end - 1 - i] = RED
    return pixels


def image(size):
    pixels = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    colour_rows, mask_rows = [], []
    for row in reversed(pixels):
        nibbles = [0 if p is None else p for p in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        colour_rows.append(packed + b'\0' * (-len(packed) % 4))
        bits = 0
        for p in row:
            bits = (bits << 1) | (1 if p is None else 0)
        mask = bits.to_bytes(size // 8, 'big')
        mask_rows.append(mask + b'\0' * (-len(mask) % 4))
    return header + palette + b''.join(colour_rows) + b''.join(mask_rows)


def main(path):
    images = [(size, image(size)) for size in (32, 16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(data for _, data in images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'uninst.ico')
