# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""No file of a layer includes a file of a layer it does not link.
    usage: test_include_direction.py LAYERS_FILE SOURCE_ROOT
LAYERS_FILE is what CMake writes from the lists it builds the libraries of:
"layer NAME ALLOWED..." and "file LAYER PATH" lines.
"""
import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def main(layers_file, root):
    allowed, layer_of = {}, {}
    with open(layers_file, encoding="utf-8") as f:
        for line in f:
            kind, name, *rest = line.split()
            if kind == "layer":
                allowed[name] = set([name] + rest)
            else:
                layer_of[rest[0]] = name
    wrong = []
    for path, layer in sorted(layer_of.items()):
        with open(os.path.join(root, path), encoding="utf-8") as f:
            text = f.read()
        for included in INCLUDE.findall(text):
            other = layer_of.get(included)
            if other is not None and other not in allowed[layer]:
                wrong.append("%s (%s) includes %s (%s)" % (path, layer, included, other))
    for line in wrong:
        print(line)
    print("%d files of %d layers read, %d wrong includes" % (len(layer_of), len(allowed), len(wrong)))
    return 1 if wrong or not layer_of else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
