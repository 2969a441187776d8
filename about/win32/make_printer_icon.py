#!/usr/bin/env python3
"""Writes the About box's 32x32 printer icon as a C++ header of 0xAARRGGBB pixels.

    make_printer_icon.py OUTPUT.h
"""
import sys

# One letter per pixel, top row first; "." is transparent.
PICTURE = [
    "................................",
    "................................",
    "........################........",
    "........#wwwwwwwwwwwwww#........",
    "........#wwwwwwwwwwwwww#........",
    "........#ww--------wwww#........",
    "........#wwwwwwwwwwwwww#........",
    "........#ww----------ww#........",
    "........#wwwwwwwwwwwwww#........",
    "........#wwwwwwwwwwwwww#........",
    "....########################....",
    "...#hhhhhhhhhhhhhhhhhhhhhhhh#...",
    "..#hhhhhhhhhhhhhhhhhhhhhhhhhh#..",
    "..#hhhhhhhhhhhhhhhhhhhhhhhhhh#..",
    "..#hhhhhhhhhhhhhhhhhhhhggghhh#..",
    "..#hhhhhhhhhhhhhhhhhhhhggghhh#..",
    "..#hhhhhhhhhhhhhhhhhhhhhhhhhh#..",
    "..#hhhhhhhhhhhhhhhhhhhhhhhhhh#..",
    "..#ssssssssssssssssssssssssss#..",
    "..#ss##################ssssss#..",
    "..#sss#wwwwwwwwwwwwww#sssssss#..",
    "..####wwwwwwwwwwwwwwww########..",
    "......#wwwwwwwwwwwwww#..........",
    "......#ww----------ww#..........",
    "......#wwwwwwwwwwwwww#..........",
    "......#ww--------wwww#..........",
    "......#wwwwwwwwwwwwww#..........",
    "......#ww-----------w#..........",
    "......#wwwwwwwwwwwwww#..........",
    "......################..........",
    "................................",
    "................................",
]
COLOURS = {  # (red, green, blue); "." is left out: transparent
    "#": (0, 0, 0),
    "w": (255, 255, 255),
    "-": (128, 128, 128),
    "h": (192, 192, 192),
    "s": (96, 96, 96),
    "g": (0, 192, 0),
}


def pixels():
    assert len(PICTURE) == 32 and all(len(row) == 32 for row in PICTURE)
    for row in PICTURE:
        for c in row:
            if c == ".":
                yield 0
            else:
                red, green, blue = COLOURS[c]
                yield 0xFF000000 | red << 16 | green << 8 | blue


def header():
    values = [f"0x{p:08X}," for p in pixels()]
    lines = [" ".join(values[i : i + 8]) for i in range(0, len(values), 8)]
    return (
        "// Made by make_printer_icon.py: the printer icon, 32x32, top row first, 0xAARRGGBB.\n"
        "#pragma once\n#include <cstdint>\n\n"
        "inline constexpr int kPrinterIconSize = 32;\n"
        "inline constexpr std::uint32_t kPrinterIconPixels[] = {\n"
        + "".join(f"    {line}\n" for line in lines)
        + "};\n"
    )


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    open(sys.argv[1], "w").write(header())
