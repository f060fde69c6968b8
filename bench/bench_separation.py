# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Separation benchmark: how well generated songs come apart, and how fast the whole chain runs.

    bench_separation.py APP_DIR

Two songs of 30 s (seeds 101 and 102, a high and a low voice; the tests and
the tuning used other seeds) in four mixes (songmix.py) go through the
application's own steps: ffmpeg cuts them into segments, the application's
runtime separates them with each model, ffmpeg joins the pieces. The vocal
and the instrumental are scored against the true stems (SDR, mean of the
two songs). The reference is what the previous separation, which used the
stereo position alone, scored on the same songs (measured once, when it was
replaced). Then a 60 s MP3 goes through the whole chain as a job does (cut,
separate, join and encode both parts, every ffmpeg with -threads 1), timed
by the CPU time of all its processes. Rows go to QUILLVANE_BENCH_ROWS (or
standard output); generated audio is kept in QUILLVANE_BENCH_WORK.
"""

import sys

sys.dont_write_bytecode = True

import os
import resource
import subprocess
import tempfile
import time
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import songmix  # noqa: E402

MODELS = ["HP5_only_main_vocal", "HP3_all_vocals", "VR-DeEchoAggressive"]
SONGS = [(101, False), (102, True)]
SECONDS = 30.0
# (vocal, instrumental) SDR in dB of the previous separation on these songs, mean of the two.
BEFORE = {
    ("HP5_only_main_vocal", "hard"): (13.33, 15.58),
    ("HP3_all_vocals", "hard"): (12.17, 14.42),
    ("VR-DeEchoAggressive", "hard"): (12.01, 14.27),
    ("HP5_only_main_vocal", "real"): (-1.81, 2.61),
    ("HP3_all_vocals", "real"): (-3.11, 1.31),
    ("VR-DeEchoAggressive", "real"): (-1.67, 2.75),
    ("HP5_only_main_vocal", "mono"): (-2.44, 1.94),
    ("HP3_all_vocals", "mono"): (-3.44, 0.94),
    ("VR-DeEchoAggressive", "mono"): (-2.20, 2.17),
    ("HP5_only_main_vocal", "echo"): (-3.00, 2.13),
    ("HP3_all_vocals", "echo"): (-4.04, 1.10),
    ("VR-DeEchoAggressive", "echo"): (-2.55, 2.58),
}
TARGETS = {"real": "vocal >= +3 dB, instrumental >= +8 dB", "mono": "vocal >= 0 dB",
           "hard": "no worse than before", "echo": "-"}


def met(kind, vocal, instrumental, before):
    if kind == "real":
        return vocal >= 3.0 and instrumental >= 8.0
    if kind == "mono":
        return vocal >= 0.0
    if kind == "hard":
        return vocal >= before[0] and instrumental >= before[1]
    return None


def row(*fields):
    line = "\t".join(fields) + "\n"
    path = os.environ.get("QUILLVANE_BENCH_ROWS")
    if path:
        with open(path, "a", encoding="utf-8") as f:
            f.write(line)
    else:
        sys.stdout.write(line)


def write_wav(path, data):
    with wave.open(path, "wb") as w:
        w.setparams((data.shape[1], 2, songmix.RATE, 0, "NONE", None))
        w.writeframes(np.clip(np.rint(data * 32768.0), -32768, 32767).astype("<i2").tobytes())


def read_wav(path):
    with wave.open(path, "rb") as w:
        return np.frombuffer(w.readframes(w.getnframes()), "<i2").reshape(-1, w.getnchannels()) / 32768.0


class Chain:
    """The steps of a separation job, as the application runs them."""

    def __init__(self, app_dir, work):
        self.app_dir, self.work = app_dir, work

    def ffmpeg(self, args):
        subprocess.run([os.path.join(self.app_dir, "ffmpeg"), "-hide_banner", "-nostdin", "-loglevel", "error"]
                       + args, check=True)

    def cut(self, source, seconds):
        segments = os.path.join(self.work, "segments")
        os.makedirs(segments)
        # The first of 5..10 s that does not divide the whole seconds, as a job picks it.
        time = next((t for t in range(5, 11) if int(seconds) % t), 5)
        self.ffmpeg(["-i", source, "-vn", "-f", "segment", "-segment_time", str(time), "-acodec", "pcm_s16le",
                     "-ac", "2", "-ar", "44100", "-threads", "1", "-y", os.path.join(segments, "segment%d.wav")])
        return segments, len(os.listdir(segments))

    def separate(self, model, segments):
        out, temp = os.path.join(self.work, "vocail"), os.path.join(self.work, "temp")
        os.makedirs(temp, exist_ok=True)
        subprocess.run([os.path.join(self.app_dir, "runtime", "python.exe"), os.path.join(self.app_dir, "uvr5_cli.py"),
                        "--model_name", model, "--input_path", segments, "--temp_path", temp, "--out_path", out],
                       cwd=self.app_dir, check=True, stdout=subprocess.DEVNULL)
        return out

    def join(self, pieces, kind, count):
        listing, joined = os.path.join(self.work, "join.txt"), os.path.join(self.work, "temp", kind + ".wav")
        with open(listing, "w", encoding="utf-8") as f:
            f.writelines("file '%s/%s_segment%d.wav_10.wav' \n" % (pieces, kind, n) for n in range(count))
        self.ffmpeg(["-f", "concat", "-safe", "0", "-i", listing, "-c", "copy", "-threads", "1", "-y", joined])
        return joined


def songs(work):
    """The songs' dry parts, generated once and kept."""
    result = []
    for seed, low in SONGS:
        path = os.path.join(work, "song%d.npz" % seed)
        if not os.path.exists(path):
            np.savez(path, **songmix.song(seed, SECONDS, low))
        result.append(dict(np.load(path)))
    return result


def quality(app_dir, work, parts):
    for kind in songmix.MIXES:
        for model in MODELS:
            scores = []
            for n, song in enumerate(parts):
                vocal, band = songmix.mix(song, kind)
                with tempfile.TemporaryDirectory(dir=work) as scratch:
                    chain = Chain(app_dir, scratch)
                    source = os.path.join(scratch, "mix.wav")
                    write_wav(source, vocal + band)
                    segments, count = chain.cut(source, SECONDS)
                    out = chain.separate(model, segments)
                    scores.append([songmix.sdr(vocal, read_wav(chain.join(out, "vocal", count))),
                                   songmix.sdr(band, read_wav(chain.join(out, "instrument", count)))])
            vocal, instrumental = np.mean(scores, axis=0)
            before = BEFORE[model, kind]
            ok = met(kind, vocal, instrumental, before)
            row("Separation %s, %s mix: vocal / instrumental SDR (2 songs of 30 s, mean)" % (model, kind),
                "%+.1f / %+.1f dB" % (vocal, instrumental), "%+.1f / %+.1f dB before" % before,
                "%+.1f / %+.1f dB" % (vocal - before[0], instrumental - before[1]), TARGETS[kind],
                "-" if ok is None else ("yes" if ok else "no"))


def speed(app_dir, work, parts):
    vocal, band = songmix.mix(parts[0], "real")
    seconds = 2 * SECONDS
    with tempfile.TemporaryDirectory(dir=work) as scratch:
        chain = Chain(app_dir, scratch)
        write_wav(os.path.join(scratch, "mix.wav"), np.concatenate([vocal + band] * 2))
        source = os.path.join(scratch, "song.mp3")
        chain.ffmpeg(["-i", os.path.join(scratch, "mix.wav"), "-threads", "1", "-y", source])
        before, start = resource.getrusage(resource.RUSAGE_CHILDREN), time.monotonic()
        segments, count = chain.cut(source, seconds)
        script = resource.getrusage(resource.RUSAGE_CHILDREN)
        out = chain.separate(MODELS[0], segments)
        after_script = resource.getrusage(resource.RUSAGE_CHILDREN)
        for kind in ("instrument", "vocal"):
            chain.ffmpeg(["-i", chain.join(out, kind, count), "-threads", "1", "-y",
                          os.path.join(scratch, "song-%s.mp3" % kind)])
        after, wall = resource.getrusage(resource.RUSAGE_CHILDREN), time.monotonic() - start
    cpu = lambda a, b: (b.ru_utime + b.ru_stime) - (a.ru_utime + a.ru_stime)
    whole, separating = cpu(before, after), cpu(script, after_script)
    row("Separation chain of a 60 s MP3 (cut, separate, join and encode both parts): CPU time per minute of audio",
        "%.1f s" % (whole * 60 / seconds), "-", "%.1f x real time on one core (wall %.1f s)" % (seconds / whole, wall),
        ">= 4 x real time", "yes" if seconds / whole >= 4 else "no")
    row("Separation script alone: CPU time per minute of audio", "%.1f s" % (separating * 60 / seconds), "-",
        "%.1f x real time on one core" % (seconds / separating), "-", "-")


def main():
    app_dir = os.path.abspath(sys.argv[1])
    work = os.environ.get("QUILLVANE_BENCH_WORK") or tempfile.mkdtemp()
    os.makedirs(work, exist_ok=True)
    parts = songs(work)
    quality(app_dir, work, parts)
    speed(app_dir, work, parts)


if __name__ == "__main__":
    main()
