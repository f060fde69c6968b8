#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Licence headers of the sources, scripts and tests.

    spdx-headers.py check [ROOT]   lists every source without its SPDX line; exit 1 if any
    spdx-headers.py add [ROOT]     gives each of them the two header lines

The header is an SPDX line and a one-line copyright, in the file's comment
syntax, at the top (after a "#!" line). The sources are the files git tracks
(without git: the tree, less build folders): C++ (.cpp, .h, .h.in), Python,
shell (.sh, or a "#!" line naming a shell), CMake.
"""

import os
import re
import subprocess
import sys

SPDX = "SPDX-License-Identifier: GPL-3.0-or-later"
COPYRIGHT = "Copyright (C) 2026 The Quillvane authors"
# Where the SPDX line may stand: within the first lines, as REUSE tools look for it.
HEAD_LINES = 5


def tracked_files(root):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "-z"], check=True, capture_output=True).stdout
        return [name for name in out.decode("utf-8").split("\0") if name]
    except (OSError, subprocess.CalledProcessError):
        names = []
        for folder, dirs, files in os.walk(root):
            dirs[:] = [d for d in dirs if not d.startswith(("build", "."))]
            names += [os.path.relpath(os.path.join(folder, f), root) for f in files]
        return names


def comment_prefix(root, name):
    """The line comment of a source file, or None for what is not a source."""
    base = os.path.basename(name)
    if base.endswith((".cpp", ".h", ".h.in")):
        return "//"
    if base.endswith((".py", ".sh", ".cmake")) or base == "CMakeLists.txt":
        return "#"
    try:
        with open(os.path.join(root, name), "rb") as stream:
            first = stream.readline(200)
    except OSError:
        return None
    if re.match(rb"#!\s*/\S*/(env\s+)?(ba|da)?sh\b", first) or re.match(rb"#!\s*/\S*python3?\b", first):
        return "#"
    return None


def has_spdx(text):
    return any("SPDX-License-Identifier:" in line for line in text.splitlines()[:HEAD_LINES])


def with_header(text, prefix):
    header = "%s %s\n%s %s\n" % (prefix, SPDX, prefix, COPYRIGHT)
    if text.startswith("#!"):
        first, _, rest = text.partition("\n")
        return first + "\n" + header + rest
    return header + text


def main(argv):
    if len(argv) not in (2, 3) or argv[1] not in ("check", "add"):
        sys.stderr.write(__doc__)
        return 2
    root = argv[2] if len(argv) == 3 else os.getcwd()
    missing = []
    for name in sorted(tracked_files(root)):
        prefix = comment_prefix(root, name)
        path = os.path.join(root, name)
        if prefix is None or not os.path.isfile(path) or os.path.islink(path):
            continue
        with open(path, encoding="utf-8") as stream:
            text = stream.read()
        if has_spdx(text):
            continue
        missing.append(name)
        if argv[1] == "add":
            # Rewritten in place, so the file keeps its mode.
            with open(path, "r+", encoding="utf-8") as stream:
                stream.write(with_header(text, prefix))
    if argv[1] == "check":
        for name in missing:
            print("no SPDX line: %s" % name)
        print("%d sources without an SPDX line" % len(missing))
        return 1 if missing else 0
    print("headers added to %d sources" % len(missing))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
