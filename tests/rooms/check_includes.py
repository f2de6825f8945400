#!/usr/bin/env python3
"""The rooms' include rules, checked over every product source file.

A room uses only the rooms below it: base, then the pixel maths, then the
decoders, then the writers; the Win32 layer over base and the pixels; the
viewer, the Explorer handlers and the tools at the top. Three rules:
  1. every #include "room/..." goes to a room its room may use (ALLOWED);
  2. the includes among product files have no cycle;
  3. every quoted include names a file that exists.
Each violation is printed as file:line: what is wrong; the exit status is 1
when there is any.

  check_includes.py SOURCE_DIR   check the tree at SOURCE_DIR
  check_includes.py --self-test  check a made-up tree that breaks each rule
                                 and one that keeps them, and say whether the
                                 check told them apart
"""

import os
import re
import subprocess
import sys
import tempfile

# What each room may include. tests/support is no product room: the fuzzers
# and the sample writer share the documents and probes the tests make.
ALLOWED = {
    "base": {"base"},
    "pixels": {"base", "pixels"},
    "decode": {"base", "pixels", "decode"},
    "export": {"base", "pixels", "decode", "export"},
    "framework": {"base", "pixels", "framework"},
    "app": {"base", "pixels", "decode", "export", "framework", "app", "res"},
    "shell": {"base", "pixels", "decode", "shell"},
    "tools": {"base", "pixels", "decode", "export", "tools", "tests/support"},
    "res": {"res"},
}
# Where a room is the first folder of an included path; tests/support is
# named by its first two.
TARGETS = set(ALLOWED) | {"tests", "bench"}
SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp", ".rc", ".rc.in", ".h.in")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def product_files(root):
    """Every source file of the product rooms, as a path relative to root with '/'."""
    found = []
    for room in sorted(ALLOWED):
        for folder, dirs, files in os.walk(os.path.join(root, room)):
            dirs.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    full = os.path.join(folder, name)
                    found.append(os.path.relpath(full, root).replace(os.sep, "/"))
    return found


def target_room(included):
    parts = included.split("/")
    if len(parts) < 2 or parts[0] not in TARGETS:
        return None
    if parts[0] == "tests" and len(parts) > 2:
        return "tests/" + parts[1]
    return parts[0]


def resolve(root, source, included):
    """The file an include names, relative to root, or None when there is none.

    Paths from the tree's root come first, then the including file's folder,
    as the build's include path has them; a header the configure step makes
    from cmake/NAME.in counts as there.
    """
    if target_room(included) is not None:
        return included if os.path.isfile(os.path.join(root, included)) else None
    beside = os.path.normpath(os.path.join(os.path.dirname(source), included)).replace(os.sep, "/")
    if os.path.isfile(os.path.join(root, beside)):
        return beside
    if os.path.isfile(os.path.join(root, included)):
        return included
    if os.path.isfile(os.path.join(root, "cmake", included + ".in")):
        return "cmake/" + included + ".in"
    return None


def read_includes(root, source):
    with open(os.path.join(root, source), encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def find_cycles(edges):
    """One cycle (a list of files, the first again at the end) per group of
    files that reach one another, found by Tarjan's strongly connected
    components, iteratively so that a deep chain of headers needs no deep
    recursion."""
    index, low, on_stack, stack, groups = {}, {}, set(), [], []
    counter = 0
    for start in sorted(edges):
        if start in index:
            continue
        work = [(start, iter(sorted(edges.get(start, ()))))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, successors = work[-1]
            advanced = False
            for successor in successors:
                if successor not in index:
                    index[successor] = low[successor] = counter
                    counter += 1
                    stack.append(successor)
                    on_stack.add(successor)
                    work.append((successor, iter(sorted(edges.get(successor, ())))))
                    advanced = True
                    break
                if successor in on_stack:
                    low[node] = min(low[node], index[successor])
            if advanced:
                continue
            work.pop()
            if work:
                parent = work[-1][0]
                low[parent] = min(low[parent], low[node])
            if low[node] == index[node]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == node:
                        break
                if len(group) > 1 or node in edges.get(node, ()):
                    groups.append(set(group))
    cycles = []
    for group in groups:
        first = min(group)
        # The shortest way back to the first file, inside the group.
        came_from = {first: None}
        queue = [first]
        end = None
        while queue and end is None:
            node = queue.pop(0)
            for successor in sorted(edges.get(node, ())):
                if successor == first:
                    end = node
                    break
                if successor in group and successor not in came_from:
                    came_from[successor] = node
                    queue.append(successor)
        path = [first]
        while end is not None:
            path.append(end)
            end = came_from[end]
        path.reverse()
        cycles.append(path)
    return sorted(cycles)


def check(root):
    """The violations in the tree at root, each a line to print."""
    problems = []
    edges = {}
    where = {}  # (from, to) -> the line of the include
    sources = product_files(root)
    if not sources:
        return ["%s: no product source files found" % root]
    for source in sources:
        room = source.split("/")[0]
        for line, included in read_includes(root, source):
            at = "%s:%d" % (source, line)
            target = target_room(included)
            if target is not None and target not in ALLOWED[room]:
                problems.append('%s: room %s may not include "%s" (room %s)' % (at, room, included, target))
            found = resolve(root, source, included)
            if found is None:
                problems.append('%s: "%s" names no file' % (at, included))
            elif found.split("/")[0] in ALLOWED:
                edges.setdefault(source, set()).add(found)
                where.setdefault((source, found), line)
    for cycle in find_cycles(edges):
        steps = " -> ".join(
            "%s:%d" % (cycle[i], where[(cycle[i], cycle[i + 1])]) for i in range(len(cycle) - 1)) + " -> " + cycle[-1]
        problems.append("%s: include cycle: %s" % (cycle[0], steps))
    return problems


def write_tree(root, files):
    for path, text in files.items():
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w", encoding="utf-8") as out:
            out.write(text)


def self_test():
    """Runs this script, as the build does, on a tree that keeps the rules and
    on one that breaks each; true when it passes the first, fails the second
    and names every broken line."""
    kept = {
        "base/Bytes.h": "#pragma once\n",
        "pixels/Picture.h": '#pragma once\n#include "base/Bytes.h"\n',
        "framework/Draw.h": '#pragma once\n#include "pixels/Picture.h"\n',
        "export/Png.cpp": '#include "pixels/Picture.h"\n#include <vector>\n',
        "app/View.cpp": '#include "framework/Draw.h"\n#include "Local.h"\n',
        "app/Local.h": '#pragma once\n// #include "shell/Nowhere.h" is no include\n',
        "tools/fuzz/Fuzz.cpp": '#include "tests/support/Probe.h"\n',
        "tests/support/Probe.h": '#include "app/View.h"\n',
    }
    broken = {
        "base/Bytes.h": '#pragma once\n#include "pixels/Picture.h"\n',
        "pixels/Picture.h": '#pragma once\n#include "pixels/Mix.h"\n',
        "pixels/Mix.h": '#pragma once\n\n#include "pixels/Picture.h"\n',
        "framework/Draw.cpp": '#include "decode/Reader.h"\n',
        "decode/Reader.h": '#pragma once\n#include "decode/Gone.h"\n',
        "shell/Handler.cpp": '#include "tests/support/Probe.h"\n',
    }
    expected = [
        'base/Bytes.h:2: room base may not include "pixels/Picture.h"',
        'framework/Draw.cpp:1: room framework may not include "decode/Reader.h"',
        'decode/Reader.h:2: "decode/Gone.h" names no file',
        'shell/Handler.cpp:1: room shell may not include "tests/support/Probe.h"',
        "pixels/Mix.h: include cycle: pixels/Mix.h:3 -> pixels/Picture.h:2 -> pixels/Mix.h",
    ]
    expected_cycles = 1
    ok = True
    with tempfile.TemporaryDirectory() as scratch:
        for name, files in (("kept", kept), ("broken", broken)):
            write_tree(os.path.join(scratch, name), files)
        run = [sys.executable, os.path.abspath(__file__)]
        good = subprocess.run(run + [os.path.join(scratch, "kept")], capture_output=True, text=True)
        if good.returncode != 0:
            print("self-test: the tree that keeps the rules failed:\n" + good.stdout, end="")
            ok = False
        bad = subprocess.run(run + [os.path.join(scratch, "broken")], capture_output=True, text=True)
        if bad.returncode != 1:
            print("self-test: the tree that breaks the rules passed (status %d)" % bad.returncode)
            ok = False
        for line in expected:
            if line not in bad.stdout:
                print("self-test: not reported: " + line)
                ok = False
        cycles = [line for line in bad.stdout.splitlines() if "include cycle" in line]
        if len(cycles) != expected_cycles:
            print("self-test: %d cycles reported, %d expected:\n%s" % (len(cycles), expected_cycles, bad.stdout), end="")
            ok = False
    print("self-test: %s" % ("passed" if ok else "FAILED"))
    return ok


def main(argv):
    if len(argv) == 2 and argv[1] == "--self-test":
        return 0 if self_test() else 1
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    problems = check(argv[1])
    for problem in problems:
        print(problem)
    if problems:
        print("%d include rule violations" % len(problems))
        return 1
    print("includes keep the rooms' rules: %d files" % len(product_files(argv[1])))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
