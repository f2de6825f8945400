#!/usr/bin/env python3
"""Draws the program icon, Tessavel.ico: a white sheet with three stacked,
half-transparent colour tiles, the layers the viewer flattens. Writes 16, 32
and 48 pixel images (32-bit with alpha). Run it again after changing the
drawing:  python3 res/make_icon.py res/Tessavel.ico"""

import struct
import sys

SUPER = 4  # samples per pixel along each axis, for smooth edges


def coverage(size, x, y, box):
    """Share of pixel (x, y) covered by box = (left, top, right, bottom) in units of the icon size."""
    left, top, right, bottom = (v * size for v in box)
    hits = 0
    for sy in range(SUPER):
        for sx in range(SUPER):
            px = x + (sx + 0.5) / SUPER
            py = y + (sy + 0.5) / SUPER
            if left <= px < right and top <= py < bottom:
                hits += 1
    return hits / (SUPER * SUPER)


def over(dst, colour, alpha):
    """Composites colour (r, g, b) with alpha 0..1 over dst (r, g, b, a), all floats 0..1."""
    r, g, b, a = dst
    out_a = alpha + a * (1 - alpha)
    if out_a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    mix = [(c * alpha + d * a * (1 - alpha)) / out_a for c, d in zip(colour, (r, g, b))]
    return (mix[0], mix[1], mix[2], out_a)


def draw(size):
    outline = (0.10, 0.13, 0.20)
    sheet = (1.0, 1.0, 1.0)
    tiles = [  # back to front
        ((0.20, 0.45, 0.90), (0.18, 0.16, 0.70, 0.64)),
        ((0.90, 0.25, 0.25), (0.30, 0.30, 0.82, 0.78)),
        ((0.98, 0.78, 0.15), (0.42, 0.44, 0.88, 0.88)),
    ]
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px = (0.0, 0.0, 0.0, 0.0)
            px = over(px, outline, coverage(size, x, y, (0.06, 0.04, 0.94, 0.96)))
            px = over(px, sheet, coverage(size, x, y, (0.10, 0.08, 0.90, 0.92)))
            for colour, box in tiles:
                px = over(px, colour, 0.8 * coverage(size, x, y, box))
            row.append(px)
        rows.append(row)
    return rows


def icon_image(size):
    """One ICO image: BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    rows = draw(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((round(b * 255), round(g * 255), round(r * 255), round(a * 255)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def main(path):
    sizes = (16, 32, 48)
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Tessavel.ico")
