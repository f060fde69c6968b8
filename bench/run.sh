#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Runs every benchmark of a build and prints one table of results.
#   bench/run.sh [BUILD_DIR]     (default build-bench; build it in Release first)
# Each benchmark runs with a fresh HOME, XDG_CONFIG_HOME and TMPDIR, so it
# never touches a user's settings, Documents or log. Generated inputs are kept
# in BUILD_DIR/bench/work and reused by later runs.
set -e
build=${1:-build-bench}
benches=$build/bench
for b in bench_listscroll bench_memory bench_startup bench_probe bench_batch bench_worker bench_stop bench_cli bench_waveform; do
    [ -x "$benches/$b" ] || { echo "missing $benches/$b: build $build first" >&2; exit 2; }
done
app=$(cd "$build/bin" && pwd)
[ -f "$app/uvr5_cli.py" ] || { echo "missing $app/uvr5_cli.py: build $build first" >&2; exit 2; }

work=$(cd "$benches" && pwd)/work
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillvane-bench.XXXXXX")
trap 'rm -rf "$scratch"' EXIT INT TERM
mkdir -p "$scratch/home" "$scratch/config" "$scratch/tmp" "$scratch/runtime"
chmod 700 "$scratch/runtime"
rows=$scratch/rows
: >"$rows"

# Runs one benchmark; its progress goes to standard error, the application's
# own console echo (the diagnostic log) to a file.
run() {
    echo "running $*" >&2
    HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config TMPDIR=$scratch/tmp XDG_RUNTIME_DIR=$scratch/runtime \
        QUILLVANE_BENCH_ROWS=$rows QUILLVANE_BENCH_WORK=$work \
        QT_QPA_PLATFORM=${platform:-offscreen} QT_LOGGING_RULES='qt.qpa.*=false' \
        "$@" >>"$scratch/console.log"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
run "$benches/bench_listscroll"
run "$benches/bench_memory"
run "$benches/bench_startup"
if command -v xvfb-run >/dev/null 2>&1; then
    # The X platform too, on a virtual server: what a desktop start pays.
    platform=xcb
    run xvfb-run -a -s "-screen 0 1920x1080x24" "$benches/bench_startup"
    platform=offscreen
fi
run "$benches/bench_probe"
run "$benches/bench_batch"
run "$benches/bench_worker"
run "$benches/bench_stop"
run "$benches/bench_waveform"
# The separation's quality on generated songs and the speed of its whole chain.
run /usr/bin/python3 "$(dirname "$0")/bench_separation.py" "$app"
run "$benches/bench_cli"
# Peak memory of hours-long inputs and of batches of 100,000 files.
run /usr/bin/python3 "$(dirname "$0")/bench_longmemory.py" "$app"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

cpu=$(sed -n 's/^model name[[:space:]]*:[[:space:]]*//p' /proc/cpuinfo | head -n 1)
echo
echo "Quillvane benchmarks, $(date '+%Y-%m-%d %H:%M')"
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}; load average $load_before before, $load_after after"
echo
echo "| Figure | Quillvane | Reference | Result | Target | Met |"
echo "|---|---|---|---|---|---|"
awk -F '\t' '{ printf "| %s | %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5, $6 }' "$rows"
