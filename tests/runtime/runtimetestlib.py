"""Fixtures for the tests of the Python runtime layer.

The tests run the copies in the build's application directory
(QUILLVANE_APP_DIR), through its runtime/python.exe and with the application
directory as working directory, as the application does; segment folders are
cut with ffmpeg's segment muxer and joined with its concat demuxer exactly as
the application cuts and joins them.
"""

import hashlib
import json
import os
import re
import shutil
import subprocess
import tempfile
import wave

import numpy as np

RATE = 44100


def app_dir():
    path = os.environ.get("QUILLVANE_APP_DIR")
    if not path or not os.path.isdir(path):
        raise RuntimeError("QUILLVANE_APP_DIR must name the build's application directory")
    return path


def app_path(*parts):
    return os.path.join(app_dir(), *parts)


def run_ffmpeg(args):
    subprocess.run([app_path("ffmpeg"), "-hide_banner", "-nostdin", "-loglevel", "error"] + args,
                   check=True, timeout=120)


def make_lavfi(path, source, seconds):
    """A stereo 44100 Hz 16-bit WAV from an ffmpeg lavfi source."""
    run_ffmpeg(["-f", "lavfi", "-i", source, "-t", str(seconds), "-ac", "2", "-ar", str(RATE),
                "-acodec", "pcm_s16le", "-y", path])


def harmonic_source(f0, harmonics, amplitude=0.04, gate="1"):
    """An aevalsrc source: a pulse-like tone with equal harmonics, the same in both channels,
    multiplied by the expression gate (commas escaped for the filter graph)."""
    tone = "+".join("sin(2*PI*%g*t)" % (k * f0) for k in range(1, harmonics + 1))
    expr = "%g*(%s)*%s" % (amplitude, tone, gate)
    return "aevalsrc=%s|%s:s=%d" % (expr, expr, RATE)


def write_wav(path, data, rate=RATE):
    with wave.open(path, "wb") as w:
        w.setnchannels(data.shape[1])
        w.setsampwidth(2)
        w.setframerate(rate)
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
    listing = os.path.join(work, "join.txt")
    joined = os.path.join(work, "joined.wav")
    with open(listing, "w", encoding="utf-8") as f:
        for p in paths:
            f.write("file '%s' \n" % p)
    run_ffmpeg(["-f", "concat", "-safe", "0", "-i", listing, "-c", "copy", "-threads", "1", "-y", joined])
    data = read_wav(joined)[0]
    os.remove(listing)
    os.remove(joined)
    return data


def run_script(script, args):
    """Runs a runtime script as the application does."""
    return subprocess.run([app_path("runtime", "python.exe"), app_path(script)] + args, cwd=app_dir(),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, universal_newlines=True, timeout=180)


def profile(model_name):
    with open(app_path("runtime", "weights", model_name), encoding="utf-8") as f:
        return json.load(f)


def snapshot(root):
    """Every path below root, to see what a run wrote."""
    found = set()
    for base, dirs, files in os.walk(root):
        for name in dirs + files:
            found.add(os.path.relpath(os.path.join(base, name), root))
    return found


def fingerprint(folder):
    """Names and contents of a folder's files, to see that a run left its inputs alone."""
    result = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            result[name] = hashlib.sha1(f.read()).hexdigest()
    return result


def fundamental(signal, rate=RATE):
    """The fundamental frequency of a steady periodic signal, by autocorrelation.

    The first lag that comes within 10 % of the highest peak wins, so a
    multiple of the period never passes for the period.
    """
    x = signal - signal.mean()
    size = 1 << int(np.ceil(np.log2(2 * len(x))))
    corr = np.fft.irfft(np.abs(np.fft.rfft(x * np.hanning(len(x)), size)) ** 2, size)
    lo, hi = rate // 1000, rate // 50
    window = corr[lo:hi]
    first = lo + int(np.argmax(window >= 0.9 * window.max()))
    k = first
    while corr[k + 1] > corr[k]:
        k += 1
    a, b, c = corr[k - 1], corr[k], corr[k + 1]
    return rate / (k + 0.5 * (a - c) / (a - 2 * b + c))


def envelope_lag(reference, signal):
    """By how many samples the energy envelope of signal lags that of reference."""
    def envelope(x):
        return np.convolve(np.asarray(x, np.float64) ** 2, np.ones(256) / 256.0, "same")

    size = 1 << int(np.ceil(np.log2(len(reference) + len(signal))))
    corr = np.fft.irfft(np.fft.rfft(envelope(signal), size) * np.conj(np.fft.rfft(envelope(reference), size)), size)
    lag = int(np.argmax(corr))
    return lag - size if lag > size // 2 else lag


PERCENT = re.compile(r"(\d*\.\d+|\d+)%")


def progress_record(stdout):
    """The script's progress as the application reads it: per segment, the sum of
    the percentages printed before its success line, and the success lists."""
    sums, successes, current = [], [], 0.0
    for line in stdout.split("\n"):
        if "['segment" in line and "->Success" in line:
            successes.append(re.findall(r"'([^']*)'", line))
            sums.append(current)
            current = 0.0
        else:
            match = PERCENT.search(line)
            if match:
                current += float(match.group(1))
    return sums, successes, current


def sdr(reference, estimate):
    """Signal-to-distortion ratio in dB."""
    reference = np.asarray(reference, np.float64)
    error = reference - np.asarray(estimate, np.float64)
    return 10.0 * np.log10(np.sum(reference ** 2) / np.sum(error ** 2))


def assert_progress(test, stdout, names):
    """Success lines name all segments done so far, in order; each segment's percentages sum to 100."""
    sums, successes, rest = progress_record(stdout)
    test.assertEqual(successes, [names[:k + 1] for k in range(len(names))])
    for total in sums:
        test.assertAlmostEqual(total, 100.0)
    test.assertEqual(rest, 0.0)
    for line in stdout.split("\n"):
        test.assertFalse("->Success" in line and PERCENT.search(line), line)


def assert_clean_failure(test, result, root, before, folders):
    """A failed run: non-zero exit, one line on stderr, and at most the given folders left behind, empty."""
    test.assertNotEqual(result.returncode, 0)
    lines = result.stderr.strip().split("\n")
    test.assertEqual(len(lines), 1, result.stderr)
    test.assertIn("error", lines[0])
    after = snapshot(root)
    test.assertLessEqual(after - before, set(folders), "left behind: %s" % sorted(after - before))
    for folder in folders:
        path = os.path.join(root, folder)
        if os.path.isdir(path):
            test.assertEqual(os.listdir(path), [])


class FailureFixture:
    """Mixin for failure tests: three good segments in a fresh folder, and an
    application directory that no run may change."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory()
        self.root = self.tmp.name
        self.segments = os.path.join(self.root, "segments")
        os.makedirs(self.segments)
        tone = os.path.join(self.root, "tone.wav")
        make_lavfi(tone, harmonic_source(200.0, 4), 3)
        for n in range(3):
            shutil.copy(tone, os.path.join(self.segments, "segment%d.wav" % n))
        self.app_before = snapshot(app_dir())

    def tearDown(self):
        self.assertEqual(snapshot(app_dir()), self.app_before, "the application directory changed")
        self.tmp.cleanup()

    def truncate_segment(self, name):
        path = os.path.join(self.segments, name)
        with open(path, "r+b") as f:
            f.truncate(os.path.getsize(path) // 2)
