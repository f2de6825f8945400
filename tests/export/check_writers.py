#!/usr/bin/env python3
"""Reads the writers' files back with other decoders.

    check_writers.py [EMULATOR...] -- FIXTURE_PROGRAM

Runs the fixture program (through the emulator in the Windows build) into a
scratch folder, then checks every file: a chunk walk with CRCs and zlib for
PNG, exact header bytes for BMP, pngcheck, and ImageMagick's pixels against
the pictures computed here.
"""
import os
import struct
import subprocess
import sys
import tempfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import image_checks as tools  # noqa: E402


def pattern(x, y):
    return (y * 5 + 1) & 255, ((x ^ y) * 3) & 255, (x * 7 + y) & 255, ((x + y) * 11 + 9) & 255


def noise(x, y):
    v = ((x * 2654435761) ^ (y * 40503)) & 0xFFFFFFFF
    v ^= v >> 13
    v = (v * 0x5BD1E995) & 0xFFFFFFFF
    v ^= v >> 15
    return v & 255, (v >> 8) & 255, (v >> 16) & 255, (v >> 24) & 255


def picture(kind, width, height):
    """Rows from the top, each a list of (b, g, r, a)."""
    f = noise if kind == "noise" else pattern
    return [[f(x, y) for x in range(width)] for y in range(height)]


def main():
    split = sys.argv.index("--")
    emulator, program = sys.argv[1:split], sys.argv[split + 1]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(emulator + [program, tools.host_path(folder, emulator)], check=True)
        names = sorted(os.listdir(folder))
        assert len(names) == 18, names
        for name in names:
            stem, ext = os.path.splitext(name)
            parts = stem.split("_")
            width, height = map(int, parts[1].split("x"))
            pic = picture(parts[0], width, height)
            path = os.path.join(folder, name)
            try:
                if ext == ".png":
                    alpha = len(parts) == 3
                    tools.check_png(path, width, height, alpha)
                    tools.check_png_pixels(path, pic, alpha)
                else:
                    tools.check_bmp(path, pic)
            except AssertionError as error:
                failures.append(f"{name}: {error}")
    for failure in failures:
        print(failure)
    print(f"checked {len(names)} files, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
