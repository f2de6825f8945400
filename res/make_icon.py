#!/usr/bin/env python3
"""Draws the icons at build time (res/CMakeLists.txt runs it):

    make_icon.py program OUT.ico    the program: a white sheet with three
                                    stacked, half-transparent colour tiles,
                                    the layers the viewer flattens
    make_icon.py document OUT.ico   a QVM or QVR document: a page with a
                                    folded corner holding the same tiles

Each icon holds 16, 20, 24, 32, 40, 48, 64 and 256 pixel images, 32-bit with
alpha: the sizes Windows picks from at 100% to 200% scale for small icons,
lists and tiles. The 256-pixel image is stored as PNG, as Windows expects of
that size; the others as bitmaps, which every version reads."""

import struct
import sys
import zlib

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
SUPER = 4  # samples per pixel along each axis, for the slanted edge of the fold

OUTLINE = (0.10, 0.13, 0.20)
SHEET = (1.0, 1.0, 1.0)
FOLD = (0.80, 0.83, 0.88)
TILE_COLOURS = ((0.20, 0.45, 0.90), (0.90, 0.25, 0.25), (0.98, 0.78, 0.15))  # back to front


def overlap(low, high, start, end):
    """Length of [low, high) within [start, end)."""
    return max(0.0, min(high, end) - max(low, start))


def box_coverage(size, x, y, box):
    """Share of pixel (x, y) covered by box = (left, top, right, bottom) in units of the icon size."""
    left, top, right, bottom = (v * size for v in box)
    return overlap(left, right, x, x + 1) * overlap(top, bottom, y, y + 1)


def page_coverage(size, x, y, box, fold):
    """Share of pixel (x, y) covered by a page: box without the triangle of
    its top-right corner cut at fold (in units of the icon size) from it."""
    left, top, right, bottom = (v * size for v in box)
    cut = fold * size
    if x + 1 <= right - cut or y >= top + cut:
        return box_coverage(size, x, y, box)  # clear of the cut corner
    hits = 0
    for sy in range(SUPER):
        for sx in range(SUPER):
            px = x + (sx + 0.5) / SUPER
            py = y + (sy + 0.5) / SUPER
            if left <= px < right and top <= py < bottom and (px - (right - cut)) <= (py - top):
                hits += 1
    return hits / (SUPER * SUPER)


def fold_coverage(size, x, y, box, fold):
    """Share of pixel (x, y) covered by the folded-down flap: the triangle below the cut."""
    left, top, right, _ = (v * size for v in box)
    cut = fold * size
    hits = 0
    if x + 1 <= right - cut or x >= right or y >= top + cut or y + 1 <= top:
        return 0.0
    for sy in range(SUPER):
        for sx in range(SUPER):
            px = x + (sx + 0.5) / SUPER
            py = y + (sy + 0.5) / SUPER
            if right - cut <= px < right and top <= py < top + cut and (px - (right - cut)) <= (py - top):
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


def draw_program(size):
    tiles = list(zip(TILE_COLOURS, ((0.18, 0.16, 0.70, 0.64), (0.30, 0.30, 0.82, 0.78), (0.42, 0.44, 0.88, 0.88))))
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px = (0.0, 0.0, 0.0, 0.0)
            px = over(px, OUTLINE, box_coverage(size, x, y, (0.06, 0.04, 0.94, 0.96)))
            px = over(px, SHEET, box_coverage(size, x, y, (0.10, 0.08, 0.90, 0.92)))
            for colour, box in tiles:
                px = over(px, colour, 0.8 * box_coverage(size, x, y, box))
            row.append(px)
        rows.append(row)
    return rows


def draw_document(size):
    # A portrait page, narrower than the program's square sheet, its corner
    # folded; the tiles sit low on it, smaller, so the two read apart in a
    # folder even at 16 pixels.
    outer, inner = (0.16, 0.02, 0.84, 0.98), (0.21, 0.06, 0.79, 0.94)
    outer_fold, inner_fold = 0.26, 0.22
    tiles = list(zip(TILE_COLOURS, ((0.28, 0.40, 0.60, 0.70), (0.36, 0.52, 0.68, 0.80), (0.44, 0.62, 0.74, 0.88))))
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            px = (0.0, 0.0, 0.0, 0.0)
            px = over(px, OUTLINE, page_coverage(size, x, y, outer, outer_fold))
            px = over(px, SHEET, page_coverage(size, x, y, inner, inner_fold))
            px = over(px, FOLD, fold_coverage(size, x, y, inner, inner_fold))
            for colour, box in tiles:
                px = over(px, colour, 0.8 * box_coverage(size, x, y, box))
            row.append(px)
        rows.append(row)
    return rows


def to_bytes(value):
    return round(value * 255)


def bitmap_image(rows):
    """One ICO image as a bitmap: BITMAPINFOHEADER, bottom-up BGRA rows, then the AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((to_bytes(b), to_bytes(g), to_bytes(r), to_bytes(a)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < 0.5:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_image(rows):
    """One ICO image as PNG, 8-bit RGBA, top-down."""
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter: none
        for r, g, b, a in row:
            raw += bytes((to_bytes(r), to_bytes(g), to_bytes(b), to_bytes(a)))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            png_chunk(b"IEND", b""))


def write_icon(path, draw):
    images = [png_image(draw(s)) if s >= 256 else bitmap_image(draw(s)) for s in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(SIZES, images):
        side = size if size < 256 else 0  # 0 stands for 256 in the directory
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


def main(argv):
    drawings = {"program": draw_program, "document": draw_document}
    if len(argv) != 3 or argv[1] not in drawings:
        sys.stderr.write("usage: make_icon.py program|document OUT.ico\n")
        return 2
    write_icon(argv[2], drawings[argv[1]])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
