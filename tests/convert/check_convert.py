#!/usr/bin/env python3
"""tessavel-convert end to end.

    check_convert.py [EMULATOR...] -- CONVERTER MAKE_TEST_DOCS

Generates the test documents, runs the converter on them (through the
emulator in the Windows build) and checks exit codes, messages and the files
written, with other decoders for the pictures.
"""
import filecmp
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "export"))
import image_checks  # noqa: E402

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what)


class Converter:
    def __init__(self, emulator, program):
        self.emulator = emulator
        self.program = program

    def path(self, path):
        return image_checks.host_path(path, self.emulator)

    def run(self, *args):
        result = subprocess.run(self.emulator + [self.program] + list(args), capture_output=True)
        return result.returncode, result.stdout.decode("latin-1"), result.stderr.decode("latin-1")


def listing(folder):
    return sorted(os.listdir(folder))


def same_tree(a, b):
    if listing(a) != listing(b):
        return False
    return all(filecmp.cmp(os.path.join(a, n), os.path.join(b, n), shallow=False) for n in listing(a))


def check_usage(conv, docs, out):
    code, text, _ = conv.run("--help")
    check(code == 0 and "usage: tessavel-convert" in text, "--help prints the usage and exits 0")
    code, text, _ = conv.run("--version")
    check(code == 0 and text.startswith("tessavel-convert "), "--version")
    bad = [
        [],
        [conv.path(docs)],                                  # no -o
        ["-o", conv.path(out)],                             # no path
        ["-o", conv.path(os.path.join(out, "missing")), conv.path(docs)],
        ["-o", conv.path(out), "-f", "gif", conv.path(docs)],
        ["-o", conv.path(out), "-j", "0", conv.path(docs)],
        ["-o", conv.path(out), "--frobnicate", conv.path(docs)],
        ["-o", conv.path(out), "--layers", "-f", "bmp", conv.path(docs)],
    ]
    for args in bad:
        code, _, err = conv.run(*args)
        check(code == 2 and err.startswith("tessavel-convert: "), f"bad usage {args} exits 2 (got {code})")
    check(listing(out) == [], "bad usage writes nothing")


def failure_lines(err):
    return [line for line in err.splitlines() if line]


def check_flatten(conv, docs, root):
    outs = {}
    for jobs in ("1", "4"):
        out = os.path.join(root, "png-j" + jobs)
        os.mkdir(out)
        code, text, err = conv.run("-o", conv.path(out), "-j", jobs, conv.path(docs))
        check(code == 1, f"-j {jobs}: a failed document gives exit 1 (got {code})")
        check(text.strip() == "converted 5, skipped 0, failed 2", f"-j {jobs}: summary {text.strip()!r}")
        lines = failure_lines(err)
        check(len(lines) == 2, f"-j {jobs}: one line per failure: {lines}")
        check(any(l.endswith("corrupt.qvm: corrupt layer 3") for l in lines), "corrupt layer named")
        check(any(l.endswith("fake.qvm: not a QVM/QVR document") for l in lines), "non-document named")
        check(re.search(r"\[\d+/\d+\]", err) is None, "no progress line when stderr is not a terminal")
        outs[jobs] = out
    check(listing(outs["1"]) == ["B.png", "a.png", "c.png", "d.png", "names.png"],
          f"one PNG per document, subfolder and other extensions left out: {listing(outs['1'])}")
    check(same_tree(outs["1"], outs["4"]), "-j 1 and -j 4 write identical files")

    with open(os.path.join(docs, "a.expect"), "rb") as f:
        expected = f.read()
    rows = image_checks.check_png(os.path.join(outs["1"], "a.png"), 40, 30, False)
    check(b"".join(rows) == expected, "a.png holds the flattened picture, top row first")
    check(image_checks.imagemagick_pixels(os.path.join(outs["1"], "a.png"), "rgb") == expected,
          "ImageMagick reads the same pixels")
    sizes = {"B.png": (64, 48), "c.png": (50, 20), "d.png": (130, 70), "names.png": (4, 4)}
    for name, (w, h) in sizes.items():
        try:
            image_checks.check_png(os.path.join(outs["1"], name), w, h, False)
        except AssertionError as error:
            check(False, f"{name}: {error}")
    return outs["1"]


def check_no_overwrite(conv, docs, out):
    marker = os.path.join(out, "a.png")
    with open(marker, "wb") as f:
        f.write(b"kept")
    os.remove(os.path.join(out, "c.png"))
    code, text, _ = conv.run("--no-overwrite", "-o", conv.path(out), conv.path(docs))
    check(text.strip() == "converted 1, skipped 4, failed 2", f"--no-overwrite summary {text.strip()!r}")
    check(code == 1, "--no-overwrite still reports the failures")
    with open(marker, "rb") as f:
        check(f.read() == b"kept", "--no-overwrite leaves existing files alone")
    check(os.path.exists(os.path.join(out, "c.png")), "--no-overwrite writes the missing one")
    code, text, _ = conv.run("-q", "-o", conv.path(out), conv.path(docs))
    check(text == "", "-q prints no summary")
    check(code == 1, "-q keeps the exit status")


def check_bmp_and_files(conv, docs, root):
    out = os.path.join(root, "bmp")
    os.mkdir(out)
    args = ["-f", "BMP", "-o", conv.path(out), conv.path(os.path.join(docs, "a.qvm")),
            conv.path(os.path.join(docs, "notes.txt")), conv.path(os.path.join(docs, "nothing.qvm")),
            conv.path(os.path.join(docs, "d.Qvr"))]
    code, text, err = conv.run(*args)
    check(code == 1 and text.strip() == "converted 2, skipped 0, failed 2", f"explicit files: {text!r} {code}")
    lines = failure_lines(err)
    check(any(l.endswith("notes.txt: not a QVM/QVR document") for l in lines), f"unknown extension: {lines}")
    check(any(l.endswith("nothing.qvm: no such file or folder") for l in lines), "missing file")
    check(listing(out) == ["a.bmp", "d.bmp"], f"BMP names: {listing(out)}")
    with open(os.path.join(out, "a.bmp"), "rb") as f:
        data = f.read()
    with open(os.path.join(docs, "a.expect"), "rb") as f:
        rgb = f.read()
    pic = [[(rgb[(y * 40 + x) * 3 + 2], rgb[(y * 40 + x) * 3 + 1], rgb[(y * 40 + x) * 3], 255) for x in range(40)]
           for y in range(30)]
    check(data == image_checks.expected_bmp(pic), "a.bmp bytes")
    good = os.path.join(root, "good")
    os.mkdir(good)
    code, text, _ = conv.run("-o", conv.path(good), conv.path(os.path.join(docs, "sub")))
    check(code == 0 and text.strip() == "converted 1, skipped 0, failed 0", "nothing failed: exit 0")


def names_on_disk(raw):
    """A layer name as the file system shows it: the bytes themselves
    natively, UTF-8 under Wine, which converts from code page 932."""
    return {raw, raw.decode("cp932", "replace").encode("utf-8")}


def check_layers(conv, docs, root):
    out = os.path.join(root, "layers")
    os.mkdir(out)
    code, text, err = conv.run("--layers", "-j", "3", "-o", conv.path(out), conv.path(docs))
    check(code == 1 and text.strip() == "converted 3, skipped 0, failed 4", f"--layers summary {text!r}")
    lines = failure_lines(err)
    check(any(l.endswith("c.qvr: not a QVM document (layers are exported from QVM documents only)")
              for l in lines), f"QVR in layer mode: {lines}")
    check(any(l.endswith("corrupt.qvm: corrupt layer 3") for l in lines), "corrupt layer in layer mode")
    names = set(os.listdir(os.fsencode(out)))
    expected = [b"a_00_ink.png", b"a_01_paper.png", b"B_00_hue.png", b"B_01_mul.png", b"B_02_base.png",
                b"corrupt_01_two.png", b"corrupt_02_one.png", b"names_05___.png", b"names_04_______evil.png",
                b"names_03____up.png", b"names_02_c_d.png"]
    for name in expected:
        check(name in names, f"layer file {name!r}")
    for raw in (b"names_01_\x95\x5c.png", b"names_00_\x83\x5c\x94\x5c.png"):
        check(bool(names & names_on_disk(raw)), f"CP932 name with second byte 0x5C kept: {raw!r} in {names}")
    check(len(names) == 13, f"nothing else written: {sorted(names)}")
    check(listing(root).count("evil.png") == 0 and not os.path.exists(os.path.join(root, "up.png")),
          "hostile names stay inside the folder")
    image_checks.check_png(os.path.join(out, "a_00_ink.png"), 40, 30, True)


def check_same_names(conv, make_docs, root):
    """Two documents of the same name in two folders: the later one wins, as
    in one sequential pass, whatever the number of jobs."""
    first, second = os.path.join(root, "one"), os.path.join(root, "two")
    for folder in (first, second):
        subprocess.run(conv.emulator + [make_docs, conv.path(folder)], check=True)
    shutil.copy(os.path.join(first, "a.qvm"), os.path.join(second, "b.qvm"))
    os.replace(os.path.join(first, "B.QVM"), os.path.join(first, "b.qvm"))  # b.qvm / b.qvm, different
    reference = os.path.join(root, "ref")
    os.mkdir(reference)
    conv.run("-j", "1", "-o", conv.path(reference), conv.path(os.path.join(second, "b.qvm")))
    for jobs in ("1", "4"):
        out = os.path.join(root, "same" + jobs)
        os.mkdir(out)
        conv.run("-j", jobs, "-o", conv.path(out), conv.path(first), conv.path(second))
        check(filecmp.cmp(os.path.join(out, "b.png"), os.path.join(reference, "b.png"), shallow=False),
              f"-j {jobs}: the later b.qvm's picture is the one left")


def main():
    split = sys.argv.index("--")
    emulator = sys.argv[1:split]
    program, make_docs = sys.argv[split + 1:split + 3]
    conv = Converter(emulator, program)
    with tempfile.TemporaryDirectory() as root:
        docs = os.path.join(root, "docs")
        subprocess.run(emulator + [make_docs, conv.path(docs)], check=True)
        usage_out = os.path.join(root, "usage")
        os.mkdir(usage_out)
        check_usage(conv, docs, usage_out)
        out = check_flatten(conv, docs, root)
        check_no_overwrite(conv, docs, out)
        check_bmp_and_files(conv, docs, root)
        check_layers(conv, docs, root)
        check_same_names(conv, make_docs, root)
    print(f"{len(FAILURES)} failed checks")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
