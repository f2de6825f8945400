#!/usr/bin/env python3
"""Layered exports of tessavel-convert, read back by other programs' readers.

    check_layered.py [EMULATOR...] -- CONVERTER LAYERED_FIXTURES

Writes the fixture documents, converts them to PSD and PSB (and to PNG and
per-layer PNG files to compare with) and reads the results with
python3-psd-tools and PIL: layer count and order, names, blend modes,
opacities, visibility, bounds and pixels, the merged picture pixel for pixel
against the PNG conversion, and ImageMagick's frames where it is present.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

from PIL import Image
from psd_tools import PSDImage

FAILURES = []

# The blend keys by code, in psd-tools' names.
MODES = ["NORMAL", "MULTIPLY", "LINEAR_DODGE", "SUBTRACT", "SCREEN", "OVERLAY", "SOFT_LIGHT", "HARD_LIGHT",
         "COLOR_DODGE", "COLOR_BURN", "LINEAR_BURN", "VIVID_LIGHT", "LINEAR_LIGHT", "PIN_LIGHT", "DIFFERENCE",
         "LIGHTEN", "DARKEN", "HUE", "SATURATION", "COLOR", "LUMINOSITY"]


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what)


class Converter:
    def __init__(self, emulator, program):
        self.emulator = emulator
        self.program = program

    def path(self, path):
        return "Z:" + path.replace("/", "\\") if self.emulator else path

    def run(self, *args):
        result = subprocess.run(self.emulator + [self.program] + list(args), capture_output=True)
        return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


def psd_opacity(stored):
    return (min(stored, 128) * 255 + 64) // 128


def same_pixels(a, b):
    return a.size == b.size and a.tobytes() == b.tobytes()


def layer_png(folder, stem, count, index):
    """The --layers PNG of record index (0 = bottom): its number counts from the top."""
    number = count - 1 - index
    for name in os.listdir(folder):
        if name.startswith(f"{stem}_{number:02d}_"):
            return Image.open(os.path.join(folder, name)).convert("RGBA")
    return None


def check_layers_psd(psd, layer_pngs):
    layers = list(psd)
    check(len(layers) == 8, f"layers.psd has one layer per record: {len(layers)}")
    if len(layers) != 8:
        return
    names = ["paper", "線画", '\\/:*?"<>|\x01\x1f.', "hidden", "empty", "broken", "odd mode", "top"]
    check([layer.name for layer in layers] == names, f"names bottom first: {[layer.name for layer in layers]}")
    modes = [0, 1, 4, 5, 2, 0, 0, 3]
    check([layer.blend_mode.name for layer in layers] == [MODES[m] for m in modes],
          f"blend modes: {[layer.blend_mode.name for layer in layers]}")
    opacities = [psd_opacity(o) for o in (128, 64, 200, 100, 128, 128, 128, 0)]
    check([layer.opacity for layer in layers] == opacities, f"opacities: {[layer.opacity for layer in layers]}")
    visible = [True, True, True, False, True, False, True, True]
    check([layer.visible for layer in layers] == visible, f"visibility: {[layer.visible for layer in layers]}")
    bounds = [(0, 0, 48, 40), (5, 7, 30, 20), (0, 0, 48, 40), (10, 10, 20, 39), (0, 0, 0, 0), (0, 0, 0, 0),
              (40, 30, 41, 31), (2, 2, 47, 39)]
    check([tuple(layer.bbox) for layer in layers] == bounds, f"bounds: {[tuple(layer.bbox) for layer in layers]}")
    for index, layer in enumerate(layers):
        if layer.bbox == (0, 0, 0, 0) or index == 5:
            continue
        expected = layer_png(layer_pngs, "layers", 7, index if index < 5 else index - 1)
        pixels = layer.topil()
        check(expected is not None and pixels is not None and
              same_pixels(pixels.convert("RGBA"), expected.crop(layer.bbox)),
              f"layer {index} holds the stored pixels within its bounds")


def check_merged(psd_path, png_path, what):
    psd = PSDImage.open(psd_path)
    merged = psd.topil()
    picture = Image.open(png_path).convert("RGB")
    check(merged is not None and same_pixels(merged.convert("RGB"), picture),
          f"{what}: the merged picture is the PNG conversion's, pixel for pixel")
    return psd


OPS = ["svg:src-over", "svg:multiply", "svg:plus", "krita:subtract", "svg:screen", "svg:overlay", "svg:soft-light",
       "svg:hard-light", "svg:color-dodge", "svg:color-burn", "krita:linear_burn", "krita:vivid_light",
       "krita:linear light", "krita:pin_light", "svg:difference", "svg:lighten", "svg:darken", "svg:hue",
       "svg:saturation", "svg:color", "svg:luminosity"]


def png_in(archive, name):
    import io
    return Image.open(io.BytesIO(archive.read(name)))


def check_archive(path):
    """mimetype first and stored, every entry's CRC right (zipfile and unzip -t)."""
    archive = zipfile.ZipFile(path)
    first = archive.infolist()[0]
    check(first.filename == "mimetype" and first.compress_type == zipfile.ZIP_STORED and
          archive.read("mimetype") == b"image/openraster", f"{path}: mimetype first and stored")
    with open(path, "rb") as f:
        check(f.read(54)[30:54] == b"mimetypeimage/openraster", f"{path}: the media type at its fixed offset")
    check(archive.testzip() is None, f"{path}: zipfile reads every entry")
    if shutil.which("unzip"):
        result = subprocess.run(["unzip", "-t", path], capture_output=True, text=True)
        check(result.returncode == 0 and "No errors detected" in result.stdout, f"unzip -t {path}: {result.stdout}")
    return archive


def check_ora(out, pngs, psds, zip64):
    written = sorted(os.listdir(out))
    check(written == ["layers.ora", "masks.ora", "modes.ora", "tiles.ora", "wide.ora"], f"ORA files: {written}")
    for name in ("layers", "masks", "modes", "tiles", "wide"):
        path = os.path.join(out, name + ".ora")
        if not os.path.exists(path):
            continue
        archive = check_archive(path)
        merged = png_in(archive, "mergedimage.png").convert("RGB")
        check(same_pixels(merged, Image.open(os.path.join(pngs, name + ".png")).convert("RGB")),
              f"{name}.ora: mergedimage.png is the PNG conversion")
        thumbnail = png_in(archive, "Thumbnails/thumbnail.png")
        check(max(thumbnail.size) == min(256, max(merged.size)), f"{name}.ora: thumbnail {thumbnail.size}")
        stack = ElementTree.fromstring(archive.read("stack.xml"))
        layers = stack.findall("./stack/layer")
        psd = list(PSDImage.open(os.path.join(psds, name + (".psb" if name == "wide" else ".psd"))))
        check(len(layers) == len(psd) and stack.get("w") == str(merged.size[0]),
              f"{name}.ora: a layer per PSD layer, top first")
        for element, layer in zip(layers, reversed(psd)):
            check(element.get("name") == layer.name.replace("\x01", "\ufffd").replace("\x1f", "\ufffd"),
                  f"{name}.ora: name {element.get('name')!r}")
            check(element.get("composite-op") == OPS[MODES.index(layer.blend_mode.name)],
                  f"{name}.ora: {element.get('composite-op')} for {layer.blend_mode.name}")
            check(round(float(element.get("opacity")) * 255) == layer.opacity, f"{name}.ora: opacity")
            check((element.get("visibility") == "visible") == layer.visible, f"{name}.ora: visibility")
            picture = png_in(archive, element.get("src")).convert("RGBA")
            if layer.bbox == (0, 0, 0, 0):
                check(picture.size == (1, 1) and picture.getpixel((0, 0))[3] == 0, f"{name}.ora: empty layer")
                continue
            check((int(element.get("x")), int(element.get("y"))) == tuple(layer.bbox[:2]) and
                  same_pixels(picture, layer.topil().convert("RGBA")), f"{name}.ora: {layer.name} pixels and place")
    archive = zipfile.ZipFile(zip64)
    check(archive.testzip() is None and archive.read("big.bin") == bytes((i * 7) % 256 for i in range(300)) and
          archive.read("far/text.txt") == b"x" * 500 and len(archive.read("pieces.bin")) == 300,
          "ZIP64 records read back by zipfile")
    if shutil.which("unzip"):
        result = subprocess.run(["unzip", "-t", zip64], capture_output=True, text=True)
        check(result.returncode == 0, f"unzip -t reads ZIP64 records: {result.stdout} {result.stderr}")


def main():
    split = sys.argv.index("--")
    emulator = sys.argv[1:split]
    conv = Converter(emulator, sys.argv[split + 1])
    fixtures = sys.argv[split + 2]
    with tempfile.TemporaryDirectory() as root:
        docs = os.path.join(root, "docs")
        os.mkdir(docs)
        os.mkdir(os.path.join(docs, "reference"))
        os.mkdir(os.path.join(docs, "fidelity"))
        subprocess.run(emulator + [fixtures, conv.path(docs)], check=True)
        pngs = os.path.join(root, "png")
        conv.run("-q", "-o", conv.path(pngs), conv.path(docs))
        layer_pngs = os.path.join(root, "layer-png")
        conv.run("-q", "--layers", "-o", conv.path(layer_pngs), conv.path(os.path.join(docs, "reference", "layers.qvm")),
                 conv.path(os.path.join(docs, "wide.qvm")))

        out = os.path.join(root, "psd")
        code, text, err = conv.run("-f", "psd", "-o", conv.path(out), conv.path(docs))
        check(code == 1 and text.strip() == "converted 5, skipped 0, failed 1", f"summary {code} {text!r} {err!r}")
        lines = err.strip().splitlines()
        check(any(line.endswith("broken.qvm: corrupt layer 2") for line in lines), f"broken.qvm fails: {lines}")
        check(any("layers.qvm: warning: layer 6 (broken) cannot be decoded" in line for line in lines),
              f"the undecodable layer is a warning: {lines}")
        written = sorted(os.listdir(out))
        check(written == ["layers.psd", "masks.psd", "modes.psd", "tiles.psd", "wide.psb"],
              f"one file each, PSB beyond 30000 pixels, nothing for the broken one, no temporary: {written}")

        psd = check_merged(os.path.join(out, "layers.psd"), os.path.join(pngs, "layers.png"), "layers.psd")
        check(psd.version == 1 and psd.size == (48, 40), f"layers.psd is PSD {psd.version} {psd.size}")
        check_layers_psd(psd, layer_pngs)

        modes = check_merged(os.path.join(out, "modes.psd"), os.path.join(pngs, "modes.png"), "modes.psd")
        stored = [0] + list(range(11)) + [14] + list(range(11, 21))
        check([layer.blend_mode.name for layer in modes] == [MODES[m] for m in stored],
              f"every mode's key: {[layer.blend_mode.name for layer in modes]}")

        wide = check_merged(os.path.join(out, "wide.psb"), os.path.join(pngs, "wide.png"), "wide.psb")
        check(wide.version == 2 and wide.size == (65535, 3), f"wide.psb is PSB: {wide.version} {wide.size}")
        layer = list(wide)[0]
        expected = layer_png(layer_pngs, "wide", 1, 0)
        check(tuple(layer.bbox) == (0, 0, 65535, 3) and expected is not None and
              same_pixels(layer.topil().convert("RGBA"), expected), "rows of runs and literals of every length")

        for name, count, hidden in (("masks", 4, 1), ("tiles", 3, 0)):
            qvr = check_merged(os.path.join(out, name + ".psd"), os.path.join(pngs, name + ".png"), name)
            layers = list(qvr)
            check(len(layers) == count and sum(not layer.visible for layer in layers) == hidden and
                  [layer.name for layer in layers] == [f"Layer {i + 1}" for i in range(count)],
                  f"{name}: a layer per QVR layer: {[(layer.name, layer.visible) for layer in layers]}")
            for layer in layers:
                pixels = layer.topil()
                colours = {p[:3] for p in pixels.convert("RGBA").getdata() if p[3] > 0} if pixels else set()
                check(len(colours) <= 1, f"{name}: {layer.name} is one colour through its coverage: {len(colours)}")

        if shutil.which("identify"):
            frames = subprocess.run(["identify", os.path.join(out, "layers.psd")], capture_output=True, text=True)
            check(frames.returncode == 0 and len(frames.stdout.splitlines()) >= 7,
                  f"ImageMagick reads the merged picture and the layers: {frames.stdout} {frames.stderr}")

        ora = os.path.join(root, "ora")
        code, text, err = conv.run("-f", "ora", "-o", conv.path(ora), conv.path(docs))
        check(code == 1 and text.strip() == "converted 5, skipped 0, failed 1", f"ORA summary {text!r} {err!r}")
        check_ora(ora, pngs, out, os.path.join(docs, "reference", "zip64.zip"))
        code, _, err = conv.run("-o", conv.path(os.path.join(root, "one.ora")),
                                conv.path(os.path.join(docs, "masks.qvr")))
        check(code == 0 and zipfile.is_zipfile(os.path.join(root, "one.ora")), f"-o one.ora: {err!r}")

        # One named file: .psb asks for PSB whatever the size; .psd cannot
        # hold more than 30000 pixels a side.
        named = os.path.join(root, "named")
        code, _, err = conv.run("-o", conv.path(os.path.join(named, "small.psb")),
                                conv.path(os.path.join(docs, "layers.qvm")))
        check(code == 0 and PSDImage.open(os.path.join(named, "small.psb")).version == 2, f"-o small.psb: {err!r}")
        code, _, err = conv.run("-o", conv.path(os.path.join(named, "wide.psd")),
                                conv.path(os.path.join(docs, "wide.qvm")))
        check(code == 1 and "name the output .psb" in err and sorted(os.listdir(named)) == ["small.psb"],
              f"-o wide.psd fails and leaves nothing: {err!r}")
        code, _, err = conv.run("-f", "png", "-o", conv.path(os.path.join(named, "x.psd")),
                                conv.path(os.path.join(docs, "layers.qvm")))
        check(code == 2 and "contradicts" in err, f"-f png -o x.psd is bad usage: {err!r}")

        # One document on every core (its rows coded on the pool, in bands)
        # gives the same bytes as one core.
        code, _, err = conv.run("-j", "1", "-o", conv.path(os.path.join(named, "tiles.psd")),
                                conv.path(os.path.join(docs, "tiles.qvr")))
        with open(os.path.join(named, "tiles.psd"), "rb") as a, open(os.path.join(out, "tiles.psd"), "rb") as b:
            check(code == 0 and a.read() == b.read(), f"the same PSD whatever the threads: {err!r}")

        # Dry run, no overwrite, and two documents writing one file.
        code, text, _ = conv.run("-n", "-f", "psd", "-o", conv.path(out), conv.path(docs))
        check("wide.psb" in text and "layers.psd" in text, f"a dry run names the files: {text!r}")
        code, text, _ = conv.run("--no-overwrite", "-f", "psd", "-o", conv.path(out),
                                 conv.path(os.path.join(docs, "layers.qvm")))
        check(code == 0 and text.strip() == "converted 0, skipped 1, failed 0", f"--no-overwrite skips: {text!r}")
        twins = os.path.join(root, "twins")
        os.mkdir(twins)
        shutil.copy(os.path.join(docs, "layers.qvm"), os.path.join(twins, "a.qvm"))
        shutil.copy(os.path.join(docs, "masks.qvr"), os.path.join(twins, "a.qvr"))
        code, _, err = conv.run("-f", "psd", "-j", "2", "-o", conv.path(os.path.join(root, "twins-out")),
                                conv.path(twins))
        check(code == 1 and "a.psd is also the output of" in err and
              len(list(PSDImage.open(os.path.join(root, "twins-out", "a.psd")))) == 8,
              f"the later of two documents writing one file fails: {err!r}")

    if FAILURES:
        print(f"{len(FAILURES)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
