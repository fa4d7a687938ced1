#!/usr/bin/env python3
"""Draws the pictures of the complete example into app/[shell]:

  art/logo.bmp    the program's badge, top left on setup's backdrop
  art/tile.bmp    a pattern repeated down the backdrop's left edge
  doc/window.bmp  a sketch of the program's window, on a read-me page

setup reads plain bitmaps only (a 40-byte header, rows bottom-up, below
24 bits a full colour table), so they are written here by hand: 4 bits a
pixel with all 16 table entries. Run it again after changing a drawing;
the pictures are committed, so packing needs no Python.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
SHELL = os.path.join(HERE, "app", "[shell]")


class Picture:
    def __init__(self, width, height, background):
        self.width, self.height = width, height
        self.pixels = [[background] * width for _ in range(height)]

    def rect(self, left, top, right, bottom, colour, radius=0):
        """Fills left <= x < right, top <= y < bottom, corners rounded."""
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                if radius:
                    cx = min(max(x, left + radius), right - 1 - radius)
                    cy = min(max(y, top + radius), bottom - 1 - radius)
                    if (x - cx) ** 2 + (y - cy) ** 2 > radius ** 2:
                        continue
                self.pixels[y][x] = colour

    def polygon(self, points, colour):
        """Fills a convex polygon given clockwise."""
        for y in range(self.height):
            for x in range(self.width):
                inside = True
                for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
                    if (x2 - x1) * (y + 0.5 - y1) - (y2 - y1) * (x + 0.5 - x1) < 0:
                        inside = False
                        break
                if inside:
                    self.pixels[y][x] = colour

    def save(self, path):
        colours = sorted({c for row in self.pixels for c in row})
        assert len(colours) <= 16, path
        index = {c: i for i, c in enumerate(colours)}
        table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in colours)
        table += b"\0\0\0\0" * (16 - len(colours))
        stride = (self.width + 7) // 8 * 4  # two pixels a byte, rows padded to 4 bytes
        rows = b""
        for row in reversed(self.pixels):
            indices = [index[c] for c in row] + [0]
            packed = bytes(indices[x] << 4 | indices[x + 1] for x in range(0, self.width, 2))
            rows += packed + b"\0" * (stride - len(packed))
        offset = 14 + 40 + len(table)
        header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 4, 0, len(rows), 2835, 2835, 16, 0)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(header + info + table + rows)


NAVY = (0, 48, 96)
WHITE = (255, 255, 255)
ORANGE, ORANGE_DARK, ORANGE_LIGHT = (240, 144, 32), (192, 104, 16), (255, 192, 96)
BLUE = (32, 96, 176)
GREY, GREY_LIGHT = (128, 128, 128), (208, 208, 208)


def logo():
    # A rounded badge holding a parcel seen from above one corner.
    p = Picture(112, 112, NAVY)
    p.rect(0, 0, 112, 112, (16, 88, 160), radius=20)
    p.rect(4, 4, 108, 108, BLUE, radius=17)
    p.polygon([(56, 20), (92, 38), (56, 56), (20, 38)], ORANGE_LIGHT)  # lid
    p.polygon([(20, 38), (56, 56), (56, 94), (20, 76)], ORANGE)  # left side
    p.polygon([(56, 56), (92, 38), (92, 76), (56, 94)], ORANGE_DARK)  # right side
    p.polygon([(36, 30), (72, 48), (72, 54), (36, 36)], WHITE)  # tape over the lid
    p.save(os.path.join(SHELL, "art", "logo.bmp"))


def tile():
    # A diamond that joins the next copy above and below it.
    p = Picture(24, 24, (0, 40, 80))
    p.polygon([(12, 0), (24, 12), (12, 24), (0, 12)], (0, 64, 120))
    p.polygon([(12, 6), (18, 12), (12, 18), (6, 12)], (32, 112, 184))
    p.save(os.path.join(SHELL, "art", "tile.bmp"))


def window():
    # The program's window: caption, then lines of text.
    p = Picture(240, 150, GREY)
    p.rect(1, 1, 239, 149, GREY_LIGHT)
    p.rect(4, 4, 236, 22, BLUE)
    p.rect(8, 9, 80, 17, WHITE)
    p.rect(222, 7, 232, 19, GREY_LIGHT)
    p.rect(4, 26, 236, 146, WHITE)
    for n, width in enumerate([150, 0, 200, 170, 190, 0, 120, 180, 90]):
        top = 36 + n * 12
        p.rect(14, top, 14 + width, top + 5, GREY if n else (0, 0, 0))
    p.save(os.path.join(SHELL, "doc", "window.bmp"))


if __name__ == "__main__":
    logo()
    tile()
    window()
