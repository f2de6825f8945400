#!/usr/bin/env python3
"""tessavel-convert end to end.

    check_convert.py [EMULATOR...] -- CONVERTER MAKE_TEST_DOCS

Generates the test documents, runs the converter on them (through the
emulator in the Windows build) and checks exit codes, messages and the files
written, with other decoders for the pictures.
"""
import ctypes
import filecmp
import os
import re
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time

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

    def run(self, *args, timeout=None, env=None):
        """A run that outlasts timeout seconds is killed and gives code None."""
        try:
            result = subprocess.run(self.emulator + [self.program] + list(args), capture_output=True,
                                    timeout=timeout, env=env)
        except subprocess.TimeoutExpired:
            return None, "", "timed out"
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
    for form in ("-o,", "--output=DIR", "--output=FILE", "-o -", "-f, --format", "--layers", "--no-overwrite",
                 "-r, --recursive", "-n, --dry-run", "-j, --jobs=N", "-q, --quiet", "-h, --help", "--version",
                 "\n  --  ", "Exit status:", "  0  ", "  1  ", "  2  "):
        check(form in text, f"--help lists {form!r}")
    code, text, _ = conv.run("-h")
    check(code == 0 and "usage: tessavel-convert" in text, "-h is --help")
    code, text, _ = conv.run("--version")
    check(code == 0 and text.startswith("tessavel-convert "), "--version")
    bad = [
        [],
        [conv.path(docs)],                                  # no -o
        ["-o", conv.path(out)],                             # no path
        ["-o", conv.path(out), "-f", "gif", conv.path(docs)],
        ["-o", conv.path(out), "-j", "0", conv.path(docs)],
        ["-o", conv.path(out), "--frobnicate", conv.path(docs)],
        ["-o", conv.path(out), "--layers", "-f", "bmp", conv.path(docs)],
        ["--output=" + conv.path(out), "--jobs=x", conv.path(docs)],
        ["-o", conv.path(os.path.join(out, "x.png")), "-f", "bmp", conv.path(docs)],  # contradiction
        ["-o", conv.path(os.path.join(out, "x.png")), conv.path(docs)],              # a folder of several
        ["-o", "-", "--layers", conv.path(docs)],
        ["-o", conv.path(out), "--", "-x"][:0] + ["-q", "-Z", conv.path(docs)],
    ]
    for args in bad:
        code, _, err = conv.run(*args)
        # Wine may put lines of its own on stderr when its server starts cold.
        check(code == 2 and any(l.startswith("tessavel-convert: ") for l in err.splitlines()),
              f"bad usage {args} exits 2 with a message (got {code}, {err!r})")
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
    """A layer name as the file system shows it: CP932 text with a
    double-byte character read as CP932, in UTF-8, in both builds."""
    return {raw.decode("cp932").encode("utf-8")}


def check_layers(conv, docs, root):
    out = os.path.join(root, "layers")
    os.mkdir(out)
    code, text, err = conv.run("--layers", "-j", "3", "-o", conv.path(out), conv.path(docs))
    check(code == 1 and text.strip() == "converted 3, skipped 0, failed 2", f"--layers summary {text!r}")
    lines = failure_lines(err)
    check(not any(".qvr:" in l.lower() for l in lines), f"a folder's QVR documents are not taken: {lines}")
    check(any(l.endswith("corrupt.qvm: corrupt layer 3") for l in lines), "corrupt layer in layer mode")
    code, _, err = conv.run("--layers", "-o", conv.path(out), conv.path(os.path.join(docs, "c.qvr")))
    check(code == 1 and failure_lines(err) == [
        conv.path(os.path.join(docs, "c.qvr")) + ": not a QVM document (--layers exports the layers of QVM "
        "documents only)"], f"a QVR named with --layers is an error: {err!r}")
    names = set(os.listdir(os.fsencode(out)))
    expected = [b"a_00_ink.png", b"a_01_paper.png", b"B_00_hue.png", b"B_01_mul.png", b"B_02_base.png",
                b"corrupt_01_two.png", b"corrupt_02_one.png", b"names_05_...png", b"names_04_.._.._evil.png",
                b"names_03_.._up.png", b"names_02_c_d.png"]
    for name in expected:
        check(name in names, f"layer file {name!r}")
    for raw in (b"names_01_\x95\x5c.png", b"names_00_\x83\x5c\x94\x5c.png"):
        check(bool(names & names_on_disk(raw)), f"CP932 name with second byte 0x5C kept: {raw!r} in {names}")
    check(len(names) == 13, f"nothing else written: {sorted(names)}")
    check(listing(root).count("evil.png") == 0 and not os.path.exists(os.path.join(root, "up.png")),
          "hostile names stay inside the folder")
    image_checks.check_png(os.path.join(out, "a_00_ink.png"), 40, 30, True)

    # A code page named for every name: the CP932 bytes read as Western.
    western = os.path.join(root, "layers-1252")
    code, _, err = conv.run("--layers", "--names-codepage=1252", "-o", conv.path(western),
                            conv.path(os.path.join(docs, "names.qvm")))
    names = set(os.listdir(os.fsencode(western))) if os.path.isdir(western) else set()
    check(code == 0 and "names_01_\u2022_.png".encode() in names, f"--names-codepage=1252: {sorted(names)} {err!r}")
    for bad in ("54321", "x", "-1"):
        code, _, err = conv.run("--layers", "--names-codepage", bad, "-o", conv.path(western),
                                conv.path(os.path.join(docs, "names.qvm")))
        check(code == 2 and "--names-codepage takes" in err, f"--names-codepage {bad} is bad usage: {err!r}")


def check_same_names(conv, make_docs, root):
    """Two documents of the same name in two folders: the later one fails,
    naming the earlier, and the earlier one's file is kept, whatever the
    number of jobs."""
    first, second = os.path.join(root, "one"), os.path.join(root, "two")
    for folder in (first, second):
        subprocess.run(conv.emulator + [make_docs, conv.path(folder)], check=True)
    shutil.copy(os.path.join(first, "a.qvm"), os.path.join(second, "b.qvm"))
    os.replace(os.path.join(first, "B.QVM"), os.path.join(first, "b.qvm"))  # b.qvm / b.qvm, different
    reference = os.path.join(root, "ref")
    os.mkdir(reference)
    conv.run("-j", "1", "-o", conv.path(reference), conv.path(os.path.join(first, "b.qvm")))
    for jobs in ("1", "4"):
        out = os.path.join(root, "same" + jobs)
        code, _, err = conv.run("-j", jobs, "-o", conv.path(out), conv.path(first), conv.path(second))
        check(code == 1, f"-j {jobs}: a collision fails the run")
        check(filecmp.cmp(os.path.join(out, "b.png"), os.path.join(reference, "b.png"), shallow=False),
              f"-j {jobs}: the earlier b.qvm's picture is the one kept")
        expected = (conv.path(os.path.join(second, "b.qvm")) + ": b.png is also the output of " +
                    conv.path(os.path.join(first, "b.qvm")))
        check(expected in failure_lines(err), f"-j {jobs}: the collision names both: {failure_lines(err)}")
    # A mixed folder: a.qvm and a.qvr both want a.png.
    mixed = os.path.join(root, "mixed")
    os.mkdir(mixed)
    shutil.copy(os.path.join(first, "a.qvm"), os.path.join(mixed, "a.qvm"))
    shutil.copy(os.path.join(first, "c.qvr"), os.path.join(mixed, "a.qvr"))
    out = os.path.join(root, "mixed-out")
    code, text, err = conv.run("-o", conv.path(out), conv.path(mixed))
    check(code == 1 and text.strip() == "converted 1, skipped 0, failed 1", f"mixed folder: {text!r} {code}")
    check(failure_lines(err) == [conv.path(os.path.join(mixed, "a.qvr")) + ": a.png is also the output of " +
                                 conv.path(os.path.join(mixed, "a.qvm"))], f"mixed folder: {err!r}")
    check(filecmp.cmp(os.path.join(out, "a.png"), os.path.join(reference, "..", "png-j1", "a.png"), shallow=False),
          "the QVM document's picture is kept")


def check_option_forms(conv, docs, root):
    """The GNU forms write what the plain ones write."""
    trees = []
    forms = [["-j", "2", "-o", "{}", "-f", "bmp"], ["--jobs=2", "--output={}", "--format=bmp"],
             ["-j2", "-o{}", "-fbmp"], ["--jobs", "2", "--output", "{}", "--format", "BMP"]]
    # The parsing is the same code in both builds (and tested on its own):
    # under Wine, where each run takes seconds, two forms are enough.
    for n, args in enumerate(forms[:2] if conv.emulator else forms):
        out = os.path.join(root, f"forms{n}")
        code, text, _ = conv.run(*[a.replace("{}", conv.path(out)) for a in args], "--", conv.path(docs))
        check(code == 1 and text.strip() == "converted 5, skipped 0, failed 2", f"form {args}: {text!r}")
        trees.append(out)
    for tree in trees[1:]:
        check(same_tree(trees[0], tree), f"{tree} is the same as {trees[0]}")


def check_named_outputs(conv, docs, root):
    doc = conv.path(os.path.join(docs, "a.qvm"))
    with open(os.path.join(docs, "a.expect"), "rb") as f:
        expected = f.read()
    named = os.path.join(root, "named", "deeper", "cat.png")
    code, text, _ = conv.run("-o", conv.path(named), doc)
    check(code == 0 and text.strip() == "converted 1, skipped 0, failed 0", f"-o FILE.png: {text!r}")
    rows = image_checks.check_png(named, 40, 30, False)
    check(b"".join(rows) == expected, "-o FILE.png holds the picture, its folders made on the way")
    check(os.listdir(os.path.dirname(named)) == ["cat.png"], "nothing else beside it")
    bmp = os.path.join(root, "named", "CAT.BMP")
    code, _, _ = conv.run("-o", conv.path(bmp), doc)
    with open(bmp, "rb") as f:
        check(code == 0 and f.read(2) == b"BM", "-o FILE.BMP writes a bitmap")
    code, _, _ = conv.run("-f", "png", "-o", conv.path(bmp), doc)
    check(code == 2, "-f png with a .bmp file is a usage error")

    result = subprocess.run(conv.emulator + [conv.program, "-o", "-", doc], capture_output=True)
    check(result.returncode == 0, "-o - exits 0")
    with open(named, "rb") as f:
        check(result.stdout == f.read(), "-o - writes the very bytes of the PNG file to stdout (binary mode)")
    check(b"converted 1" in result.stderr, "the summary goes to stderr when stdout holds the picture")
    result = subprocess.run(conv.emulator + [conv.program, "-f", "bmp", "-o", "-", doc], capture_output=True)
    with open(bmp, "rb") as f:
        check(result.stdout == f.read(), "-f bmp -o - writes the bitmap to stdout")
    code, _, _ = conv.run("-o", "-", conv.path(docs))
    check(code == 2, "-o - with several documents is a usage error")


def check_recursion_and_dry_run(conv, docs, root):
    out = os.path.join(root, "tree", "made")  # missing: made like mkdir -p
    code, text, err = conv.run("-n", "-r", "-o", conv.path(out), conv.path(docs))
    check(code == 0 and not os.path.exists(os.path.join(root, "tree")), "--dry-run writes nothing, not even folders")
    lines = text.splitlines()
    check(conv.path(os.path.join(docs, "sub", "e.qvm")) + " -> " + conv.path(os.path.join(out, "sub", "e.png"))
          in lines, f"--dry-run names each output: {lines}")
    # Documents are not read: the broken ones are counted as they would be tried.
    check(lines[-1] == "dry run: would write 8 files; skipped 0, failed 0", f"dry-run summary {lines[-1]!r}")
    code, text, _ = conv.run("-r", "-o", conv.path(out), conv.path(docs))
    check(code == 1 and text.strip() == "converted 6, skipped 0, failed 2", f"-r: {text!r}")
    check(listing(os.path.join(out, "sub")) == ["e.png"], "-r mirrors the subfolder")
    layers = os.path.join(root, "tree", "layers")
    code, text, err = conv.run("-r", "--layers", "-o", conv.path(layers), conv.path(docs))
    check(os.path.exists(os.path.join(layers, "sub", "e_00_hue.png")),
          f"-r --layers mirrors too: exit {code}, {text!r}, {err!r}, made {sorted(os.listdir(layers)) if os.path.isdir(layers) else None}")
    code, text, _ = conv.run("-n", "--no-overwrite", "-o", conv.path(out), conv.path(os.path.join(docs, "a.qvm")))
    check(text.splitlines()[0].endswith("a.png (exists, skipped)"), f"--dry-run tells skipped ones: {text!r}")

    empty = os.path.join(root, "empty")
    os.mkdir(empty)
    code, text, err = conv.run("-o", conv.path(out), conv.path(empty))
    check(code == 0 and err.strip() == "tessavel-convert: " + conv.path(empty) + ": no QVM or QVR documents",
          f"an empty folder gives a notice: {err!r}")


def check_write_failure_reason(conv, docs, root):
    out = os.path.join(root, "blocked")
    os.makedirs(os.path.join(out, "a.png"))  # a folder where the file would go
    code, _, err = conv.run("-o", conv.path(out), conv.path(os.path.join(docs, "a.qvm")))
    lines = failure_lines(err)
    check(code == 1 and len(lines) == 1 and
          re.fullmatch(r".*a\.qvm: cannot write .*a\.png: \S.*", lines[0]) is not None,
          f"a write failure gives the system's reason: {lines}")
    check(listing(out) == ["a.png"] and os.path.isdir(os.path.join(out, "a.png")), "no temporary is left")


class FolderEvents:
    """Names made in one folder, as the kernel tells them (inotify): a wait
    for a file to appear sleeps until it does, with no polling."""

    IN_CREATE = 0x100
    IN_MOVED_TO = 0x80

    def __init__(self, folder):
        self.libc = ctypes.CDLL(None, use_errno=True)
        self.fd = self.libc.inotify_init1(os.O_CLOEXEC)
        if self.fd < 0:
            raise OSError(ctypes.get_errno(), "inotify_init1")
        if self.libc.inotify_add_watch(self.fd, os.fsencode(folder), self.IN_CREATE | self.IN_MOVED_TO) < 0:
            os.close(self.fd)
            raise OSError(ctypes.get_errno(), "inotify_add_watch " + folder)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        os.close(self.fd)

    def wait_for_name(self, wanted, proc, seconds):
        """True once a name that wanted() accepts is made; False when proc
        ends first, or after seconds (a converter that hangs)."""
        ended = os.pidfd_open(proc.pid)
        try:
            deadline = time.monotonic() + seconds
            while True:
                left = deadline - time.monotonic()
                if left <= 0:
                    return False
                ready, _, _ = select.select([self.fd, ended], [], [], left)
                if self.fd in ready:
                    data = os.read(self.fd, 65536)
                    while data:
                        _, _, _, length = struct.unpack_from("iIII", data)
                        name = data[16:16 + length].rstrip(b"\0").decode("latin-1")
                        if wanted(name):
                            return True
                        data = data[16 + length:]
                elif ended in ready:
                    return False
        finally:
            os.close(ended)


def check_interruptions(conv, make_docs, root):
    """Killed part-way through writing a large picture: SIGTERM (natively)
    or SIGINT (Wine's Ctrl+C, which reaches the console handler) leave
    neither the file nor its temporary; SIGKILL at most the temporary."""
    big = os.path.join(root, "big.qvm")
    subprocess.run(conv.emulator + [make_docs, "--large", conv.path(big), "1600", "1600"], check=True)
    handled = signal.SIGINT if conv.emulator else signal.SIGTERM
    for sig in (handled, signal.SIGKILL):
        out = os.path.join(root, "killed-" + sig.name)
        os.mkdir(out)
        started = time.monotonic()
        with FolderEvents(out) as events, tempfile.TemporaryFile() as errors:
            proc = subprocess.Popen(conv.emulator + [conv.program, "-q", "-o", conv.path(out), conv.path(big)],
                                    stdout=subprocess.DEVNULL, stderr=errors)
            seen = events.wait_for_name(lambda n: n.startswith(".big.png.tmp"), proc, HANG_SECONDS)
            if seen:
                proc.send_signal(sig)
            proc.wait()
            errors.seek(0)
            said = errors.read().decode("latin-1")
        check(seen, f"{sig.name}: the picture is written under a temporary name first: exit {proc.returncode} "
                    f"after {time.monotonic() - started:.1f} s, {said!r}, left {os.listdir(out)}")
        names = os.listdir(out)
        check("big.png" not in names, f"{sig.name}: no final file after the kill: {names}")
        if sig == handled:
            check(names == [], f"{sig.name}: the temporary is removed: {names}")
            if not conv.emulator:
                check(proc.returncode == -sig, f"{sig.name} still ends the program by the signal: {proc.returncode}")
        # The next run is not fooled by what the kill left.
        code, text, err = conv.run("--no-overwrite", "-o", conv.path(out), conv.path(big))
        check(code == 0 and text.strip() == "converted 1, skipped 0, failed 0",
              f"{sig.name}: rerun {text!r} (exit {code}, stderr {err!r}, left {os.listdir(out)})")


# Long enough for a converter that does not block to finish a small run.
HANG_SECONDS = 30


def check_special_files(conv, docs, root):
    """POSIX: a FIFO, a device or a socket is never opened as a document.
    In a folder it is not listed (opening a FIFO would block the run for
    ever); named on the command line it fails at once."""
    folder = os.path.join(root, "special")
    os.mkdir(folder)
    shutil.copy(os.path.join(docs, "a.qvm"), folder)
    fifo = os.path.join(folder, "x.qvm")
    os.mkfifo(fifo)
    listening = socket.socket(socket.AF_UNIX)
    listening.bind(os.path.join(folder, "s.qvr"))
    try:
        out = os.path.join(root, "special-out")
        for args in (["-o", out, folder], ["--layers", "-o", out, folder]):
            code, text, err = conv.run(*args, timeout=HANG_SECONDS)
            check(code == 0 and text.strip() == "converted 1, skipped 0, failed 0",
                  f"{args[:-3]}: a folder's FIFO and socket are left out: {code} {text!r} {err!r}")
        check(listing(out) == ["a.png", "a_00_ink.png", "a_01_paper.png"], f"special files: {listing(out)}")
        for path in (fifo, os.path.join(folder, "s.qvr"), "/dev/null"):
            code, text, err = conv.run("-o", out, path, timeout=HANG_SECONDS)
            check(code == 1 and failure_lines(err) == [path + ": not a regular file"],
                  f"{path} on the command line fails at once: {code} {err!r}")
    finally:
        listening.close()


def check_stdout_staging(conv, docs, root):
    """POSIX: -o - stages its picture under a name made exclusively, so names
    another user made beforehand in the temporary folder (a FIFO that would
    take the picture or hold the run, a file, a link) are never used."""
    tmp = os.path.join(root, "tmp")
    os.mkdir(tmp)
    victim = os.path.join(root, "victim")
    with open(victim, "wb") as f:
        f.write(b"kept")

    def premade_names(pid):
        fifos = [f"tessavel-convert-{pid}.png"] + [f"tessavel-convert-{pid}-{n}.png" for n in range(4)]
        links = [f".tessavel-convert-{pid}.png.tmp{pid:x}-{n}" for n in range(4)]
        return fifos, links, f"tessavel-convert-{pid}.bmp"

    def premade():
        # In the child, whose process id the converter keeps after exec.
        fifos, links, plain = premade_names(os.getpid())
        for name in fifos:
            os.mkfifo(os.path.join(tmp, name))
        for name in links:
            os.symlink(victim, os.path.join(tmp, name))
        with open(os.path.join(tmp, plain), "wb") as f:
            f.write(b"kept")

    with open(os.path.join(root, "named", "deeper", "cat.png"), "rb") as f:
        expected = f.read()
    proc = subprocess.Popen([conv.program, "-o", "-", os.path.join(docs, "a.qvm")], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=dict(os.environ, TMPDIR=tmp), preexec_fn=premade)
    try:
        out, err = proc.communicate(timeout=HANG_SECONDS)
        check(proc.returncode == 0 and out == expected,
              f"-o - beside names made beforehand writes the picture: {proc.returncode} {err!r}")
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.communicate()
        check(False, "-o - is not held by a FIFO made beforehand in the temporary folder")
    fifos, links, plain = premade_names(proc.pid)
    check(sorted(os.listdir(tmp)) == sorted(fifos + links + [plain]),
          f"-o - leaves the temporary folder as it found it: {sorted(os.listdir(tmp))}")
    for name in (victim, os.path.join(tmp, plain)):
        with open(name, "rb") as f:
            check(f.read() == b"kept", f"-o - replaces no file made beforehand: {name}")


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
        check_option_forms(conv, docs, root)
        check_named_outputs(conv, docs, root)
        check_recursion_and_dry_run(conv, docs, root)
        check_write_failure_reason(conv, docs, root)
        check_interruptions(conv, make_docs, root)
        if not emulator:
            check_special_files(conv, docs, root)
            check_stdout_staging(conv, docs, root)
    print(f"{len(FAILURES)} failed checks")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
