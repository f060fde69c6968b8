#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Runs one test with a fresh HOME, XDG_CONFIG_HOME and TMPDIR, so that it never
# touches a user's settings, Documents or log, and removes them afterwards.
base=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-test.XXXXXX") || exit 1
mkdir -p "$base/home" "$base/config" "$base/tmp" "$base/runtime"
chmod 700 "$base/runtime"
HOME="$base/home" XDG_CONFIG_HOME="$base/config" TMPDIR="$base/tmp" XDG_RUNTIME_DIR="$base/runtime" "$@"
status=$?
chmod -R u+w "$base" 2>/dev/null
rm -rf "$base"
exit $status
