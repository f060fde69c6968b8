#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Writes the SVG of every Quillvane image into a work folder.

The line icons are hand-drawn under glyphs/ in one colour; this script gives
each its normal and hover colour. The pictures that follow a rule (state
variants of the indicators, the menu sprite, the frames of the busy
animation) are drawn here from one template each. render.sh turns the result
into PNG files; manifest.tsv lists, per picture, the SVG, the PNG path below
the repository root and the pixel size.
"""

import math
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
IMAGES = "resources/images"
ICONS = "resources/desktop/icons/hicolor"

# Skin colours the pictures must agree with.
NORMAL = "#e8e8e8"
LIGHT = "#3573de"
HOVER_ACCENT = "#2559b2"
PRESSED_MARK = "#aec2e5"
CYAN = "#00a2ea"
FIELD = "#17171a"
PRESSED_FIELD = "#2e3033"
MUTED = "#a5a5a5"
DISABLED = "#5e5e5e"
WHITE = "#ffffff"

# Tool icons show at 40 px, row and panel icons at 24 to 26 px; both are
# rendered at twice that so they stay sharp when the widgets scale them.
TOOL_ICONS = ["convert", "speed", "volume", "invert", "mix", "split", "concat", "trim", "audio", "user"]
ROW_ICONS = ["back", "voice", "delete", "stop", "open", "up", "down"]
TOOL_SIZE = 80
ROW_SIZE = 52
DESKTOP_SIZES = [16, 24, 32, 48, 64, 128, 256]
FRAMES = 24


def svg(view, body, extra=""):
    return ('<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 {0} {0}"{1}>\n{2}</svg>\n'
            .format(view, extra, body))


class Writer:
    def __init__(self, out):
        self.out = out
        self.rows = []
        os.makedirs(os.path.join(out, "svg"), exist_ok=True)

    def add(self, name, text, png, width, height=None):
        path = os.path.join(self.out, "svg", name + ".svg")
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
        self.rows.append((path, png, width, height or width))

    def add_file(self, path, png, width, height=None):
        self.rows.append((path, png, width, height or width))

    def close(self):
        with open(os.path.join(self.out, "manifest.tsv"), "w", encoding="utf-8") as f:
            for row in self.rows:
                f.write("\t".join(str(v) for v in row) + "\n")


def recolour(path, colour):
    with open(path, encoding="utf-8") as f:
        text = f.read()
    # Glyphs draw with currentColor and carry the normal colour on the root.
    root = 'color="{}"'.format(NORMAL)
    if text.count(root) != 1 or re.search(r"#[0-9a-fA-F]{6}", text.replace(root, "")):
        sys.exit("{}: expected one {} and no other colour".format(path, root))
    return text.replace(root, 'color="{}"'.format(colour))


def line_icons(w):
    for names, folder, size in ((TOOL_ICONS, "tool", TOOL_SIZE), (ROW_ICONS, "row", ROW_SIZE)):
        for name in names:
            source = os.path.join(HERE, "glyphs", folder, name + ".svg")
            for state, colour in (("normal", NORMAL), ("light", LIGHT)):
                w.add("{}-{}".format(state, name), recolour(source, colour),
                      "{}/{}/{}.png".format(IMAGES, state, name), size)


def program_icon(w):
    source = os.path.join(HERE, "program.svg")
    w.add_file(source, IMAGES + "/program.png", 256)
    for n in DESKTOP_SIZES:
        w.add_file(source, "{0}/{1}x{1}/apps/quillvane.png".format(ICONS, n), n)


def menu_sprite(w):
    # 4 x 4 cells of 32 px; the title bar cuts its menu button from column 96,
    # one row per state. The glyph is shown at 16 px, so the bars are 4 px
    # thick on even rows and land on whole pixels after halving.
    body = ""
    for row, colour in enumerate((MUTED, WHITE, LIGHT, DISABLED)):
        y = row * 32
        body += ('  <path d="M102 {0}h20M102 {1}h20M102 {2}h20" fill="none" stroke="{3}" '
                 'stroke-width="4" stroke-linecap="round"/>\n').format(y + 8, y + 16, y + 24, colour)
    w.add("zqpublic", svg(128, body), IMAGES + "/zqpublic.png", 128)


def combo_images(w):
    # The combo items' icon is only a 1 x 30 spacer.
    w.add("arrowtest", '<svg xmlns="http://www.w3.org/2000/svg" width="1" height="30"/>\n',
          IMAGES + "/arrowtest.png", 1, 30)
    body = ('  <path d="M7 10l5 5 5-5" fill="none" stroke="{}" stroke-width="2" '
            'stroke-linecap="round" stroke-linejoin="round"/>\n').format(NORMAL)
    w.add("arrowDown", svg(24, body), IMAGES + "/arrowDown.png", 48)


def spin_arrows(w):
    # Shown at 7 px: a solid triangle, its corners softened by a thin stroke.
    shapes = {"up_arrow": "M1.5 10.5h11L7 4z", "down_arrow": "M1.5 3.5h11L7 10z"}
    for name, d in shapes.items():
        for suffix, colour in (("", NORMAL), ("_hover", LIGHT)):
            body = ('  <path d="{0}" fill="{1}" stroke="{1}" stroke-width="1" '
                    'stroke-linejoin="round"/>\n').format(d, colour)
            w.add(name + suffix, svg(14, body), "{}/public/{}{}.png".format(IMAGES, name, suffix), 14)


def indicators(w):
    # (border, field, mark) for unchecked 1-3 and checked 1-3:
    # normal, mouse over, pressed.
    unchecked = [(MUTED, FIELD), (LIGHT, FIELD), (HOVER_ACCENT, PRESSED_FIELD)]
    checked = [(LIGHT, WHITE), (HOVER_ACCENT, WHITE), (HOVER_ACCENT, PRESSED_MARK)]
    for i, (border, field) in enumerate(unchecked, 1):
        box = '  <rect x="1.5" y="1.5" width="13" height="13" rx="3" fill="{}" stroke="{}"/>\n'.format(field, border)
        ring = '  <circle cx="8" cy="8" r="6.5" fill="{}" stroke="{}"/>\n'.format(field, border)
        w.add("check-uncheck%d" % i, svg(16, box), "%s/check/uncheck%d.png" % (IMAGES, i), 32)
        w.add("radio-uncheck%d" % i, svg(16, ring), "%s/radio/uncheck%d.png" % (IMAGES, i), 32)
    for i, (fill, mark) in enumerate(checked, 1):
        box = ('  <rect x="1" y="1" width="14" height="14" rx="3.5" fill="{0}"/>\n'
               '  <path d="M4.5 8.2l2.4 2.4 4.6-4.9" fill="none" stroke="{1}" stroke-width="1.75" '
               'stroke-linecap="round" stroke-linejoin="round"/>\n').format(fill, mark)
        ring = ('  <circle cx="8" cy="8" r="7" fill="{0}"/>\n'
                '  <circle cx="8" cy="8" r="2.75" fill="{1}"/>\n').format(fill, mark)
        w.add("check-checked%d" % i, svg(16, box), "%s/check/checked%d.png" % (IMAGES, i), 32)
        w.add("radio-checked%d" % i, svg(16, ring), "%s/radio/checked%d.png" % (IMAGES, i), 32)


def mix(c1, c2, t):
    a = [int(c1[i:i + 2], 16) for i in (1, 3, 5)]
    b = [int(c2[i:i + 2], 16) for i in (1, 3, 5)]
    return "#" + "".join("%02x" % round(x + (y - x) * t) for x, y in zip(a, b))


def busy_frames(w):
    # An arc with a fading tail turning clockwise 15 degrees a frame, so that
    # frame 24 runs on into frame 1. The tail is cut into short segments of
    # rising opacity and colour; each overlaps the next a little so no seam
    # shows between them.
    cx = cy = 20
    r, width = 14, 4.5
    span, parts, overlap = 270.0, 45, 0.8
    step = span / parts

    def point(deg):
        a = math.radians(deg)
        return cx + r * math.cos(a), cy + r * math.sin(a)

    for k in range(1, FRAMES + 1):
        head = -90 + (k - 1) * 360.0 / FRAMES
        body = ('  <circle cx="{}" cy="{}" r="{}" fill="none" stroke="{}" stroke-opacity="0.12" '
                'stroke-width="{}"/>\n').format(cx, cy, r, WHITE, width)
        for i in range(parts):
            t = (i + 1) / parts
            a0 = head - span + i * step
            a1 = min(a0 + step + overlap, head)
            x0, y0 = point(a0)
            x1, y1 = point(a1)
            body += ('  <path d="M{:.3f} {:.3f}A{} {} 0 0 1 {:.3f} {:.3f}" fill="none" stroke="{}" '
                     'stroke-opacity="{:.3f}" stroke-width="{}"/>\n').format(
                         x0, y0, r, r, x1, y1, mix(LIGHT, CYAN, t), t ** 1.6, width)
        hx, hy = point(head)
        body += '  <circle cx="{:.3f}" cy="{:.3f}" r="{}" fill="{}"/>\n'.format(hx, hy, width / 2, CYAN)
        w.add("move2-%d" % k, svg(40, body), "%s/move2/%d.png" % (IMAGES, k), 40)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: generate.py WORK_FOLDER")
    w = Writer(sys.argv[1])
    line_icons(w)
    program_icon(w)
    menu_sprite(w)
    combo_images(w)
    spin_arrows(w)
    indicators(w)
    busy_frames(w)
    w.close()


if __name__ == "__main__":
    main()
