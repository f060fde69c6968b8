# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""The voice changer script: every speaker's pitch from low and high voices, loudness, seamless joins, progress,
failures."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import json
import os
import pathlib
import re
import shutil
import subprocess
import tempfile
import unittest

import numpy as np

import runtimetestlib as lib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "bench"))
import songmix  # noqa: E402 (the benchmark's generated voices)

SCRIPT = "infer_cli2.py"
SPEAKERS = ["pellimorV2.pth", "orsindav2-xi.pth", "lumoV1.pth", "tavielV1.pth"]
# Sung lines from these pitches up: a man's voice around 118 Hz, a woman's around 200 Hz.
VOICES = {"low": 88.0, "high": 150.0}


def convert(model, segments, out):
    return lib.run_script(SCRIPT, ["--model_name", model, "--f0method", "harvest", "--input_path", segments,
                                   "--index_path", " ", "--opt_path", out])


def median_pitch(x):
    """By the harmonic product spectrum of 186 ms frames (read on a four times finer grid):
    the pitch whose first four harmonics are strongest."""
    size, grid = 8192, 32768
    low, high = 60 * grid // lib.RATE, 500 * grid // lib.RATE
    loud = np.sqrt(np.mean(x ** 2))
    pitches = []
    for start in range(0, len(x) - size, size // 4):
        frame = x[start:start + size]
        if np.sqrt(np.mean(frame ** 2)) > 0.3 * loud:
            log = np.log(np.abs(np.fft.rfft(frame * np.hanning(size), grid)) + 1e-9)
            product = sum(log[np.arange(low, high) * k] for k in range(1, 5))
            pitches.append((low + np.argmax(product)) * lib.RATE / grid)
    return np.median(pitches)


def loudness(path):
    """Integrated loudness in LUFS, by ffmpeg's own meter."""
    run = subprocess.run([lib.app_path("ffmpeg"), "-hide_banner", "-nostats", "-i", path, "-af", "ebur128",
                          "-f", "null", "-"], stderr=subprocess.PIPE, universal_newlines=True, timeout=120)
    return float(re.findall(r"I:\s+(-?[\d.]+) LUFS", run.stderr)[-1])


class VoiceChangerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = lib.temp_root(cls.addClassCleanup)
        cls.app_before = lib.snapshot(lib.app_path())
        cls.runs = {}
        for voice, base in VOICES.items():
            sung = songmix.level(songmix.voice(np.random.default_rng(5), int(5.4 * lib.RATE), base), 0.08)
            source = os.path.join(cls.root, voice + ".wav")
            lib.write_wav(source, np.stack([sung, sung], axis=1))
            # Cut every 2 s: pieces of 2, 2 and 1.4 s.
            names = lib.cut_segments(source, os.path.join(cls.root, voice), 2)
            for model in SPEAKERS:
                out = os.path.join(cls.root, voice + "-" + model)
                cls.runs[voice, model] = (convert(model, os.path.join(cls.root, voice), out), source, names, out)

    def joined(self, out, names):
        return lib.join_like_app([os.path.join(out, n) for n in names], self.root)

    def test_every_speaker_lands_on_its_pitch_at_the_input_loudness(self):
        self.assertEqual(lib.snapshot(lib.app_path()), self.app_before)  # writes nothing beside itself
        for (voice, model), (run, source, names, out) in self.runs.items():
            with self.subTest(voice=voice, model=model):
                self.assertEqual(run.returncode, 0, run.stderr)
                self.assertEqual(lib.numeric_names(out), names)
                for name in names:
                    piece, rate, width = lib.read_wav(os.path.join(os.path.dirname(out), voice, name))
                    converted, out_rate, out_width = lib.read_wav(os.path.join(out, name))
                    self.assertEqual((converted.shape, out_rate, out_width), (piece.shape, rate, width))
                with open(lib.app_path("runtime", "weights", model), encoding="utf-8") as f:
                    target = json.load(f)["median_pitch_hz"]
                pitch = median_pitch(self.joined(out, names)[:, 0] / 32768.0)
                level = loudness(os.path.join(self.root, "joined.wav")) - loudness(source)
                sys.stderr.write("%s voice, %s: %.1f Hz (target %g), loudness %+.1f dB\n"
                                 % (voice, model, pitch, target, level))
                self.assertLess(abs(pitch / target - 1.0), 0.1)
                # 1 dB is the promise; these land well inside it.
                self.assertLess(abs(level), 0.5)

    def test_rough_speaker_rasps_without_a_flutter(self):
        # A steady tone shows the level's wavering: the rough speaker's third
        # harmonic wavers far more than a smooth speaker's, yet never in a
        # repeating pattern, as a tremolo would.
        steady = os.path.join(self.root, "steady")
        os.makedirs(steady)
        lib.make_tone(os.path.join(steady, "segment0.wav"), 150.0, 12, 4)
        wavering = {}
        for model, pitch in (("orsindav2-xi.pth", 128.0), ("pellimorV2.pth", 98.0)):
            out = os.path.join(self.root, "steady-" + model)
            self.assertEqual(convert(model, steady, out).returncode, 0)
            x = lib.read_wav(os.path.join(out, "segment0.wav"))[0][lib.RATE // 2:-lib.RATE // 2, 0] / 32768.0
            spectrum = np.fft.fft(x)
            f = np.fft.fftfreq(len(x), 1.0 / lib.RATE)
            spectrum[np.abs(f - 3 * pitch) > 0.45 * pitch] = 0  # the partial alone: its analytic signal
            level = np.abs(np.fft.ifft(spectrum))[::44]
            change = level / level.mean() - 1.0
            repeats = np.correlate(change, change, "full")[len(change) - 1:] / np.sum(change ** 2)
            wavering[model] = (np.std(change), repeats[15:1000].max())  # lags of 15 ms to 1 s
        sys.stderr.write("wavering (depth, repetition): %s\n" % wavering)
        self.assertGreater(wavering["orsindav2-xi.pth"][0], 1.6 * wavering["pellimorV2.pth"][0])
        self.assertLess(wavering["orsindav2-xi.pth"][1], 0.4)

    def test_rasp_follows_the_stream_not_the_reads(self):
        sys.path.insert(0, lib.app_path())
        import infer_cli2
        rasp = infer_cli2.Rasp(0.35, 40.0, 200.0)
        block = np.ones((100000, 2), np.float32)
        whole = rasp.apply(block, 1000, lib.RATE)
        pieces = [rasp.apply(block[a:b], 1000 + a, lib.RATE) for a, b in ((0, 7), (7, 40000), (40000, 100000))]
        self.assertTrue(np.array_equal(np.concatenate(pieces), whole))

    def test_joins_are_seamless(self):
        # The same input as one piece: cutting it must change nothing, so no click
        # at a join; the rough speaker's rasp too follows the stream, not the pieces.
        run, source, names, out = self.runs["low", "orsindav2-xi.pth"]
        whole = os.path.join(self.root, "whole")
        os.makedirs(whole)
        shutil.copy(source, os.path.join(whole, "segment0.wav"))
        result = convert("orsindav2-xi.pth", whole, os.path.join(self.root, "whole-out"))
        self.assertEqual(result.returncode, 0, result.stderr)
        reference = lib.read_wav(os.path.join(self.root, "whole-out", "segment0.wav"))[0].astype(np.int64)
        joined = self.joined(out, names).astype(np.int64)
        self.assertEqual(joined.shape, reference.shape)
        self.assertLessEqual(np.abs(joined - reference).max(), 2)

    def test_planted_links_are_never_followed(self):
        # A result or scratch name taken by a link is replaced, never written
        # through; an output folder that is a link is refused.
        segments, names = os.path.join(self.root, "low"), self.runs["low", SPEAKERS[0]][2]
        victim = pathlib.Path(self.root, "victim")
        victim.mkdir()
        for name in ("a", "b"):
            (victim / name).write_bytes(b"precious")
        for links in ({"segment0.wav": "a", ".segment1.wav.part": "b"}, None):
            with self.subTest(links):
                out = pathlib.Path(self.root, "out-%s" % bool(links))
                out.symlink_to(victim) if links is None else out.mkdir()
                for name, target in (links or {}).items():
                    (out / name).symlink_to(victim / target)
                result = convert(SPEAKERS[0], segments, str(out))
                self.assertEqual(result.returncode != 0, links is None, result.stderr)
                self.assertEqual({p.name: p.read_bytes() for p in victim.iterdir()}, {"a": b"precious", "b": b"precious"})
                if links:
                    self.assertEqual([(out / n).is_symlink() for n in lib.numeric_names(out)], [False] * len(names))
        # Scratch on another file system (where there is one): the result is made beside itself.
        if os.path.isdir("/dev/shm") and os.stat("/dev/shm").st_dev != os.stat(self.root).st_dev:
            sys.path.insert(0, lib.app_path())
            import runtime_common
            result = pathlib.Path(self.root, "result.wav")
            result.symlink_to(victim / "a")
            with tempfile.TemporaryDirectory(dir="/dev/shm") as scratch:
                runtime_common.write_wav(str(result), np.zeros((441, 2), np.float32), lib.RATE, 2, scratch)
            self.assertEqual((victim / "a").read_bytes(), b"precious")
            self.assertFalse(result.is_symlink())

    def test_long_input_streams_with_progress_at_the_input_loudness(self):
        # Over a minute: the gain comes from an excerpt, and the output streams with its progress lines.
        sung = songmix.level(songmix.voice(np.random.default_rng(6), 62 * lib.RATE, VOICES["low"]), 0.08)
        source = os.path.join(self.root, "long.wav")
        lib.write_wav(source, np.stack([sung, sung], axis=1))
        names, out = lib.check_progress(self, source, lambda segments, out: convert("lumoV1.pth", segments, out), 5)
        self.assertEqual(lib.numeric_names(out), names)
        joined = self.joined(out, names)
        self.assertLess(abs(median_pitch(joined[:, 0] / 32768.0) / 225.0 - 1.0), 0.1)
        self.assertLess(abs(loudness(os.path.join(self.root, "joined.wav")) - loudness(source)), 1.0)


class VoiceChangerFailureTest(lib.FailureTest, unittest.TestCase):
    OUTPUTS = ["vocal"]

    def attempt(self, model, segments):
        return convert(model, segments, os.path.join(self.root, "vocal"))

    def test_failures(self):
        self.check_failures("lumoV1.pth", "nobody.pth", b"RIFF\x10\x00\x00\x00WAVEjunkjunk", {
            "model given as a path": (("../weights/lumoV1.pth", self.segments), None, None),
        })


if __name__ == "__main__":
    unittest.main()
