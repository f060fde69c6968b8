# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Voice changer: gives every segment of a folder the voice of a speaker profile.

The voice is moved by signal processing, aimed at the speaker's register
rather than by a fixed ratio: a first pass over the input tracks its pitch
(YIN on voiced frames) and keeps an excerpt of it; the pitch then moves by
the profile's median pitch over the input's, within about an octave each
way, so that every input lands near the speaker's voice. ffmpeg's Rubber
Band filter shifts the pitch with the formants kept in place, a resampling
step ahead of it moves the formants by the profile's own ratio, a few
filters give the speaker its colour, and a rasp may roughen it. The
output's loudness is brought to the input's: an input of up to a minute
is converted whole, measured and then written; a longer one streams
through with the gain its excerpt (30 pieces of 2 s) showed through the
same chain. All segments pass through one ffmpeg run as one stream, whose
output is cut back into pieces of the input lengths.

    infer_cli2.py --model_name lumoV1.pth --f0method harvest
                  --input_path <segments> --index_path " " --opt_path <out>
"""

import sys

sys.dont_write_bytecode = True  # the application directory is not ours to write

import json
import os
import subprocess
import threading

import numpy as np

import runtime_common as rc

PROG = "infer_cli2.py"
PROFILE_FORMAT = "quillvane-voice-profile"

# Silence ahead of the stream: room to drop the shifter's delay whatever its
# sign, and a settled shifter by the time the first real sample arrives.
LEAD_FRAMES = 16384
MAX_LAG = 8192
# The pitch moves by at most this ratio either way: about an octave.
MAX_SHIFT = 2.2
# Pitch analysis: YIN over 25 ms windows, pitches from 50 to 1000 Hz, at
# most this many frames spread over the input.
YIN_WINDOW_S, YIN_LOW_HZ, YIN_HIGH_HZ, YIN_THRESHOLD = 0.025, 50.0, 1000.0, 0.15
YIN_FRAMES = 4000
# The excerpt that shows the chain's effect on loudness: pieces spread over
# the input; an input no longer than it is taken whole.
EXCERPT_PIECES, EXCERPT_PIECE_S = 30, 2.0

# Colour filters of a profile: ffmpeg filter, then (profile key, ffmpeg option, lowest, highest).
COLOUR_FILTERS = {
    "highpass": ("highpass", [("frequency", "f", 10.0, 2000.0)]),
    "lowpass": ("lowpass", [("frequency", "f", 500.0, 20000.0)]),
    "lowshelf": ("lowshelf", [("frequency", "f", 20.0, 2000.0), ("gain_db", "g", -12.0, 12.0)]),
    "highshelf": ("highshelf", [("frequency", "f", 500.0, 16000.0), ("gain_db", "g", -12.0, 12.0)]),
    "peak": ("equalizer", [("frequency", "f", 50.0, 16000.0), ("q", "w", 0.1, 10.0),
                           ("gain_db", "g", -12.0, 12.0)]),
}
FIXED_OPTIONS = {"peak": ":t=q", "lowshelf": ":t=q:w=0.707", "highshelf": ":t=q:w=0.707"}
# The rasp of a rough voice: (profile key, lowest, highest).
RASP_KEYS = [("depth", 0.0, 0.8), ("low_hz", 30.0, 400.0), ("high_hz", 60.0, 1000.0)]


def number(value):
    # Enough digits that a tempo of 1 / formant ratio keeps long streams in step.
    return "%.10g" % value


class Profile:
    """A speaker, read from its profile file (the .pth of the model name).

    The file is JSON: "format" is "quillvane-voice-profile"; "speaker" the
    display name; the register: "median_pitch_hz" (60 to 500), where the
    voice's pitch lands, and "formant_ratio" (0.5 to 2), the shift of its
    formants; optional "colour", a list of filters from COLOUR_FILTERS, each
    {"type": ..., and its keys}, and "rasp" {"depth", "low_hz", "high_hz"}.
    Only checked numbers reach the ffmpeg filter graph.
    """

    def __init__(self, path):
        name = os.path.basename(path)
        try:
            with open(path, "r", encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError) as e:
            raise rc.RuntimeFailure("cannot read the model %s: %s" % (name, e))
        if not isinstance(data, dict) or data.get("format") != PROFILE_FORMAT:
            raise rc.RuntimeFailure("%s is not a voice profile" % name)
        self.speaker = str(data.get("speaker", name))
        self.median_pitch = self._number(data, "median_pitch_hz", 60.0, 500.0, name)
        self.formant = self._number(data, "formant_ratio", 0.5, 2.0, name)
        self.colour = [self._colour_filter(entry, name) for entry in data.get("colour", [])]
        self.rasp = None
        if "rasp" in data:
            entry = data["rasp"] if isinstance(data["rasp"], dict) else {}
            self.rasp = Rasp(*[self._number(entry, key, low, high, name) for key, low, high in RASP_KEYS])

    @staticmethod
    def _number(data, key, low, high, name, default=None):
        value = data.get(key, default)
        if isinstance(value, bool) or not isinstance(value, (int, float)) or not low <= value <= high:
            raise rc.RuntimeFailure("%s: %s must be a number from %g to %g" % (name, key, low, high))
        return float(value)

    @staticmethod
    def _colour_filter(entry, name):
        kind = entry.get("type") if isinstance(entry, dict) else None
        if kind not in COLOUR_FILTERS:
            raise rc.RuntimeFailure("%s: unknown colour filter %r" % (name, kind))
        ffname, options = COLOUR_FILTERS[kind]
        parts = ["%s=%s" % (opt, number(Profile._number(entry, key, low, high, name)))
                 for key, opt, low, high in options]
        return ffname + "=" + ":".join(parts) + FIXED_OPTIONS.get(kind, "")

    def pitch_ratio(self, measured):
        """The shift that takes a voice of median pitch `measured` to the speaker's, within MAX_SHIFT."""
        if not measured:
            return 1.0  # no voice heard: the pitch stays
        return float(np.clip(self.median_pitch / measured, 1.0 / MAX_SHIFT, MAX_SHIFT))

    def shifter_chain(self, rate, pitch):
        """Pitch by `pitch`, formants by the profile's ratio, duration unchanged.

        Playing the stream faster by the formant ratio moves everything by
        that ratio; the shifter then restores the duration and takes the
        pitch the rest of the way while it holds the moved formants.
        """
        shifter = "rubberband=pitch=%s:formant=preserved:channels=together"
        if abs(self.formant - 1.0) < 1e-3:
            return shifter % number(pitch)
        fast_rate = int(round(rate * self.formant))
        formant = fast_rate / rate
        return "asetrate=%d,aresample=%d,%s:tempo=%s" % (
            fast_rate, rate, shifter % number(pitch / formant), number(1.0 / formant))


def find_profile(model_name):
    """The profile file from its name alone, in the places the runtime ships it."""
    if not model_name.strip() or os.path.basename(model_name) != model_name:
        raise rc.RuntimeFailure("the model must be given by file name: %r" % model_name)
    names = [model_name] if model_name.endswith(".pth") else [model_name, model_name + ".pth"]
    base = rc.script_dir()
    for folder in (os.path.join(base, "runtime", "weights"), os.path.join(base, "weights"),
                   os.path.join(os.getcwd(), "runtime", "weights")):
        for name in names:
            path = os.path.join(folder, name)
            if os.path.isfile(path):
                return path
    raise rc.RuntimeFailure("unknown model: %s" % model_name)


def ffmpeg_command(ffmpeg, chain, rate, channels):
    """Raw float samples in through stdin and out through stdout."""
    raw = ["-f", "f32le", "-ar", str(rate), "-ac", str(channels)]
    return ([ffmpeg, "-hide_banner", "-nostats", "-loglevel", "error"] + raw + ["-i", "pipe:0", "-af", chain]
            + raw + ["pipe:1"])


def last_line(data):
    lines = data.decode("utf-8", "replace").strip().splitlines()
    return lines[-1] if lines else "no message"


def envelope(x):
    return np.convolve(x * x, np.ones(256) / 256.0, "same")


def run_chain(ffmpeg, chain, signal, rate):
    """The chain's output for a short signal (frames, channels), float32 of the same channel count."""
    channels = signal.shape[1]
    run = subprocess.run(ffmpeg_command(ffmpeg, chain, rate, channels), input=signal.astype("<f4").tobytes(),
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if run.returncode != 0:
        raise rc.RuntimeFailure("ffmpeg failed: %s" % last_line(run.stderr))
    data = np.frombuffer(run.stdout, "<f4")
    return data[:len(data) - len(data) % channels].reshape(-1, channels)


def measure_lag(ffmpeg, chain, rate, channels):
    """The shifter's delay in samples (negative when it runs early).

    ffmpeg compensates the Rubber Band delay only roughly, and by how much
    depends on the ratios; a few noise bursts through the same chain show
    it, and the stream is then read from that offset.
    """
    n = int(rate * 1.5)
    x = np.zeros(n)
    burst = int(0.03 * rate)
    rng = np.random.default_rng(7)
    for t in (0.25, 0.6, 0.95):
        start = int(t * rate)
        x[start:start + burst] = 0.3 * rng.standard_normal(burst)
    y = run_chain(ffmpeg, chain, np.repeat(x[:, None], channels, axis=1), rate)[:, 0].astype(np.float64)
    size = 1 << int(np.ceil(np.log2(2 * (max(n, len(y)) + MAX_LAG))))
    a = np.fft.rfft(envelope(x), size)
    b = np.fft.rfft(envelope(y), size) if len(y) else np.zeros_like(a)
    corr = np.fft.irfft(b * np.conj(a), size)
    lags = np.r_[np.arange(0, MAX_LAG + 1), np.arange(-MAX_LAG, 0)]
    return int(lags[np.argmax(np.r_[corr[:MAX_LAG + 1], corr[-MAX_LAG:]])])


def biquad(b, a, signal):
    """One second-order section applied to a short signal, by its difference equation."""
    x, y = np.r_[0.0, 0.0, signal].tolist(), [0.0] * (len(signal) + 2)  # two leading zeros stand for the past
    for n in range(2, len(y)):
        y[n] = b[0] * x[n] + b[1] * x[n - 1] + b[2] * x[n - 2] - a[1] * y[n - 1] - a[2] * y[n - 2]
    return np.array(y[2:])


def k_weighting(rate):
    """The loudness meters' K-weighting (a high shelf near 1.7 kHz, a high-pass near 38 Hz) as an impulse response."""
    impulse = np.zeros(1 << 13)
    impulse[0] = 1.0
    k = np.tan(np.pi * 1681.974450955533 / rate)
    q = 0.7071752369554196
    vh = 10.0 ** (3.999843853973347 / 20.0)
    vb = vh ** 0.4996667741545416
    a0 = 1.0 + k / q + k * k
    shelf = biquad([(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0],
                   [1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0], impulse)
    k = np.tan(np.pi * 38.13547087602444 / rate)
    q = 0.5003270373238773
    a0 = 1.0 + k / q + k * k
    return biquad([1.0, -2.0, 1.0], [1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0], shelf)


def loudness(signal, rate, response):
    """Integrated loudness in LUFS, None when nothing passes the gate; `response` is k_weighting(rate).

    K-weighted power of 400 ms blocks every 100 ms; blocks under -70 LUFS,
    and then those 10 LU under the rest, are left out.
    """
    size = 1 << int(np.ceil(np.log2(len(signal) + len(response))))
    spectrum = np.fft.rfft(np.asarray(signal, np.float64), size, axis=0) * np.fft.rfft(response, size)[:, None]
    power = np.sum(np.fft.irfft(spectrum, size, axis=0)[:len(signal)] ** 2, axis=1)
    step = max(1, rate // 10)
    steps = power[:len(power) // step * step].reshape(-1, step).mean(axis=1)
    blocks = np.convolve(steps, np.ones(4) / 4.0, "valid") if len(steps) >= 4 else np.array([power.mean()])
    level = lambda z: -0.691 + 10.0 * np.log10(np.maximum(z, 1e-30))
    blocks = blocks[level(blocks) > -70.0]
    if not len(blocks):
        return None
    blocks = blocks[level(blocks) > level(blocks.mean()) - 10.0]
    return float(level(blocks.mean()))


def yin_pitch(frames, rate):
    """(pitch in Hz, voiced) of each row of `frames`, twice the window long, by the YIN difference function."""
    window = frames.shape[1] // 2
    low, high = int(rate / YIN_HIGH_HZ), min(window - 1, int(np.ceil(rate / YIN_LOW_HZ)))
    size = 1 << int(np.ceil(np.log2(2 * frames.shape[1])))
    head = np.fft.rfft(frames[:, :window], size)
    whole = np.fft.rfft(frames, size)
    cross = np.fft.irfft(np.conj(head) * whole, size)[:, :high + 2]
    energy = np.cumsum(frames ** 2, axis=1)
    first = energy[:, window - 1]
    lags = np.arange(high + 2)
    shifted = energy[:, lags + window - 1] - np.c_[np.zeros(len(frames)), energy[:, lags[1:] - 1]]
    diff = np.maximum(first[:, None] + shifted - 2.0 * cross, 0.0)
    diff[:, 0] = 0.0
    # Cumulative mean normalised: 1 on average, dips towards 0 at the period.
    norm = diff[:, 1:] * np.arange(1, high + 2) / np.maximum(np.cumsum(diff[:, 1:], axis=1), 1e-20)
    norm = np.c_[np.ones(len(frames)), norm]
    # The first dip under the threshold, unless a later one is much deeper:
    # half the period can dip too when the second harmonic is strong.
    part = norm[:, low - 1:high + 2]
    dips = (part[:, 1:-1] <= part[:, :-2]) & (part[:, 1:-1] <= part[:, 2:])
    deepest = part[:, 1:-1].min(axis=1, keepdims=True)
    chosen = dips & (part[:, 1:-1] < YIN_THRESHOLD) & (part[:, 1:-1] <= 2.0 * deepest + 0.02)
    voiced = chosen.any(axis=1)
    lag = low + np.argmax(chosen, axis=1)
    rows = np.arange(len(frames))
    a, b, c = norm[rows, lag - 1], norm[rows, lag], norm[rows, np.minimum(lag + 1, high + 1)]
    curve = a - 2 * b + c
    shift = np.where(curve > 0, 0.5 * (a - c) / np.where(curve > 0, curve, 1.0), 0.0)
    return rate / (lag + np.clip(shift, -1.0, 1.0)), voiced


class Analysis:
    """The input's median pitch over its voiced frames and an excerpt of it, from one pass over the segments."""

    def __init__(self, segments):
        self.rate = segments[0].rate
        total = sum(seg.frames for seg in segments)
        self.window = int(YIN_WINDOW_S * self.rate)
        self.hop = max(self.window // 2, total // YIN_FRAMES)
        self.pitches, self.levels = [], []
        # Excerpt pieces at evenly spread stream positions, in stream order.
        piece = int(EXCERPT_PIECE_S * self.rate)
        self.whole = total <= EXCERPT_PIECES * piece
        if self.whole:
            self.wanted = [(0, total)]
        else:
            self.wanted = [(int(k * (total - piece) / (EXCERPT_PIECES - 1)), piece) for k in range(EXCERPT_PIECES)]
        self.pieces = []
        self.carry = np.zeros(0)  # the stream's last samples, for frames across a segment boundary
        start = 0
        for seg in segments:
            data = seg.read()
            self._segment(data, start)
            start += len(data)
        voiced = [p for p, level in zip(self.pitches, self.levels) if p is not None]
        loud = np.array([level for p, level in zip(self.pitches, self.levels) if p is not None])
        # Voiced frames within 30 dB of the loudest: quiet noise does not vote.
        keep = [p for p, level in zip(voiced, loud) if level > loud.max() - 3.0] if len(loud) else []
        self.median_pitch = float(np.median(keep)) if len(keep) >= 5 else None

    def _segment(self, data, start):
        length = 2 * self.window
        mono = np.r_[self.carry, data.astype(np.float64).mean(axis=1)]
        base = start - len(self.carry)  # stream position of mono[0]
        # Frames on the stream's grid, whole in what is known so far, not taken before.
        first = max(-(-base // self.hop), -(-(start - length + 1) // self.hop)) * self.hop
        positions = np.arange(first, base + len(mono) - length + 1, self.hop) - base
        if len(positions):
            frames = mono[positions[:, None] + np.arange(length)]
            pitch, voiced = yin_pitch(frames, self.rate)
            level = np.log10(np.mean(frames ** 2, axis=1) + 1e-20)
            self.pitches += [p if v else None for p, v in zip(pitch, voiced)]
            self.levels += list(level)
        self.carry = mono[-(length - 1):] if length > 1 else mono[:0]
        for at, size in self.wanted:
            lo, hi = max(at, start), min(at + size, start + len(data))
            if hi > lo:
                self.pieces.append(data[lo - start:hi - start])

    def excerpt(self):
        return np.concatenate(self.pieces) if self.pieces else np.zeros((0, 1), np.float32)


class Rasp:
    """A rough voice: the sound's level wavers at random, at rates heard as roughness, none slow enough
    to be heard as a flutter. The wavering is band-limited noise, made in overlapping blocks so that
    every stream position has its own value whatever the reads' sizes."""

    BLOCK = 1 << 15

    def __init__(self, depth, low_hz, high_hz):
        self.depth, self.low_hz, self.high_hz = depth, low_hz, max(high_hz, low_hz + 10.0)
        self.rate = None
        self.made = {}  # the blocks the last reads used: reads are smaller than a block

    def _noise(self, index):
        if index not in self.made:
            self.made = {k: v for k, v in self.made.items() if k >= index - 2}
            self.made[index] = self._make(index)
        return self.made[index]

    def _make(self, index):
        rng = np.random.default_rng([19, index + 1])  # seeds are not negative; block -1 starts the stream
        size = 2 * self.BLOCK
        spectrum = np.fft.rfft(rng.standard_normal(size))
        f = np.fft.rfftfreq(size, 1.0 / self.rate)
        spectrum[(f < self.low_hz) | (f > self.high_hz)] = 0.0
        noise = np.fft.irfft(spectrum, size)
        noise /= max(np.sqrt(np.mean(noise ** 2)), 1e-12)
        # Sine windows half a block apart: their squares add up to one, so the
        # wavering keeps its strength across the joins.
        return noise * np.sin(np.pi * (np.arange(size) + 0.5) / size)

    def apply(self, block, start, rate):
        self.rate = rate
        n = len(block)
        wave = np.zeros(n)
        for index in range(start // self.BLOCK - 1, (start + n) // self.BLOCK + 1):
            lo = index * self.BLOCK
            a, b = max(lo, start), min(lo + 2 * self.BLOCK, start + n)
            if b > a:
                wave[a - start:b - start] += self._noise(index)[a - lo:b - lo]
        gain = np.clip(1.0 + self.depth * wave, 0.0, 2.0)
        return (block * gain[:, None]).astype(np.float32)


def soft_limit(x):
    """Rounds peaks off above 0.9 of full scale instead of clipping them hard; sample by sample, so seamless."""
    over = np.abs(x) > 0.9
    if over.any():
        x = x.copy()
        a = np.abs(x[over])
        x[over] = np.sign(x[over]) * (0.9 + 0.1 * np.tanh((a - 0.9) / 0.1))
    return x


def level_gain(reference, output, rate):
    """The gain that gives `output` the loudness of `reference`; 1 where either is silent."""
    response = k_weighting(rate)
    levels = [loudness(reference, rate, response), loudness(output, rate, response)]
    if None in levels:
        return 1.0
    return 10.0 ** ((levels[0] - levels[1]) / 20.0)


def excerpt_gain(ffmpeg, chain, lag, excerpt, rate, finish):
    """The gain that gives the chain's output (after `finish`) the loudness of its input, from the excerpt."""
    if not len(excerpt):
        return 1.0
    channels = excerpt.shape[1]
    padded = np.concatenate([np.zeros((LEAD_FRAMES, channels)), excerpt,
                             np.zeros((max(lag, 0) + rate // 2, channels))])
    out = run_chain(ffmpeg, chain, padded, rate)[LEAD_FRAMES + lag:][:len(excerpt)]
    return level_gain(excerpt, finish(out, 0), rate)


class Held:
    """Takes the sink's place for an input short enough to hold: keeps the converted stream whole."""

    def __init__(self, frames, channels):
        self.frames, self.blocks = frames, [np.zeros((0, channels), np.float32)]

    @property
    def complete(self):
        return sum(len(b) for b in self.blocks) >= self.frames

    def push(self, blocks):
        self.blocks.append(blocks[0])

    def samples(self):
        return np.concatenate(self.blocks)[:self.frames]


def convert_stream(ffmpeg, chain, lag, segments, sink, finish):
    """Streams the segments through the chain; finish(block, stream position) shapes each output block."""
    rate, channels = segments[0].rate, segments[0].channels
    tail = LEAD_FRAMES + max(lag, 0) + rate // 2
    proc = subprocess.Popen(ffmpeg_command(ffmpeg, chain, rate, channels), stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    errors = []
    stderr = []

    def feed():
        try:
            proc.stdin.write(np.zeros((LEAD_FRAMES, channels), "<f4").tobytes())
            for seg in segments:
                proc.stdin.write(seg.read().astype("<f4").tobytes())
            proc.stdin.write(np.zeros((tail, channels), "<f4").tobytes())
        except BrokenPipeError:
            pass  # ffmpeg ended early; its exit status tells why
        except Exception as e:  # handed to the main thread
            errors.append(e)
        finally:
            try:
                proc.stdin.close()
            except OSError:
                pass

    def drain():
        stderr.append(proc.stderr.read())

    threads = [threading.Thread(target=feed, daemon=True), threading.Thread(target=drain, daemon=True)]
    for t in threads:
        t.start()
    frame_bytes = 4 * channels
    skip = LEAD_FRAMES + lag
    produced = 0
    rest = b""
    try:
        while True:
            chunk = proc.stdout.read(1 << 16)
            if not chunk:
                break
            chunk = rest + chunk
            usable = len(chunk) - len(chunk) % frame_bytes
            rest = chunk[usable:]
            block = np.frombuffer(chunk[:usable], "<f4").reshape(-1, channels)
            if skip > 0:
                dropped = min(skip, len(block))
                block = block[dropped:]
                skip -= dropped
            if len(block) and not sink.complete:
                sink.push([finish(block, produced)])
                produced += len(block)
        proc.wait()
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        for t in threads:
            t.join()
    if errors:
        raise errors[0]
    if proc.returncode != 0:
        raise rc.RuntimeFailure("ffmpeg failed: %s" % last_line(b"".join(stderr)))


def main():
    parser = rc.make_parser(PROG, "Give every WAV segment of a folder the voice of a speaker profile.")
    parser.add_argument("--model_name", required=True, help="profile file name, e.g. lumoV1.pth")
    parser.add_argument("--f0method", default="harvest",
                        help="accepted for compatibility; the pitch is always tracked by YIN")
    parser.add_argument("--input_path", required=True, help="folder of segment0.wav, segment1.wav, ...")
    parser.add_argument("--index_path", default=" ", help="accepted for compatibility; no index is used")
    parser.add_argument("--opt_path", required=True, help="output folder, the same file names")
    args = parser.parse_args()

    profile = Profile(find_profile(args.model_name))
    segments = rc.scan_segments(args.input_path)
    out = rc.prepare_output_folder(args.opt_path, args.input_path)
    ffmpeg = rc.find_ffmpeg()
    rate, channels = segments[0].rate, segments[0].channels
    analysis = Analysis(segments)
    pitch = profile.pitch_ratio(analysis.median_pitch)
    shifter = profile.shifter_chain(rate, pitch)
    chain = ",".join([shifter] + profile.colour)
    lag = measure_lag(ffmpeg, shifter, rate, channels)
    rasp = profile.rasp.apply if profile.rasp else (lambda block, start, rate: block)
    shape = lambda block, start: rasp(block, start, rate)

    def report(gain):
        heard = "%.1f Hz" % analysis.median_pitch if analysis.median_pitch else "no voice"
        rc.emit("voice %s: input %s, target %.1f Hz, pitch x%s, formants x%s, gain %+.1f dB, %d segments"
                % (profile.speaker, heard, profile.median_pitch, number(pitch), number(profile.formant),
                   20.0 * np.log10(gain), len(segments)))

    with rc.SegmentSink(segments, [(out, lambda name: name)], out) as sink:
        if analysis.whole:
            # Converted once and measured whole, then written.
            held = Held(sum(seg.frames for seg in segments), channels)
            convert_stream(ffmpeg, chain, lag, segments, held, shape)
            converted = held.samples()
            gain = level_gain(analysis.excerpt(), converted, rate)
            report(gain)
            sink.push([soft_limit(gain * converted)])
        else:
            gain = excerpt_gain(ffmpeg, chain, lag, analysis.excerpt(), rate, shape)
            report(gain)
            convert_stream(ffmpeg, chain, lag, segments, sink, lambda block, start: soft_limit(gain * shape(block, start)))
        sink.finish()


if __name__ == "__main__":
    sys.exit(rc.run_main(PROG, main))
