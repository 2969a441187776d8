#!/usr/bin/env python3
"""Writes the control's toolbox picture, a 16x15 printer, as a 24-bit BMP.

    make_toolbox_bitmap.py OUTPUT.bmp
"""
import struct
import sys

# One letter per pixel, top row first. The background is the toolbox's grey, which
# containers treat as transparent (the colour of the bottom-left pixel).
PICTURE = [
    "................",
    "....########....",
    "....#wwwwww#....",
    "....#w----w#....",
    "....#wwwwww#....",
    "..############..",
    ".#hhhhhhhhhhhh#.",
    ".#hhhhhhhhhhgg#.",
    ".#hhhhhhhhhhhh#.",
    ".##############.",
    ".#s##########s#.",
    "...#wwwwwwww#...",
    "...#w------w#...",
    "...#wwwwwwww#...",
    "...##########...",
]
COLOURS = {  # (red, green, blue)
    ".": (192, 192, 192),
    "#": (0, 0, 0),
    "w": (255, 255, 255),
    "-": (128, 128, 128),
    "h": (160, 160, 164),
    "g": (0, 192, 0),
    "s": (64, 64, 64),
}


def bitmap():
    width, height = len(PICTURE[0]), len(PICTURE)
    row_size = (width * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(PICTURE):  # BMP rows run bottom-up
        line = b"".join(bytes(reversed(COLOURS[c])) for c in row)  # stored blue, green, red
        pixels += line + bytes(row_size - len(line))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + pixels


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    open(sys.argv[1], "wb").write(bitmap())
