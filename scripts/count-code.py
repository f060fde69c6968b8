#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Counts lines of code, tests/ against the rest of the project.

Files: what git tracks, in C++ (.cpp, .h, .cpp.in, .h.in) or Python (.py, or
a first line naming python). Lines that are blank or hold only a comment do
not count: C++ lines starting with // and lines of /* ... */ blocks, Python
lines starting with # and the lines of a string that stands alone as a
statement (a docstring). A line with code and a trailing comment counts.

    scripts/count-code.py            the table
    scripts/count-code.py --max 35   the same; exits 1 above 35 % tests
"""
import argparse
import os
import re
import subprocess
import sys

CPP = (".cpp", ".h", ".cpp.in", ".h.in")


def cpp_lines(text):
    count, in_block = 0, False
    for line in text.splitlines():
        s = line.strip()
        if in_block:
            if "*/" not in s:
                continue
            in_block = False
            s = s.split("*/", 1)[1].strip()
        if s.startswith("/*"):
            if "*/" not in s:
                in_block = True
                continue
            s = s.split("*/", 1)[1].strip()
        if s and not s.startswith("//"):
            count += 1
    return count


def python_lines(text):
    count, quote = 0, None
    for line in text.splitlines():
        s = line.strip()
        if quote:
            if quote in s:
                quote = None
            continue
        m = re.match(r'[rbuRBU]*("""|\'\'\')', s)
        if m:
            rest = s[m.end():]
            if m.group(1) not in rest:
                quote = m.group(1)
            continue
        if s and not s.startswith("#"):
            count += 1
    return count


def kind(path, root):
    if path.endswith(CPP):
        return "cpp"
    if path.endswith(".py"):
        return "py"
    try:
        with open(os.path.join(root, path), "rb") as f:
            first = f.readline(200)
    except OSError:
        return None
    return "py" if first.startswith(b"#!") and b"python" in first else None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--max", type=float, help="highest test share in percent of product")
    args = parser.parse_args()
    root = subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True,
                          check=True).stdout.strip()
    files = subprocess.run(["git", "ls-files", "-z"], cwd=root, capture_output=True,
                           check=True).stdout.decode().split("\0")
    totals = {}
    for path in filter(None, files):
        language = kind(path, root)
        if not language or not os.path.isfile(os.path.join(root, path)):
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        lines = cpp_lines(text) if language == "cpp" else python_lines(text)
        side = "tests" if path.startswith("tests/") else "product"
        totals[(side, language)] = totals.get((side, language), 0) + lines
    product = sum(v for (side, _), v in totals.items() if side == "product")
    tests = sum(v for (side, _), v in totals.items() if side == "tests")
    for side in ("product", "tests"):
        print("%-8s C++ %6d  Python %6d" % (side, totals.get((side, "cpp"), 0), totals.get((side, "py"), 0)))
    ratio = 100.0 * tests / product if product else 0.0
    print("tests are %.1f %% of product (%d / %d lines)" % (ratio, tests, product))
    return 1 if args.max is not None and ratio > args.max else 0


if __name__ == "__main__":
    sys.exit(main())
