"""The separation script: centre voice against side instruments, seamless joins, progress, failures."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import os
import shutil
import tempfile
import unittest

import numpy as np

import runtimetestlib as lib

SCRIPT = "uvr5_cli.py"
MODELS = ["HP5_only_main_vocal", "VR-DeEchoAggressive", "HP3_all_vocals"]
KINDS = ["instrument", "vocal"]


def separate(model, segments, temp, out):
    return lib.run_script(SCRIPT, ["--model_name", model, "--input_path", segments, "--temp_path", temp,
                                   "--out_path", out])


def harmonic(f0, count, envelope):
    """A tone whose frequency may vary (f0 per sample) with harmonic k weighted by envelope(k * f0)."""
    phase = 2 * np.pi * np.cumsum(f0) / lib.RATE
    tone = np.zeros(len(f0))
    for k in range(1, count + 1):
        tone += envelope(k * f0) * np.sin(k * phase) / np.sqrt(k)
    return tone


def synthetic_mix(seconds):
    """(centre, sides): a sung vowel in the middle; tones and hi-hat noise hard left and right."""
    n = int(seconds * lib.RATE)
    t = np.arange(n) / lib.RATE
    vibrato = 180.0 * (1 + 0.03 * np.sin(2 * np.pi * 5 * t))
    formants = [(700.0, 130.0), (1220.0, 150.0), (2600.0, 250.0)]
    voice = harmonic(vibrato, 25, lambda f: sum(np.exp(-0.5 * ((f - c) / b) ** 2) for c, b in formants) + 0.05)
    syllables = ((t % 0.33) < 0.25).astype(float)
    ramp = np.hanning(882)
    voice *= np.convolve(syllables, ramp / ramp.sum(), "same")
    flat = lambda f: np.ones_like(f)  # noqa: E731
    left = harmonic(np.full(n, 110.0), 20, flat) + harmonic(np.full(n, 165.0), 15, flat)
    spectrum = np.fft.rfft(np.random.default_rng(3).standard_normal(n))
    freqs = np.fft.rfftfreq(n, 1.0 / lib.RATE)
    spectrum[(freqs < 5000) | (freqs > 11000)] = 0
    hat = np.fft.irfft(spectrum, n) * np.exp(-(t % 0.25) / 0.04)
    right = harmonic(np.full(n, 247.0), 12, flat) + 3 * hat

    def level(x, rms):
        return x * rms / np.sqrt(np.mean(x ** 2))

    voice = level(voice, 0.08)
    centre = np.stack([voice, voice], axis=1)
    sides = np.stack([level(left, 0.055), level(right, 0.055)], axis=1)
    return centre, sides


class SeparationTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        root = cls.tmp.name
        cls.centre, cls.sides = synthetic_mix(12.4)
        cls.source = os.path.join(root, "mix.wav")
        lib.write_wav(cls.source, cls.centre + cls.sides)
        cls.segments = os.path.join(root, "segments")
        cls.names = lib.cut_segments(cls.source, cls.segments, 5)
        cls.app_before = lib.snapshot(lib.app_dir())
        cls.inputs_before = lib.fingerprint(cls.segments)
        cls.runs = {}
        for model in MODELS:
            temp, out = os.path.join(root, "temp-" + model), os.path.join(root, "vocail-" + model)
            os.makedirs(temp)
            cls.runs[model] = (separate(model, cls.segments, temp, out), temp, out)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def joined(self, model, kind):
        result, _, out = self.runs[model]
        self.assertEqual(result.returncode, 0, result.stderr)
        paths = [os.path.join(out, "%s_%s_10.wav" % (kind, n)) for n in self.names]
        return lib.join_like_app(paths, self.tmp.name) / 32768.0

    def test_vocal_takes_the_centre_and_instrument_the_sides(self):
        mix_sdr = lib.sdr(self.centre, self.centre + self.sides)
        for model in MODELS:
            with self.subTest(model=model):
                vocal = lib.sdr(self.centre, self.joined(model, "vocal"))
                instrument = lib.sdr(self.sides, self.joined(model, "instrument"))
                sys.stderr.write("%s: vocal SDR %.1f dB, instrument SDR %.1f dB (the mix itself: %.1f dB)\n"
                                 % (model, vocal, instrument, mix_sdr))
                self.assertGreater(vocal, 12.0)
                self.assertGreater(instrument, 8.0)

    def test_outputs_keep_name_length_and_format_and_add_up_to_the_input(self):
        for model in MODELS:
            with self.subTest(model=model):
                result, _, out = self.runs[model]
                self.assertEqual(result.returncode, 0, result.stderr)
                expected = sorted("%s_%s_10.wav" % (kind, n) for kind in KINDS for n in self.names)
                self.assertEqual(sorted(os.listdir(out)), expected)
                for name in self.names:
                    source, rate, width = lib.read_wav(os.path.join(self.segments, name))
                    parts = [lib.read_wav(os.path.join(out, "%s_%s_10.wav" % (kind, name))) for kind in KINDS]
                    for data, part_rate, part_width in parts:
                        self.assertEqual(data.shape, source.shape)
                        self.assertEqual((part_rate, part_width), (rate, width))
                    total = parts[0][0].astype(np.int64) + parts[1][0]
                    self.assertLessEqual(np.abs(total - source).max(), 1)

    def test_joins_are_seamless(self):
        model = "HP5_only_main_vocal"
        whole = os.path.join(self.tmp.name, "whole")
        os.makedirs(whole)
        shutil.copy(self.source, os.path.join(whole, "segment0.wav"))
        out = os.path.join(self.tmp.name, "whole-out")
        result = separate(model, whole, os.path.join(self.tmp.name, "whole-temp"), out)
        self.assertEqual(result.returncode, 0, result.stderr)
        for kind in KINDS:
            with self.subTest(kind=kind):
                # Cutting the input must change nothing in the joined result.
                reference = lib.read_wav(os.path.join(out, "%s_segment0.wav_10.wav" % kind))[0] / 32768.0
                joined = self.joined(model, kind)
                self.assertEqual(joined.shape, reference.shape)
                self.assertLessEqual(np.abs(joined - reference).max(), 2 / 32768.0)

    def test_writes_only_its_output_folder_and_cleans_its_scratch(self):
        self.assertEqual(lib.snapshot(lib.app_dir()), self.app_before)
        self.assertEqual(lib.fingerprint(self.segments), self.inputs_before)
        for model in MODELS:
            with self.subTest(model=model):
                _, temp, _ = self.runs[model]
                self.assertEqual(os.listdir(temp), [])

    def test_progress_lines(self):
        result, _, _ = self.runs["HP5_only_main_vocal"]
        lib.assert_progress(self, result.stdout, self.names)

    def test_segments_run_in_numeric_order(self):
        segments = os.path.join(self.tmp.name, "many")
        names = lib.cut_segments(self.source, segments, 1)
        self.assertIn("segment10.wav", names)
        out = os.path.join(self.tmp.name, "many-out")
        result = separate("HP5_only_main_vocal", segments, os.path.join(self.tmp.name, "many-temp"), out)
        self.assertEqual(result.returncode, 0, result.stderr)
        lib.assert_progress(self, result.stdout, names)


class SeparationFailureTest(lib.FailureFixture, unittest.TestCase):
    def setUp(self):
        super().setUp()
        self.temp = os.path.join(self.root, "temp")
        self.out = os.path.join(self.root, "vocail")

    def check(self, result):
        lib.assert_clean_failure(self, result, self.root, self.before, ["temp", "vocail"])

    def test_failures(self):
        os.makedirs(os.path.join(self.root, "empty"))
        cases = {
            "unknown model": ("HP4_nothing", self.segments, None),
            "missing input folder": (MODELS[0], os.path.join(self.root, "absent"), None),
            "no WAV files": (MODELS[0], os.path.join(self.root, "empty"), None),
            "corrupt WAV": (MODELS[0], self.segments, b"\x00" * 64),
        }
        for name, (model, segments, corrupt) in cases.items():
            with self.subTest(name):
                if corrupt:
                    with open(os.path.join(self.segments, "segment1.wav"), "wb") as f:
                        f.write(corrupt)
                self.before = lib.snapshot(self.root)
                self.check(separate(model, segments, self.temp, self.out))

    def test_truncated_segment_leaves_no_output(self):
        self.truncate_segment("segment2.wav")
        self.before = lib.snapshot(self.root)
        result = separate(MODELS[0], self.segments, self.temp, self.out)
        self.assertIn("['segment0.wav']->Success", result.stdout)
        self.check(result)

    def test_bad_arguments(self):
        self.before = lib.snapshot(self.root)
        self.check(lib.run_script(SCRIPT, ["--model_name", MODELS[0], "--input_path", self.segments]))


if __name__ == "__main__":
    unittest.main()
