#!/usr/bin/env python3
"""Throughput of tessavel-convert: pictures per second and MB/s of output.

    bench/convert_throughput.py [--build DIR] [--jobs N] [--docs N] [--size WxH] [--large WxH]

DIR is a build folder (default build/windows; the Windows program runs
under scripts/wine-run). The documents are generated with the build's
make_test_docs: --docs documents of --size (three layers each) and one
document of --large. Each set is converted to PNG and to BMP; every run
starts from an empty output folder. The sanitizer build (build/native) runs
far slower than a release build and is no measure of the program.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default=os.path.join(ROOT, "build", "windows"))
    parser.add_argument("--jobs", default="")
    parser.add_argument("--docs", type=int, default=24)
    parser.add_argument("--size", default="1600x1200")
    parser.add_argument("--large", default="6000x4000")
    args = parser.parse_args()

    build = os.path.abspath(args.build)
    windows = os.path.exists(os.path.join(build, "tools", "convert", "tessavel-convert.exe"))
    suffix = ".exe" if windows else ""
    convert = os.path.join(build, "tools", "convert", "tessavel-convert" + suffix)
    make_docs = os.path.join(build, "tests", "convert", "make_test_docs" + suffix)
    emulator = [os.path.join(ROOT, "scripts", "wine-run"), os.path.join(build, "wineprefix")] if windows else []

    def host(path):
        return "Z:" + path.replace("/", "\\") if windows else path

    def run(program, *rest):
        subprocess.run(emulator + [program] + list(rest), check=True, stdout=subprocess.DEVNULL)

    with tempfile.TemporaryDirectory() as work:
        sets = {}
        many = os.path.join(work, "many")
        os.mkdir(many)
        w, h = args.size.split("x")
        run(make_docs, "--large", host(os.path.join(many, "doc00.qvm")), w, h)
        for i in range(1, args.docs):
            shutil.copy(os.path.join(many, "doc00.qvm"), os.path.join(many, f"doc{i:02d}.qvm"))
        sets[f"{args.docs} documents of {args.size}"] = many
        large = os.path.join(work, "large")
        os.mkdir(large)
        w, h = args.large.split("x")
        run(make_docs, "--large", host(os.path.join(large, "big.qvm")), w, h)
        sets[f"1 document of {args.large}"] = large

        jobs = ["-j", args.jobs] if args.jobs else []
        print(f"{'set':<30} {'format':<6} {'pictures':>8} {'seconds':>8} {'pictures/s':>10} {'MB/s out':>9}")
        for label, folder in sets.items():
            for fmt in ("png", "bmp"):
                out = os.path.join(work, "out")
                shutil.rmtree(out, ignore_errors=True)
                os.mkdir(out)
                start = time.perf_counter()
                run(convert, "-q", "-f", fmt, *jobs, "-o", host(out), host(folder))
                seconds = time.perf_counter() - start
                files = os.listdir(out)
                size = sum(os.path.getsize(os.path.join(out, f)) for f in files)
                print(f"{label:<30} {fmt:<6} {len(files):>8} {seconds:>8.2f} {len(files) / seconds:>10.2f} "
                      f"{size / 1e6 / seconds:>9.1f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
