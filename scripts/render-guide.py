#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Renders a user guide from Markdown into one HTML page that opens offline.

    render-guide.py guide-en.md OUT.html VERSION

The language is the file name's code (guide-zh.md -> zh); the title is the
first heading. The page carries its own style and links only what lies beside it.
"""

import html
import os
import re
import sys

import markdown

STYLE = """
body { font-family: sans-serif; max-width: 52em; margin: 2em auto; padding: 0 1em;
       line-height: 1.55; color: #222; }
h1, h2, h3 { line-height: 1.25; }
code, kbd { font-family: monospace; background: #f2f2f2; padding: 0 .2em; }
pre { background: #f2f2f2; padding: .6em; overflow-x: auto; }
table { border-collapse: collapse; }
th, td { border: 1px solid #ccc; padding: .3em .6em; text-align: left; vertical-align: top; }
img { max-width: 100%; border: 1px solid #ccc; }
footer { margin-top: 3em; color: #777; font-size: .9em; }
"""


def main(argv):
    if len(argv) != 4:
        sys.stderr.write("usage: render-guide.py SOURCE.md OUT.html VERSION\n")
        return 2
    source, output, version = argv[1:]
    match = re.match(r"guide-([a-z]{2})\.md$", os.path.basename(source))
    if not match:
        sys.stderr.write("%s: the name must be guide-<code>.md\n" % source)
        return 2
    with open(source, encoding="utf-8") as stream:
        text = stream.read()
    heading = re.search(r"^#\s+(.+)$", text, re.MULTILINE)
    title = heading.group(1).strip() if heading else "Quillvane"
    body = markdown.markdown(text, extensions=["tables", "toc", "fenced_code", "attr_list"], output_format="html")
    page = ('<!DOCTYPE html>\n<html lang="%s">\n<head>\n<meta charset="utf-8">\n'
            '<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            "<title>%s</title>\n<style>%s</style>\n</head>\n<body>\n%s\n"
            "<footer>Quillvane %s</footer>\n</body>\n</html>\n"
            % (match.group(1), html.escape(title), STYLE, body, html.escape(version)))
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    # Written aside and renamed: an interrupted build leaves no half page.
    with open(output + ".part", "w", encoding="utf-8") as stream:
        stream.write(page)
    os.replace(output + ".part", output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
