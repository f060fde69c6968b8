#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# One entry point from a fresh clone: installs the Debian packages, builds, and
# then runs the app, the test suite or the benchmarks.
#   scripts/quillvane.sh run     build and launch the app
#   scripts/quillvane.sh test    build (warnings are errors) and run every test
#   scripts/quillvane.sh bench   build optimised and print the benchmark table
set -e
cd "$(dirname "$0")/.."
mode=${1:-run}

./scripts/install-deps.sh

case "$mode" in
run)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build
    if [ -z "$DISPLAY" ] && [ -z "$WAYLAND_DISPLAY" ]; then
        echo "No display found: starting Quillvane on a virtual X server (xvfb-run)." >&2
        exec xvfb-run -a -s "-screen 0 1920x1080x24" build/bin/quillvane
    fi
    exec build/bin/quillvane
    ;;
test)
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLVANE_WERROR=ON
    cmake --build build
    cd build
    exec ctest --output-on-failure --parallel 2
    ;;
bench)
    cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLVANE_BUILD_TESTS=OFF
    cmake --build build-bench
    exec ./bench/run.sh build-bench
    ;;
*)
    echo "usage: $0 run|test|bench" >&2
    exit 2
    ;;
esac
