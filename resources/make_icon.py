#!/usr/bin/env python3
"""Writes stub.ico and setup.ico: icon groups of 32x32 and 16x16, 16 colours.

The stub's is a parcel with an arrow into it; setup's a screen with a
parcel before it. Run from this folder; the .ico files are checked in so
that the build does not need Python.
"""
import struct

# The standard 16-colour palette, as (r, g, b).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, OLIVE, NAVY, SILVER, GREY, YELLOW, RED, BLUE, WHITE = 0, 3, 4, 7, 8, 11, 9, 12, 15


def canvas(size):
    """An empty picture and a function that fills rectangles of a 32x32 grid."""
    s = size / 32.0
    px = [[None] * size for _ in range(size)]

    def fill(x0, y0, x1, y1, colour):
        for y in range(int(y0 * s), int(y1 * s)):
            for x in range(int(x0 * s), int(x1 * s)):
                px[y][x] = colour
    return px, fill


def draw_setup(size):
    px, fill = canvas(size)
    fill(2, 2, 30, 22, BLACK)       # the screen's frame
    fill(3, 3, 29, 21, SILVER)
    fill(5, 5, 27, 19, NAVY)        # the screen
    fill(7, 7, 25, 9, BLUE)         # a bar of progress
    fill(7, 7, 18, 9, WHITE)
    fill(12, 22, 20, 25, GREY)      # its stand
    fill(8, 25, 24, 27, GREY)
    fill(17, 17, 31, 31, BLACK)     # a parcel in front
    fill(18, 18, 30, 30, OLIVE)
    fill(18, 18, 30, 21, YELLOW)
    fill(23, 18, 25, 30, YELLOW)
    return px


def draw(size):
    """Returns rows (top first) of palette indexes, None for transparent."""
    px, fill = canvas(size)
    fill(3, 13, 29, 31, BLACK)      # outline of the parcel
    fill(4, 14, 28, 30, OLIVE)      # its front
    fill(4, 14, 28, 18, YELLOW)     # its lid
    fill(14, 14, 18, 30, YELLOW)    # the tape
    fill(13, 1, 19, 9, BLACK)       # arrow shaft outline
    fill(14, 1, 18, 9, RED)
    for i in range(7):              # arrow head, narrowing downwards
        fill(9 + i, 8 + i, 23 - i, 9 + i, RED)
    return px


def image(size, draw):
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


def write_icon(name, draw):
    images = [image(32, draw), image(16, draw)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(name, 'wb') as f:
        f.write(out)


def main():
    write_icon('stub.ico', draw)
    write_icon('setup.ico', draw_setup)


if __name__ == '__main__':
    main()
