"""The voice changer script: pitch by the speaker profile, seamless joins, progress, failures."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import json
import os
import pathlib
import shutil
import tempfile
import unittest

import numpy as np

import runtimetestlib as lib

SCRIPT = "infer_cli2.py"
SPEAKERS = ["lumoV1.pth", "pellimorV2.pth"]  # one up, one down


def convert(model, segments, out):
    return lib.run_script(SCRIPT, ["--model_name", model, "--f0method", "harvest", "--input_path", segments,
                                   "--index_path", " ", "--opt_path", out])


def fundamental(signal):
    # By autocorrelation: the first lag within 10 % of the highest peak wins,
    # so no multiple of the period passes for the period.
    x = signal - signal.mean()
    size = 1 << int(np.ceil(np.log2(2 * len(x))))
    corr = np.fft.irfft(np.abs(np.fft.rfft(x * np.hanning(len(x)), size)) ** 2, size)
    window = corr[lib.RATE // 1000:lib.RATE // 50]
    k = lib.RATE // 1000 + int(np.argmax(window >= 0.9 * window.max()))
    while corr[k + 1] > corr[k]:
        k += 1
    a, b, c = corr[k - 1], corr[k], corr[k + 1]
    return lib.RATE / (k + 0.5 * (a - c) / (a - 2 * b + c))


class VoiceChangerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = lib.temp_root(cls.addClassCleanup)
        cls.source = os.path.join(cls.root, "pulse.wav")
        # A harmonic-rich 150 Hz tone; cut every 2 s it gives 2, 2 and 1.4 s pieces.
        lib.make_tone(cls.source, 150.0, 12, 5.4)
        cls.segments = os.path.join(cls.root, "segments")
        cls.names = lib.cut_segments(cls.source, cls.segments, 2)
        cls.app_before = lib.snapshot(lib.app_path())
        cls.runs = {model: convert(model, cls.segments, os.path.join(cls.root, model)) for model in SPEAKERS}

    def joined(self, model, names):
        return lib.join_like_app([os.path.join(self.root, model, n) for n in names], self.root)

    def test_pitch_moves_by_the_profile_ratio_and_outputs_match_the_inputs(self):
        self.assertEqual(lib.snapshot(lib.app_path()), self.app_before)  # writes nothing beside itself
        f_in = fundamental(lib.read_wav(self.source)[0][lib.RATE:-lib.RATE, 0].astype(np.float64))
        self.assertAlmostEqual(f_in, 150.0, delta=0.5)
        for model in SPEAKERS:
            with self.subTest(model=model):
                self.assertEqual(self.runs[model].returncode, 0, self.runs[model].stderr)
                self.assertEqual(lib.numeric_names(os.path.join(self.root, model)), self.names)
                for name in self.names:
                    source, rate, width = lib.read_wav(os.path.join(self.segments, name))
                    converted, out_rate, out_width = lib.read_wav(os.path.join(self.root, model, name))
                    self.assertEqual((converted.shape, out_rate, out_width), (source.shape, rate, width))
                ratio = fundamental(self.joined(model, self.names)[lib.RATE:-lib.RATE, 0]
                                    .astype(np.float64)) / f_in
                with open(lib.app_path("runtime", "weights", model), encoding="utf-8") as f:
                    expected = json.load(f)["pitch_ratio"]
                sys.stderr.write("%s: pitch ratio %.4f (profile %.2f)\n" % (model, ratio, expected))
                self.assertAlmostEqual(ratio, expected, delta=0.01 * expected)

    def test_joins_are_seamless(self):
        # The same input as one piece: cutting it must change nothing, so no click at a join.
        whole = os.path.join(self.root, "whole")
        os.makedirs(whole)
        shutil.copy(self.source, os.path.join(whole, "segment0.wav"))
        result = convert(SPEAKERS[0], whole, os.path.join(self.root, "whole-out"))
        self.assertEqual(result.returncode, 0, result.stderr)
        reference = lib.read_wav(os.path.join(self.root, "whole-out", "segment0.wav"))[0].astype(np.int64)
        joined = self.joined(SPEAKERS[0], self.names).astype(np.int64)
        self.assertEqual(joined.shape, reference.shape)
        self.assertLessEqual(np.abs(joined - reference).max(), 2)

    def test_planted_links_are_never_followed(self):
        # A result or scratch name taken by a link is replaced, never written
        # through; an output folder that is a link is refused.
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
                result = convert(SPEAKERS[0], self.segments, str(out))
                self.assertEqual(result.returncode != 0, links is None, result.stderr)
                self.assertEqual({p.name: p.read_bytes() for p in victim.iterdir()}, {"a": b"precious", "b": b"precious"})
                if links:
                    self.assertEqual([(out / n).is_symlink() for n in lib.numeric_names(out)], [False] * len(self.names))
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

    def test_progress_lines_in_numeric_order(self):
        names, out = lib.check_progress(self, self.source, lambda segments, out: convert(SPEAKERS[1], segments, out))
        self.assertEqual(lib.numeric_names(out), names)


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
