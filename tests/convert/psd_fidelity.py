#!/usr/bin/env python3
"""What a reader that composites a PSD's layers itself makes of each blend
mode, against the picture Tessavel shows (the file's merged picture).

    psd_fidelity.py [EMULATOR...] -- CONVERTER LAYERED_FIXTURES

For each of the 21 modes, a document of an opaque layer under a partly clear
one of that mode is converted to PSD and to PNG; psd-tools' composite()
redraws the PSD from its layers, and the table says how far it lands from
the PNG: the largest difference of any channel and the share of pixels
within +-2 in every channel. It prints the README's table in Markdown.
"""
import os
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops
from psd_tools import PSDImage

NAMES = ["Normal", "Multiply", "Add", "Subtract", "Screen", "Overlay", "Soft light", "Hard light", "Color dodge",
         "Color burn", "Linear burn", "Vivid light", "Linear light", "Pin light", "Difference", "Lighten", "Darken",
         "Hue", "Saturation", "Color", "Luminosity"]


def main():
    split = sys.argv.index("--")
    emulator = sys.argv[1:split]
    converter, fixtures = sys.argv[split + 1], sys.argv[split + 2]

    def host(path):
        return "Z:" + path.replace("/", "\\") if emulator else path

    with tempfile.TemporaryDirectory() as root:
        docs = os.path.join(root, "docs")
        for sub in ("", "reference", "fidelity"):
            os.makedirs(os.path.join(docs, sub), exist_ok=True)
        subprocess.run(emulator + [fixtures, host(docs)], check=True)
        folder = os.path.join(docs, "fidelity")
        for fmt in ("psd", "png"):
            subprocess.run(emulator + [converter, "-q", "-f", fmt, "-o", host(os.path.join(root, fmt)), host(folder)],
                           check=True)
        print("| Code | Mode | PSD key | composite() vs Tessavel | largest difference | pixels within ±2 |")
        print("|---|---|---|---|---|---|")
        for code, name in enumerate(NAMES):
            stem = f"mode-{code:02d}"
            psd = PSDImage.open(os.path.join(root, "psd", stem + ".psd"))
            redrawn = psd.composite(force=True).convert("RGB")
            shown = Image.open(os.path.join(root, "png", stem + ".png")).convert("RGB")
            difference = ImageChops.difference(redrawn, shown)
            largest = max(high for _, high in difference.getextrema())
            pixels = list(difference.getdata())
            close = sum(1 for p in pixels if max(p) <= 2) / len(pixels)
            key = list(psd)[1]._record.blend_mode.value.decode("ascii")
            verdict = "same (±2)" if largest <= 2 else "differs"
            print(f"| {code} | {name} | `{key}` | {verdict} | {largest} | {close:.1%} |")
    return 0


if __name__ == "__main__":
    sys.exit(main())
