"""The separation script: centre voice against side instruments, progress, failures."""

import sys

sys.dont_write_bytecode = True  # keeps the source tree free of caches

import os
import unittest

import numpy as np

import runtimetestlib as lib

SCRIPT = "uvr5_cli.py"
MODELS = ["HP5_only_main_vocal", "VR-DeEchoAggressive"]  # without and with the echo stage
KINDS = ["instrument", "vocal"]


def separate(model, segments, temp, out):
    os.makedirs(temp, exist_ok=True)
    return lib.run_script(SCRIPT, ["--model_name", model, "--input_path", segments, "--temp_path", temp,
                                   "--out_path", out])


def harmonic(f0, count, envelope):
    # A tone whose frequency may vary (f0 per sample) with harmonic k weighted by envelope(k * f0).
    phase = 2 * np.pi * np.cumsum(f0) / lib.RATE
    return sum(envelope(k * f0) * np.sin(k * phase) / np.sqrt(k) for k in range(1, count + 1))


def level(x, rms):
    return x * rms / np.sqrt(np.mean(x ** 2))


def synthetic_mix(seconds):
    # (centre, sides): a sung vowel in the middle; tones and hi-hat noise hard left and right.
    n = int(seconds * lib.RATE)
    t = np.arange(n) / lib.RATE
    formants = [(700.0, 130.0), (1220.0, 150.0), (2600.0, 250.0)]
    voice = harmonic(180.0 * (1 + 0.03 * np.sin(2 * np.pi * 5 * t)), 25,
                     lambda f: sum(np.exp(-0.5 * ((f - c) / b) ** 2) for c, b in formants) + 0.05)
    ramp = np.hanning(882)
    voice = level(voice * np.convolve(((t % 0.33) < 0.25).astype(float), ramp / ramp.sum(), "same"), 0.08)
    flat = np.ones_like
    left = harmonic(np.full(n, 110.0), 20, flat) + harmonic(np.full(n, 165.0), 15, flat)
    spectrum = np.fft.rfft(np.random.default_rng(3).standard_normal(n))
    freqs = np.fft.rfftfreq(n, 1.0 / lib.RATE)
    spectrum[(freqs < 5000) | (freqs > 11000)] = 0
    right = harmonic(np.full(n, 247.0), 12, flat) + 3 * np.fft.irfft(spectrum, n) * np.exp(-(t % 0.25) / 0.04)
    return np.stack([voice, voice], axis=1), np.stack([level(left, 0.055), level(right, 0.055)], axis=1)


def sdr(reference, estimate):  # signal-to-distortion ratio in dB
    return 10.0 * np.log10(np.sum(reference ** 2) / np.sum((reference - estimate) ** 2))


class SeparationTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.root = lib.temp_root(cls.addClassCleanup)
        cls.centre, cls.sides = synthetic_mix(6.4)
        cls.source = os.path.join(cls.root, "mix.wav")
        lib.write_wav(cls.source, cls.centre + cls.sides)
        cls.segments = os.path.join(cls.root, "segments")
        cls.names = lib.cut_segments(cls.source, cls.segments, 3)
        cls.app_before = lib.snapshot(lib.app_path())
        cls.runs = {model: separate(model, cls.segments, os.path.join(cls.root, "temp-" + model),
                                    os.path.join(cls.root, model)) for model in MODELS}

    def test_vocal_takes_the_centre_and_instrument_the_sides(self):
        self.assertEqual(lib.snapshot(lib.app_path()), self.app_before)  # writes nothing beside itself
        for model in MODELS:
            with self.subTest(model=model):
                self.assertEqual(self.runs[model].returncode, 0, self.runs[model].stderr)
                out = os.path.join(self.root, model)
                self.assertEqual(sorted(os.listdir(out)),
                                 sorted("%s_%s_10.wav" % (kind, n) for kind in KINDS for n in self.names))
                self.assertEqual(os.listdir(os.path.join(self.root, "temp-" + model)), [])
                for name in self.names:
                    source, rate, width = lib.read_wav(os.path.join(self.segments, name))
                    parts = [lib.read_wav(os.path.join(out, "%s_%s_10.wav" % (kind, name))) for kind in KINDS]
                    for data, part_rate, part_width in parts:
                        self.assertEqual((data.shape, part_rate, part_width), (source.shape, rate, width))
                    # The two parts add up to the input.
                    self.assertLessEqual(np.abs(parts[0][0].astype(np.int64) + parts[1][0] - source).max(), 1)
                joined = {kind: lib.join_like_app([os.path.join(out, "%s_%s_10.wav" % (kind, n))
                                                   for n in self.names], self.root) / 32768.0 for kind in KINDS}
                vocal, instrument = sdr(self.centre, joined["vocal"]), sdr(self.sides, joined["instrument"])
                sys.stderr.write("%s: vocal SDR %.1f dB, instrument SDR %.1f dB (the mix itself: %.1f dB)\n"
                                 % (model, vocal, instrument, sdr(self.centre, self.centre + self.sides)))
                self.assertGreater(vocal, 12.0)
                self.assertGreater(instrument, 8.0)

    def test_progress_lines_in_numeric_order(self):
        lib.check_progress(self, self.source, lambda segments, out: separate(MODELS[0], segments, out + "-temp", out))


class SeparationFailureTest(lib.FailureTest, unittest.TestCase):
    OUTPUTS = ["temp", "vocail"]

    def attempt(self, model, segments):
        return separate(model, segments, os.path.join(self.root, "temp"), os.path.join(self.root, "vocail"))

    def test_failures(self):
        self.check_failures(MODELS[0], "HP4_nothing", b"\x00" * 64)


if __name__ == "__main__":
    unittest.main()
