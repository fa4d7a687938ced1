#!/usr/bin/env python3
"""Writes stub.ico: the stub's icon group, 32x32 and 16x16, 16 colours.

A parcel with an arrow into it. Run from this folder; the .ico is checked in
so that the build does not need Python.
"""
import struct

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, YELLOW, RED, WHITE = 0, 3, 11, 9, 15


def draw(size):
    """Returns rows (top first) of palette indexes, None for transparent."""
    s = size / 32.0
    px = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour

    fill(3, 13, 29, 31, BLACK)      # outline of the parcel
    fill(4, 14, 28, 30, OLIVE)      # its front
    fill(4, 14, 28, 18, YELLOW)     # its lid
    fill(14, 14, 18, 30, YELLOW)    # the tape
    fill(13, 1, 19, 9, BLACK)       # arrow shaft outline
    fill(14, 1, 18, 9, RED)
    for i in range(7):              # arrow head, narrowing downwards
        fill(9 + i, 8 + i, 23 - i, 9 + i, RED)
    return px


def image(size):
    px = draw(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(px):  # bottom-up
        line = bytearray(xor_row)
        bits = bytearray(and_row)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
                c = 0
            line[x // 2] |= c << (4 if x % 2 == 0 else 0)
        xor += line
        mask += bits
    return header + palette + bytes(xor) + bytes(mask)


def main():
    images = [image(32), image(16)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open('stub.ico', 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
