"""Checks of PNG and BMP files with decoders other than the program's own:
Python's zlib with a chunk walk, pngcheck and ImageMagick."""
import shutil
import struct
import subprocess
import zlib

# ImageMagick 7 is `magick`; 6 is `convert` (on Windows a system program of
# that name comes first, so only `magick` is taken there).
IMAGEMAGICK = ["magick"] if shutil.which("magick") else ["convert"]

SIGNATURE = b"\x89PNG\r\n\x1a\n"


def host_path(path, emulator):
    """The path as the program under test sees it (Wine's drive Z: is /)."""
    if emulator:
        return "Z:" + path.replace("/", "\\")
    return path


def chunks(data):
    assert data[:8] == SIGNATURE, "bad signature"
    at = 8
    while at < len(data):
        assert len(data) - at >= 12, "file cut inside a chunk"
        (length,) = struct.unpack(">I", data[at:at + 4])
        kind = data[at + 4:at + 8]
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        assert zlib.crc32(kind + body) == crc, f"bad CRC in {kind!r}"
        yield kind.decode("ascii"), body
        at += 12 + length


def check_png(path, width, height, alpha):
    """Chunk order, one IDAT, IHDR fields, filter 0 on every row, pngcheck.
    Returns the rows without their filter bytes."""
    with open(path, "rb") as f:
        data = f.read()
    found = list(chunks(data))
    assert [k for k, _ in found] == ["IHDR", "IDAT", "IEND"], [k for k, _ in found]
    ihdr = struct.unpack(">IIBBBBB", found[0][1])
    assert ihdr == (width, height, 8, 6 if alpha else 2, 0, 0, 0), ihdr
    assert found[2][1] == b""
    raw = zlib.decompress(found[1][1])
    row_bytes = 1 + (4 if alpha else 3) * width
    assert len(raw) == row_bytes * height, "image data size"
    rows = []
    for y in range(height):
        row = raw[y * row_bytes:(y + 1) * row_bytes]
        assert row[0] == 0, f"row {y} has filter {row[0]}"
        rows.append(row[1:])
    result = subprocess.run(["pngcheck", "-q", path], capture_output=True, text=True)
    assert result.returncode == 0, "pngcheck: " + result.stdout + result.stderr
    return rows


def imagemagick_pixels(path, fmt):
    out = subprocess.run(IMAGEMAGICK + [path, "-depth", "8", fmt + ":-"], capture_output=True, check=True)
    return out.stdout


def expected_png_bytes(pic, alpha):
    out = bytearray()
    for row in pic:
        for b, g, r, a in row:
            out += bytes((r, g, b, a) if alpha else (r, g, b))
    return bytes(out)


def check_png_pixels(path, pic, alpha):
    """The picture, top row first, through zlib and through ImageMagick."""
    rows = check_png(path, len(pic[0]), len(pic), alpha)
    expected = expected_png_bytes(pic, alpha)
    assert b"".join(rows) == expected, "pixels differ (zlib)"
    assert imagemagick_pixels(path, "rgba" if alpha else "rgb") == expected, "pixels differ (ImageMagick)"


def expected_bmp(pic):
    height, width = len(pic), len(pic[0])
    stride = (width * 3 + 3) & ~3
    out = bytearray(b"BM")
    out += struct.pack("<IHHI", 54 + stride * height, 0, 0, 54)
    out += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, 0, 96, 96, 0, 0)
    for row in reversed(pic):  # bottom row first
        line = bytearray()
        for b, g, r, _ in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        out += line
    return bytes(out)


def check_bmp(path, pic):
    """Every byte as the header table and row layout give, and ImageMagick's
    reading of the pixels."""
    with open(path, "rb") as f:
        data = f.read()
    assert data == expected_bmp(pic), "BMP bytes differ"
    rgb = bytearray()
    for row in pic:
        for b, g, r, _ in row:
            rgb += bytes((r, g, b))
    assert imagemagick_pixels(path, "rgb") == bytes(rgb), "pixels differ (ImageMagick)"
