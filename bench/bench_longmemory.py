#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Peak memory of long inputs and large batches, through quillvane-cli.

Reverse: `quillvane-cli reverse` on 10-minute, 1-hour and 3-hour stereo WAVs,
on the resident converter (with --child: through the two ffmpeg children, as
QUILLVANE_NO_WORKER=1 runs it); the figure is the largest sum of resident
memory of the command and all its children, read every 50 ms. The reference is
the one ffmpeg with areverse that reversed a file before (its own peak,
ru_maxrss).

Batch: `quillvane-cli convert --to wav -j 2` on a folder of 1,000 and of
100,000 links to one short WAV, with a stand-in ffmpeg that copies it; the
figure is the command's own peak (VmHWM). The 100,000-file run is stopped once
2,000 jobs have ended: by then a run that holds a record per queued file has
probed and queued them all.

    bench_longmemory.py APP_DIR [--quick] [--child] [--reverse-only]   (APP_DIR: the build's bin/)
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time

LIMIT_MIB = 256
LENGTHS = [("10 min", 600), ("1 h", 3600), ("3 h", 10800)]
BATCHES = [1000, 100000]
BATCH_STOP_AFTER = 2000
RECORD_BYTES = 256  # a small record per file: its name


def row(*fields):
    line = "\t".join(fields[:-1] + ("yes" if fields[-1] else "NO",)) + "\n"
    sys.stderr.write(line)
    path = os.environ.get("QUILLVANE_BENCH_ROWS")
    if path:
        with open(path, "a", encoding="utf-8") as f:
            f.write(line)
    else:
        sys.stdout.write(line)


def status_kib(pid, key):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith(key):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def tree(root):
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    parent = int(f.read().rsplit(")", 1)[1].split()[1])
            except (OSError, IndexError, ValueError):
                continue
            children.setdefault(parent, []).append(int(entry))
    found, queue = [], [root]
    while queue:
        pid = queue.pop()
        found.append(pid)
        queue.extend(children.get(pid, []))
    return found


def watch(arguments, env, stop=None):
    """Runs a command; returns (exit status, peak tree RSS KiB, own peak KiB)."""
    process = subprocess.Popen(arguments, env=env, stdout=subprocess.PIPE if stop else subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    peak_tree = peak_own = 0
    ended = 0
    if stop:
        os.set_blocking(process.stdout.fileno(), False)
    while process.poll() is None:
        peak_tree = max(peak_tree, sum(status_kib(p, "VmRSS:") for p in tree(process.pid)))
        peak_own = max(peak_own, status_kib(process.pid, "VmHWM:"))
        if stop:
            ended += (process.stdout.read() or b"").count(b'"event":"end"')
            if ended >= stop:
                process.terminate()
        time.sleep(0.05)
    return process.wait(), peak_tree, peak_own


def mib(kib):
    return f"{kib / 1024:.0f} MiB"


def reverse_rows(cli, work, env, lengths, child):
    env = {k: v for k, v in env.items() if k != "QUILLVANE_NO_WORKER"}
    if child:
        env["QUILLVANE_NO_WORKER"] = "1"
    way = "the ffmpeg children" if child else "the resident converter"
    for name, seconds in lengths:
        path = os.path.join(work, f"long{seconds}.wav")
        if not os.path.exists(path):
            subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", f"sine=f=440:d={seconds}", "-f", "lavfi",
                            "-i", f"sine=f=660:d={seconds}", "-filter_complex", "[0][1]amerge=inputs=2",
                            "-y", path + ".tmp.wav"], check=True)
            os.rename(path + ".tmp.wav", path)
        out = tempfile.mkdtemp(dir=work)
        before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        reference = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-vn", "-af", "areverse", "-threads", "1",
                                    "-y", "-ar", "44100", "-c:a", "pcm_s16le", os.path.join(out, "ref.wav")]).returncode
        reference_kib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        if reference_kib <= before:
            reference_kib = 0  # an earlier, larger child hides it
        os.remove(os.path.join(out, "ref.wav"))
        status, peak, _ = watch([cli, "reverse", "-o", out, path], env)
        shutil.rmtree(out, ignore_errors=True)
        failure = "" if status == 0 and reference == 0 else " (a run failed)"
        row(f"Reverse on {way}, peak memory of the command and its children, {name} stereo 16-bit WAV",
            mib(peak),
            (mib(reference_kib) if reference_kib else "-") + " (one ffmpeg with areverse)",
            f"{peak / 1024:.0f} MiB" + failure, f"< {LIMIT_MIB} MiB, flat", not failure and peak < LIMIT_MIB * 1024)


def batch_rows(cli, work, env, batches):
    standin = tempfile.mkdtemp(dir=work)
    shutil.copy(cli, standin)
    tiny = os.path.join(work, "tiny.wav")
    subprocess.run(["ffmpeg", "-v", "error", "-f", "lavfi", "-i", "sine=d=0.1", "-y", tiny], check=True)
    with open(os.path.join(standin, "ffmpeg"), "w") as f:
        f.write(f"#!/bin/sh\nfor out; do :; done\necho 'size= 1kB time=00:00:00.10 x'\nexec cp '{tiny}' \"$out\"\n")
    os.chmod(os.path.join(standin, "ffmpeg"), 0o755)
    figures = []
    for count in batches:
        folder = os.path.join(work, f"links{count}")
        if not os.path.isdir(folder) or len(os.listdir(folder)) != count:
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            for i in range(count):
                os.symlink(tiny, os.path.join(folder, f"clip{i}.wav"))
        out = tempfile.mkdtemp(dir=work)
        stop = BATCH_STOP_AFTER if count > BATCH_STOP_AFTER else None
        _, _, own = watch([os.path.join(standin, "quillvane-cli"), "convert", "--json", "--to", "wav", "-j", "2",
                           "-o", out, folder], env, stop)
        shutil.rmtree(out, ignore_errors=True)
        figures.append(own)
        ended = f", stopped after {stop} ended" if stop else ""
        # Beyond the first run: what each further file costs (a path to take later, at most).
        per_file = (own - figures[0]) * 1024 / max(1, count - batches[0])
        row(f"quillvane-cli peak memory, {count:,} queued inputs{ended}", mib(own), "-",
            f"{per_file:+.0f} B per file beyond the {batches[0]:,}-input run" if count > batches[0] else "-",
            f"< {RECORD_BYTES} B per file", per_file < RECORD_BYTES)
    shutil.rmtree(standin, ignore_errors=True)


def main():
    app = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build-bench/bin")
    quick = "--quick" in sys.argv
    cli = os.path.join(app, "quillvane-cli")
    work = os.path.abspath(os.environ.get("QUILLVANE_BENCH_WORK", os.path.join(app, "..", "bench", "work")))
    os.makedirs(work, exist_ok=True)
    env = dict(os.environ)
    reverse_rows(cli, work, env, LENGTHS[:1] if quick else LENGTHS, "--child" in sys.argv)
    if "--reverse-only" not in sys.argv:
        batch_rows(cli, work, env, [BATCHES[0], 10000] if quick else BATCHES)


if __name__ == "__main__":
    main()
