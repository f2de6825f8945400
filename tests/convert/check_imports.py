#!/usr/bin/env python3
"""The converter loads neither user32 nor gdi32.

    check_imports.py PROGRAM.exe

A console program that loads user32.dll or gdi32.dll is never told of a
logoff or a shutdown (CTRL_LOGOFF_EVENT, CTRL_SHUTDOWN_EVENT), so the
converter could not remove its temporaries then. Reads the import table of
the PE file and fails when it names either, or shlwapi.dll, which loads
user32 itself.
"""
import struct
import sys

REFUSED = {"user32.dll", "gdi32.dll", "shlwapi.dll"}


def imported_dlls(data):
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    table = optional + optional_size
    spans = []
    for i in range(sections):
        entry = table + 40 * i
        size, address, raw_size, raw = struct.unpack_from("<IIII", data, entry + 8)
        spans.append((address, max(size, raw_size), raw))

    def offset(rva):
        for address, size, raw in spans:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError("address 0x%x outside every section" % rva)

    names = []
    descriptor = offset(import_rva)
    while True:
        fields = struct.unpack_from("<IIIII", data, descriptor)
        if fields == (0, 0, 0, 0, 0):
            return names
        start = offset(fields[3])
        names.append(data[start:data.index(b"\0", start)].decode("ascii"))
        descriptor += 20


def main():
    with open(sys.argv[1], "rb") as program:
        names = imported_dlls(program.read())
    print("imports:", ", ".join(names))
    if not any(name.lower() == "kernel32.dll" for name in names):
        print("FAIL: the import table was not read (no kernel32.dll)")
        return 1
    refused = [name for name in names if name.lower() in REFUSED]
    if refused:
        print("FAIL: imports", ", ".join(refused))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
