"""The voice changer script: pitch by the speaker profile, seamless joins, progress, failures."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import os
import shutil
import tempfile
import unittest

import numpy as np

import runtimetestlib as lib

SCRIPT = "infer_cli2.py"
SPEAKERS = ["pellimorV2.pth", "lumoV1.pth", "tavielV1.pth", "orsindav2-xi.pth"]


def convert(model, segments, out):
    return lib.run_script(SCRIPT, ["--model_name", model, "--f0method", "harvest", "--input_path", segments,
                                   "--index_path", " ", "--opt_path", out])


class VoiceChangerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        root = cls.tmp.name
        cls.source = os.path.join(root, "pulse.wav")
        # A harmonic-rich 150 Hz tone; 12.4 s cut every 5 s gives 5, 5 and 2.4 s pieces.
        lib.make_lavfi(cls.source, lib.harmonic_source(150.0, 12), 12.4)
        cls.segments = os.path.join(root, "segments")
        cls.names = lib.cut_segments(cls.source, cls.segments, 5)
        cls.app_before = lib.snapshot(lib.app_dir())
        cls.inputs_before = lib.fingerprint(cls.segments)
        cls.runs = {}
        for model in SPEAKERS:
            out = os.path.join(root, "vocal-" + model)
            cls.runs[model] = (convert(model, cls.segments, out), out)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def joined(self, model):
        result, out = self.runs[model]
        self.assertEqual(result.returncode, 0, result.stderr)
        return lib.join_like_app([os.path.join(out, n) for n in self.names], self.tmp.name)

    def test_writes_only_its_output_folder(self):
        self.assertEqual(lib.snapshot(lib.app_dir()), self.app_before)
        self.assertEqual(lib.fingerprint(self.segments), self.inputs_before)
        for model in SPEAKERS:
            with self.subTest(model=model):
                result, out = self.runs[model]
                self.assertEqual(result.returncode, 0, result.stderr)
                self.assertEqual(lib.numeric_names(out), self.names)

    def test_pitch_moves_by_the_profile_ratio(self):
        source = lib.read_wav(self.source)[0][:, 0].astype(np.float64)
        f_in = lib.fundamental(source[lib.RATE:-lib.RATE])
        self.assertAlmostEqual(f_in, 150.0, delta=0.5)
        for model in SPEAKERS:
            with self.subTest(model=model):
                converted = self.joined(model)[:, 0].astype(np.float64)
                ratio = lib.fundamental(converted[lib.RATE:-lib.RATE]) / f_in
                expected = lib.profile(model)["pitch_ratio"]
                sys.stderr.write("%s: pitch ratio %.4f (profile %.2f)\n" % (model, ratio, expected))
                self.assertAlmostEqual(ratio, expected, delta=0.01 * expected)

    def test_outputs_match_the_inputs_in_length_and_format(self):
        for model in SPEAKERS:
            with self.subTest(model=model):
                result, out = self.runs[model]
                self.assertEqual(result.returncode, 0, result.stderr)
                for name in self.names:
                    source, rate, width = lib.read_wav(os.path.join(self.segments, name))
                    converted, out_rate, out_width = lib.read_wav(os.path.join(out, name))
                    self.assertEqual(converted.shape, source.shape)
                    self.assertEqual((out_rate, out_width), (rate, width))
                    self.assertGreater(np.abs(converted).max(), 1000)

    def test_joins_are_seamless(self):
        model = "lumoV1.pth"
        joined = self.joined(model).astype(np.int64)
        # The same input as one piece: cutting it must change nothing.
        whole = os.path.join(self.tmp.name, "whole")
        os.makedirs(whole)
        shutil.copy(self.source, os.path.join(whole, "segment0.wav"))
        out = os.path.join(self.tmp.name, "whole-out")
        result = convert(model, whole, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        reference = lib.read_wav(os.path.join(out, "segment0.wav"))[0].astype(np.int64)
        self.assertEqual(joined.shape, reference.shape)
        self.assertLessEqual(np.abs(joined - reference).max(), 2)
        # And no step at a boundary stands out from the signal's own steps.
        steps = np.abs(np.diff(joined[:, 0]))
        bounds = np.cumsum([len(lib.read_wav(os.path.join(self.segments, n))[0]) for n in self.names])[:-1]
        self.assertLessEqual(max(steps[b - 1] for b in bounds), steps.max())

    def test_timing_is_kept(self):
        # A tone that starts and stops sharply must do so at the same moments after the shift.
        segments = os.path.join(self.tmp.name, "burst")
        source = os.path.join(self.tmp.name, "burst.wav")
        lib.make_lavfi(source, lib.harmonic_source(150.0, 12, gate="between(t\\,2\\,3)"), 6.3)
        names = lib.cut_segments(source, segments, 5)
        for model in ("pellimorV2.pth", "tavielV1.pth"):
            with self.subTest(model=model):
                out = os.path.join(self.tmp.name, "burst-" + model)
                result = convert(model, segments, out)
                self.assertEqual(result.returncode, 0, result.stderr)
                converted = lib.join_like_app([os.path.join(out, n) for n in names], self.tmp.name)
                lag = lib.envelope_lag(lib.read_wav(source)[0][:, 0], converted[:, 0])
                sys.stderr.write("%s: delay %d samples\n" % (model, lag))
                self.assertLessEqual(abs(lag), 0.003 * lib.RATE)

    def test_progress_lines(self):
        result, _ = self.runs["pellimorV2.pth"]
        lib.assert_progress(self, result.stdout, self.names)

    def test_segments_run_in_numeric_order(self):
        segments = os.path.join(self.tmp.name, "many")
        names = lib.cut_segments(self.source, segments, 1)
        self.assertIn("segment10.wav", names)
        out = os.path.join(self.tmp.name, "many-out")
        result = convert("tavielV1.pth", segments, out)
        self.assertEqual(result.returncode, 0, result.stderr)
        lib.assert_progress(self, result.stdout, names)
        self.assertEqual(lib.numeric_names(out), names)


class VoiceChangerFailureTest(lib.FailureFixture, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.out = os.path.join(self.root, "vocal")

    def check(self, result):
        lib.assert_clean_failure(self, result, self.root, self.before, ["vocal"])

    def test_failures(self):
        cases = {
            "unknown model": ("nobody.pth", self.segments, None),
            "model given as a path": ("../weights/lumoV1.pth", self.segments, None),
            "missing input folder": ("lumoV1.pth", os.path.join(self.root, "absent"), None),
            "no WAV files": ("lumoV1.pth", os.path.join(self.root, "empty"), None),
            "corrupt WAV": ("lumoV1.pth", self.segments, b"RIFF\x10\x00\x00\x00WAVEjunkjunk"),
        }
        os.makedirs(os.path.join(self.root, "empty"))
        with open(os.path.join(self.root, "empty", "notes.txt"), "w") as f:
            f.write("not audio")
        for name, (model, segments, corrupt) in cases.items():
            with self.subTest(name):
                if corrupt:
                    with open(os.path.join(self.segments, "segment1.wav"), "wb") as f:
                        f.write(corrupt)
                self.before = lib.snapshot(self.root)
                self.check(convert(model, segments, self.out))

    def test_truncated_segment_leaves_no_output(self):
        # segment0 is written before segment2 turns out short: it must not stay behind.
        self.truncate_segment("segment2.wav")
        self.before = lib.snapshot(self.root)
        result = convert("lumoV1.pth", self.segments, self.out)
        self.assertIn("['segment0.wav']->Success", result.stdout)
        self.check(result)

    def test_bad_arguments(self):
        self.before = lib.snapshot(self.root)
        self.check(lib.run_script(SCRIPT, ["--model_name", "lumoV1.pth", "--input_path", self.segments]))


if __name__ == "__main__":
    unittest.main()
