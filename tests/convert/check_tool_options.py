#!/usr/bin/env python3
"""Every program in tools/ answers --help and refuses unknown options.

    check_tool_options.py [EMULATOR...] -- PROGRAM...

Runs each program in a scratch folder: -h and --help print a usage that
names the exit statuses and exit 0, an unknown option exits 2 with a line on
stderr, and neither leaves anything behind (these programs take folder
names, and "--help" once became one).
"""
import os
import subprocess
import sys
import tempfile

FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what)


def main():
    split = sys.argv.index("--")
    emulator = sys.argv[1:split]
    for program in sys.argv[split + 1:]:
        name = os.path.basename(program)
        with tempfile.TemporaryDirectory() as scratch:
            # Under Wine each run takes seconds: the short forms natively only.
            for flag in ("--help",) if emulator else ("--help", "-h"):
                result = subprocess.run(emulator + [program, flag], capture_output=True, cwd=scratch)
                text = result.stdout.decode("latin-1")
                check(result.returncode == 0 and text.startswith("usage: ") and "Exit status" in text,
                      f"{name} {flag}: usage and exit 0 (got {result.returncode}, {text[:40]!r})")
            for bogus in ("--bogus",) if emulator else ("--bogus", "-Z"):
                result = subprocess.run(emulator + [program, bogus, "folder"], capture_output=True, cwd=scratch)
                check(result.returncode == 2 and b"unknown option" in result.stderr,
                      f"{name} {bogus}: refused with exit 2 (got {result.returncode})")
            check(os.listdir(scratch) == [], f"{name}: nothing made: {os.listdir(scratch)}")
    print(f"{len(FAILURES)} failed checks")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
