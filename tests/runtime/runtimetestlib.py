# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Fixtures for the tests of the Python runtime layer. They run the copies in the
# build's application directory (QUILLVANE_APP_DIR) through its runtime/python.exe,
# in that directory, and cut and join segments with ffmpeg as the application does.

import os
import re
import shutil
import subprocess
import tempfile
import wave

import numpy as np

RATE = 44100


def temp_root(add_cleanup):
    """A fresh folder, removed by the cleanup of the test (or its class) that asks for it."""
    tmp = tempfile.TemporaryDirectory()
    add_cleanup(tmp.cleanup)
    return tmp.name


def app_path(*parts):
    path = os.environ.get("QUILLVANE_APP_DIR")
    if not path or not os.path.isdir(path):
        raise RuntimeError("QUILLVANE_APP_DIR must name the build's application directory")
    return os.path.join(path, *parts)


def run_ffmpeg(args):
    subprocess.run([app_path("ffmpeg"), "-hide_banner", "-nostdin", "-loglevel", "error"] + args,
                   check=True, timeout=120)


def make_tone(path, f0, harmonics, seconds):
    """A stereo 16-bit WAV of a pulse-like tone with equal harmonics, the same in both channels."""
    tone = "0.04*(%s)" % "+".join("sin(2*PI*%g*t)" % (k * f0) for k in range(1, harmonics + 1))
    run_ffmpeg(["-f", "lavfi", "-i", "aevalsrc=%s|%s:s=%d" % (tone, tone, RATE), "-t", str(seconds),
                "-acodec", "pcm_s16le", "-y", path])


def write_wav(path, data):
    with wave.open(path, "wb") as w:
        w.setparams((data.shape[1], 2, RATE, 0, "NONE", None))
        w.writeframes(np.clip(np.rint(data * 32768.0), -32768, 32767).astype("<i2").tobytes())


def read_wav(path):
    """(samples as int16 array of shape (frames, channels), rate, sample width)."""
    with wave.open(path, "rb") as w:
        data = np.frombuffer(w.readframes(w.getnframes()), "<i2").reshape(-1, w.getnchannels())
        return data, w.getframerate(), w.getsampwidth()


def numeric_names(folder):
    return sorted(os.listdir(folder), key=lambda n: [int(p) if p.isdigit() else p for p in re.split(r"(\d+)", n)])


def cut_segments(source, folder, segment_time):
    """The application's cutting stage; returns the segment names in numeric order."""
    os.makedirs(folder, exist_ok=True)
    run_ffmpeg(["-i", source, "-vn", "-f", "segment", "-segment_time", str(segment_time), "-acodec", "pcm_s16le",
                "-ac", "2", "-ar", str(RATE), "-threads", "1", "-y", os.path.join(folder, "segment%d.wav")])
    return numeric_names(folder)


def join_like_app(paths, work):
    """The application's joining stage: concat demuxer, stream copy. Returns the joined samples."""
    listing, joined = os.path.join(work, "join.txt"), os.path.join(work, "joined.wav")
    with open(listing, "w", encoding="utf-8") as f:
        f.writelines("file '%s' \n" % p for p in paths)
    run_ffmpeg(["-f", "concat", "-safe", "0", "-i", listing, "-c", "copy", "-threads", "1", "-y", joined])
    return read_wav(joined)[0]


def run_script(script, args):
    """Runs a runtime script as the application does."""
    return subprocess.run([app_path("runtime", "python.exe"), app_path(script)] + args, cwd=app_path(),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True, timeout=180)


def snapshot(root):
    """Every path below root, to see what a run wrote."""
    return {os.path.relpath(os.path.join(base, name), root)
            for base, dirs, files in os.walk(root) for name in dirs + files}


def check_progress(test, source, run, piece=0.4):
    # Over ten pieces, so that text order differs from numeric order. Each piece's
    # percentages sum to 100 before its success line, which lists every piece done
    # so far, in order; success lines carry no percentage.
    segments, out = os.path.join(test.root, "many"), os.path.join(test.root, "many-out")
    names = cut_segments(source, segments, piece)
    test.assertIn("segment10.wav", names)
    result = run(segments, out)
    test.assertEqual(result.returncode, 0, result.stderr)
    percent = re.compile(r"(\d*\.\d+|\d+)%")
    successes, current = [], 0.0
    for line in result.stdout.split("\n"):
        if "->Success" in line:
            test.assertIsNone(percent.search(line), line)
            test.assertAlmostEqual(current, 100.0)
            successes.append(re.findall(r"'([^']*)'", line))
            current = 0.0
        elif percent.search(line):
            current += float(percent.search(line).group(1))
    test.assertEqual(successes, [names[:k + 1] for k in range(len(names))])
    test.assertEqual(current, 0.0)
    return names, out


class FailureTest:
    # Mixin: each case starts from three good segments in a fresh folder; a run
    # must fail with one error line and leave nothing behind but the empty output
    # folders (OUTPUTS), in its folder or in the application directory.

    def setUp(self):
        self.root = temp_root(self.addCleanup)
        self.segments = os.path.join(self.root, "segments")
        make_tone(os.path.join(self.root, "tone.wav"), 200.0, 4, 3)
        os.makedirs(os.path.join(self.root, "empty"))
        with open(os.path.join(self.root, "empty", "notes.txt"), "w") as f:
            f.write("not audio")

    def check_failures(self, model, unknown_model, corrupt, cases=None):
        # cases: name -> (arguments for self.attempt, segment to damage or None,
        # and its new bytes, or None to cut it in half)
        cases = dict(cases or {}, **{
            "unknown model": ((unknown_model, self.segments), None, None),
            "missing input folder": ((model, os.path.join(self.root, "absent")), None, None),
            "no WAV files": ((model, os.path.join(self.root, "empty")), None, None),
            "corrupt WAV": ((model, self.segments), "segment1.wav", corrupt),
            # segment0 is written before segment2 turns out short: it must not stay behind.
            "truncated WAV": ((model, self.segments), "segment2.wav", None),
        })
        for name, (args, damaged, content) in cases.items():
            with self.subTest(name):
                shutil.rmtree(self.segments, ignore_errors=True)
                os.makedirs(self.segments)
                for n in range(3):
                    shutil.copy(os.path.join(self.root, "tone.wav"),
                                os.path.join(self.segments, "segment%d.wav" % n))
                if damaged:
                    path = os.path.join(self.segments, damaged)
                    with open(path, "r+b") as f:
                        f.truncate(os.path.getsize(path) // 2 if content is None else 0)
                        f.write(content or b"")
                before, app_before = snapshot(self.root), snapshot(app_path())
                result = self.attempt(*args)
                self.assertNotEqual(result.returncode, 0)
                self.assertEqual(len(result.stderr.strip().split("\n")), 1, result.stderr)
                self.assertIn("error", result.stderr)
                self.assertEqual(snapshot(self.root) - before - set(self.OUTPUTS), set())
                self.assertEqual(snapshot(app_path()), app_before)
