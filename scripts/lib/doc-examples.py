#!/usr/bin/env python3
"""Writes the fenced code blocks of one language from a Markdown file to numbered files, so
tests can compile or run every example the documentation shows.

Usage: doc-examples.py FILE.md LANGUAGE OUTDIR   (writes OUTDIR/1.LANGUAGE, 2.LANGUAGE, ...)
Prints the paths written, one per line; fails when the file has no such block.
"""
import pathlib
import re
import sys


def main():
    source, language, outdir = sys.argv[1], sys.argv[2], pathlib.Path(sys.argv[3])
    text = pathlib.Path(source).read_text(encoding="utf-8")
    blocks = re.findall(r"^```" + re.escape(language) + r"\n(.*?)^```", text, re.M | re.S)
    if not blocks:
        sys.exit(f"{source}: no {language} example")
    outdir.mkdir(parents=True, exist_ok=True)
    for number, block in enumerate(blocks, 1):
        path = outdir / f"{number}.{language}"
        path.write_text(block, encoding="utf-8")
        print(path)


if __name__ == "__main__":
    main()
