#!/usr/bin/env python3
"""Writes SIZE bytes of Western European text in code page 1252 to PATH, for the
translation benchmark: letters, digits, punctuation and accented letters, every one of
which has a form in code page 437, so iconv converts all of it. The same text every time.

Usage: make-text.py PATH SIZE
"""
import random
import sys

ASCII = b"abcdefghijklmnopqrstuvwxyz      ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.,;:-\r\n"
# é è ê à â ç ù û ü ö ä ñ Ä Ö Ü É ß £ ¿ ¡ á í ó ú Ñ
ACCENTED = bytes([0xE9, 0xE8, 0xEA, 0xE0, 0xE2, 0xE7, 0xF9, 0xFB, 0xFC, 0xF6, 0xE4, 0xF1, 0xC4,
                  0xD6, 0xDC, 0xC9, 0xDF, 0xA3, 0xBF, 0xA1, 0xE1, 0xED, 0xF3, 0xFA, 0xD1])


def main():
    path, size = sys.argv[1], int(sys.argv[2])
    generator = random.Random(1252)
    block = bytes(generator.choice(ASCII + ACCENTED) for _ in range(1 << 16))
    with open(path, "wb") as out:
        for _ in range(size // len(block)):
            out.write(block)
        out.write(block[: size % len(block)])


if __name__ == "__main__":
    main()
