#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# cmake --install into a scratch prefix: every file is a real file listed in
# the install manifest, the program runs from there, and removing exactly the
# manifest's files leaves nothing behind.
#   test_install.sh BUILD_DIR VERSION
set -eu
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/p
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
manifest=$build/install_manifest.txt
sort "$manifest" >"$scratch/listed"
(cd / && find "$prefix" ! -type d | sort) >"$scratch/present"
diff -u "$scratch/listed" "$scratch/present" || fail "installed files and the manifest differ"
links=$(find "$prefix" -type l)
[ -z "$links" ] || fail "links installed: $links"

for program in quillvane quillvane-cli; do
    [ -f "$prefix/bin/$program" ] && [ -x "$prefix/bin/$program" ] || fail "no executable bin/$program"
done
for f in quillvane.ini font/fonts.conf Lang/Lang_config Lang/Lang_ZH.qm runtime/python.exe \
    uvr5_cli.py help/guide-en.html help/guide-zh.html; do
    [ -f "$prefix/share/quillvane/$f" ] || fail "share/quillvane/$f missing"
done
[ "$("$prefix/bin/quillvane" --version)" = "quillvane $version" ] || fail "bin/quillvane --version"
# The command line from the prefix: its version, and a real conversion with the data found there.
[ "$("$prefix/bin/quillvane-cli" --version)" = "quillvane-cli $version" ] || fail "bin/quillvane-cli --version"
ffmpeg -v error -f lavfi -i sine=duration=1 -y "$scratch/tone.wav"
"$prefix/bin/quillvane-cli" convert --to mp3 -q -o "$scratch/out" "$scratch/tone.wav" || fail "bin/quillvane-cli convert"
[ -s "$scratch/out/tone.mp3" ] || fail "bin/quillvane-cli convert wrote no tone.mp3"

while IFS= read -r f || [ -n "$f" ]; do
    rm -f -- "$f"
done <"$manifest"
left=$(find "$prefix" ! -type d)
[ -z "$left" ] || fail "left behind after removing the manifest's files: $left"
echo "install: $(wc -l <"$manifest") files, all listed, none left"
