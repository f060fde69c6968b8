#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Takes a screenshot of a Quillvane program on a virtual X server.
#   scripts/screenshot.sh OUTPUT.png [PROGRAM [ARGS...]]
# PROGRAM defaults to the built app; the settle time (seconds) comes from SETTLE.
set -e
out=$1
shift || true
[ -n "$out" ] || { echo "usage: $0 OUTPUT.png [PROGRAM [ARGS...]]" >&2; exit 2; }
[ $# -gt 0 ] || set -- "$(dirname "$0")/../build/bin/quillvane"
display=:${SCREEN_DISPLAY:-97}
Xvfb "$display" -screen 0 1280x760x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display "$@" &
app=$!
sleep "${SETTLE:-3}"
DISPLAY=$display import -window root "$out"
