#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Runs the README's example of spreading a batch with GNU parallel, as
# written there, on generated WAV files: every file converted, the collected
# JSON results say so.
#   test_readme.sh SOURCE_DIR BUILD_DIR
set -eu
readme=$1/README.md
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The fenced block after the example's marker.
sed -n '/^<!-- example: spread a batch -->$/,/^```$/p' "$readme" | sed '1,2d;$d' >"$scratch/example.sh"
grep -q '^parallel ' "$scratch/example.sh" || fail "no example in the README"

cd "$scratch"
for n in 1 2 3 "4 中"; do
    ffmpeg -v error -f lavfi -i "sine=frequency=${n%% *}00:duration=1" -y "tone $n.wav"
done
PATH=$2/bin:$PATH sh "$scratch/example.sh" >summary || fail "the example failed: $(cat summary)"
[ "$(cat summary)" = "4 succeeded, 0 failed" ] || fail "summary: $(cat summary)"
[ "$(ls OUT)" = "tone 1.mp3
tone 2.mp3
tone 3.mp3
tone 4 中.mp3" ] || fail "results: $(ls OUT)"
echo "readme: the parallel example converted 4 files"
