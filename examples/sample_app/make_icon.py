#!/usr/bin/env python3
"""Writes sample_app.ico, Sample App's icon: a window with a parcel in it,
in the kit's own icon format and palette (resources/make_icon.py). Run
from this folder; the .ico file is checked in.
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'resources'))
from make_icon import BLACK, BLUE, OLIVE, SILVER, WHITE, YELLOW, canvas, write_icon  # noqa: E402


def draw(size):
    px, fill = canvas(size)
    fill(1, 3, 31, 29, BLACK)       # the window's frame
    fill(2, 4, 30, 28, SILVER)
    fill(3, 5, 29, 9, BLUE)         # its caption
    fill(4, 6, 14, 8, WHITE)
    fill(3, 10, 29, 27, WHITE)      # its page
    fill(9, 13, 23, 25, BLACK)      # a parcel on it
    fill(10, 14, 22, 24, OLIVE)
    fill(10, 14, 22, 17, YELLOW)
    fill(15, 14, 17, 24, YELLOW)
    return px


if __name__ == '__main__':
    write_icon('sample_app.ico', draw)
