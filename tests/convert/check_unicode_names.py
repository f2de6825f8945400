#!/usr/bin/env python3
"""tessavel-convert with names no single code page spells.

    check_unicode_names.py [EMULATOR...] -- CONVERTER MAKE_TEST_DOCS

Run under Wine with a Japanese (932) and a Western (1252) code page: a folder
named in Korean holds documents named in Korean, with an emoji, with an
accented letter beside its plain look-alike, in CP932 with a 0x5C second byte,
and a QVR. Each output must come out under its own name with its own
document's picture, and messages must name the files exactly.
"""
import filecmp
import os
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "export"))
import image_checks  # noqa: E402

FAILURES = []

# Name in the test folder -> the generated document it is a copy of.
DOCUMENTS = {
    "그림.qvm": "a.qvm",
    "café.qvm": "B.QVM",
    "cafe.qvm": "a.qvm",
    "表示.qvm": "names.qvm",
    "絵😀.qvm": "B.QVM",
    "그림😀.qvr": "c.qvr",
}


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what)


def run(emulator, program, *args):
    result = subprocess.run(emulator + [program] + list(args), capture_output=True)
    return result.returncode, result.stdout.decode("utf-8", "replace"), result.stderr.decode("utf-8", "replace")


def stem(name):
    return os.path.splitext(name)[0]


def main():
    split = sys.argv.index("--")
    emulator, (converter, make_docs) = sys.argv[1:split], sys.argv[split + 1:]
    path = lambda p: image_checks.host_path(p, emulator)  # noqa: E731
    with tempfile.TemporaryDirectory() as root:
        generated = os.path.join(root, "generated")
        subprocess.run(emulator + [make_docs, path(generated)], check=True)
        reference = os.path.join(root, "reference")
        run(emulator, converter, "-o", path(reference), path(generated))
        folder = os.path.join(root, "폴더")
        os.mkdir(folder)
        for name, source in DOCUMENTS.items():
            shutil.copy(os.path.join(generated, source), os.path.join(folder, name))

        out = os.path.join(root, "출력")
        code, text, err = run(emulator, converter, "-o", path(out), path(folder))
        check(code == 0 and text.strip() == "converted 6, skipped 0, failed 0", f"folder: {code} {text!r} {err!r}")
        written = sorted(os.listdir(out)) if os.path.isdir(out) else []
        check(written == sorted(stem(n) + ".png" for n in DOCUMENTS), f"each output under its own name: {written}")
        for name, source in DOCUMENTS.items():
            output = os.path.join(out, stem(name) + ".png")
            expected = os.path.join(reference, stem(source) + ".png")
            check(os.path.exists(output) and filecmp.cmp(output, expected, shallow=False),
                  f"{name} holds the picture of its own document ({source})")

        # Named one by one, to a named file: café is not cafe.
        for name in ("café.qvm", "cafe.qvm", "絵😀.qvm"):
            target = os.path.join(root, "one-" + stem(name) + ".png")
            code, _, err = run(emulator, converter, "-o", path(target), path(os.path.join(folder, name)))
            expected = os.path.join(reference, stem(DOCUMENTS[name]) + ".png")
            check(code == 0 and os.path.exists(target) and filecmp.cmp(target, expected, shallow=False),
                  f"{name} named on the command line converts its own picture: {err!r}")

        layers = os.path.join(root, "레이어")
        code, text, err = run(emulator, converter, "--layers", "-o", path(layers), path(os.path.join(folder, "表示.qvm")))
        names = sorted(os.listdir(layers)) if os.path.isdir(layers) else []
        # A name that is CP932 text with a double-byte character is read as
        # CP932 whatever the system's code page.
        layer = b"\x95\x5c".decode("cp932")
        check(code == 0 and "表示_05_...png" in names and f"表示_01_{layer}.png" in names,
              f"layer files named after the document and the layer ({layer}): {names} {err!r}")
        check(all(n.startswith("表示_") and "\\" not in n for n in names) and len(names) == 6,
              f"every layer file stays in the folder: {names}")

        # A failure names the document exactly, in UTF-8 on a redirected stream.
        broken = os.path.join(folder, "絵😀 broken.qvm")
        with open(broken, "wb") as f:
            f.write(b"QVM but not really")
        code, _, err = run(emulator, converter, "-o", path(out), path(broken))
        check(code == 1 and err.startswith(path(broken) + ": "), f"the failure names the file: {err!r}")

    if FAILURES:
        print(f"{len(FAILURES)} check(s) failed")
        return 1
    print("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
