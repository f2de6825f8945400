#!/usr/bin/env python3
"""A document whose picture cannot be had fails with a reason that says so.

The sanitizer build is run with allocations above 256 MB refused, so the
2 GB picture a 23170 x 23170 header declares cannot be allocated on any
machine; the converter must name the want of memory, never a corrupt file.

usage: check_memory_refusal.py CONVERTER
"""
import os
import struct
import subprocess
import sys
import tempfile


def main():
    program = sys.argv[1]
    with tempfile.TemporaryDirectory() as folder:
        document = os.path.join(folder, "huge.qvm")
        # Magic, version, HS = 10, width, height, no layers, 4 bytes, 4
        # bytes, B = 0, LS = 35.
        header = b"QVMDATA\0" + struct.pack("<IHHH", 10, 23170, 23170, 0) + bytes(8)
        with open(document, "wb") as out:
            out.write(header + struct.pack("<II", 0, 35))
        environment = dict(os.environ)
        environment["ASAN_OPTIONS"] = "allocator_may_return_null=1:max_allocation_size_mb=256"
        run = subprocess.run([program, "-o", os.path.join(folder, "out"), document], env=environment,
                             capture_output=True, text=True, timeout=120)
        expected = "huge.qvm: not enough memory for 23170x23170"
        if run.returncode != 1 or expected not in run.stderr:
            print("exit %d, stderr:\n%s" % (run.returncode, run.stderr))
            print("expected exit 1 and: " + expected)
            return 1
    print("ok")
    return 0


if __name__ == "__main__":
    sys.exit(main())
