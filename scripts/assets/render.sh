#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Regenerates every PNG under resources/images/ and the desktop icons under
# resources/desktop/ from the sources beside this script. Running it again
# gives the same files. Only asset work needs it; the build uses the PNGs.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
missing=""
command -v rsvg-convert >/dev/null 2>&1 || missing="$missing librsvg2-bin"
command -v optipng >/dev/null 2>&1 || missing="$missing optipng"
if [ -n "$missing" ]; then
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    # shellcheck disable=SC2086
    $SUDO apt-get install -y -q --no-install-recommends $missing
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 "$here/generate.py" "$work"

tab=$(printf '\t')
count=0
while IFS="$tab" read -r svg png width height; do
    mkdir -p "$(dirname "$root/$png")"
    rsvg-convert --width "$width" --height "$height" --format png --output "$work/out.png" "$svg"
    # Lossless; drops ancillary chunks so the bytes depend on the pixels only.
    optipng -quiet -o2 -strip all "$work/out.png"
    mv "$work/out.png" "$root/$png"
    count=$((count + 1))
done <"$work/manifest.tsv"

scalable="$root/resources/desktop/icons/hicolor/scalable/apps"
mkdir -p "$scalable"
cp "$here/program.svg" "$scalable/quillvane.svg"

echo "render.sh: $count PNG files and 1 SVG written"
