# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Voice separation: splits every segment of a folder into vocal and instrument parts.

Several cues that a voice has and an accompaniment lacks decide, bin by bin
of a short-time Fourier transform, how much of the sound is voice:

- position: a lead voice sits in the middle. From the channels' own and
  shared powers, two-channel Wiener weights estimate the centre (as the
  cleaner channel where one side is loud); a source panned partly to one
  side is shared too, but unevenly, and is taken out of the centre's power.
- band: below about 120 Hz lies accompaniment, unless it is the voice's
  own pitch; above 12 kHz too.
- harmonics: the centre's predominant pitch is tracked frame by frame
  (harmonic salience, smoothed by a Viterbi path); at the voice's harmonics
  the power between them stands for the accompaniment beneath, and the
  rest is voice; between the harmonics all is accompaniment.
- percussion: what is broad in frequency and short in time (a morphological
  harmonic/percussive split) belongs to the instruments, except on the
  voice's own harmonics.
- repetition: the bar-long patterns of a song repeat; what all repeats one
  and two periods away share is accompaniment.
- how much the centre holds besides the voice: where these cues find
  little to take away over a few seconds (a clean centre, as with
  accompaniment panned hard to the sides), they are eased off, so that they
  do not cost the voice what they would gain.

All cues are soft masks on the centre estimate; the vocal is the masked
centre in both channels and the instrument is the input less the vocal, so
the two always add up to the input. Mono input works on the cues other
than position. A model name selects how strictly the voice must sit in the
middle, the band, and an optional late-echo suppression.

All segments pass through the transform as one stream, which is cut back
into pieces of the input lengths.

    uvr5_cli.py --model_name HP5_only_main_vocal --input_path <segments>
                --temp_path <scratch> --out_path <out>
"""

import sys

sys.dont_write_bytecode = True  # the application directory is not ours to write

from collections import namedtuple

import numpy as np

import runtime_common as rc

PROG = "uvr5_cli.py"

# uneven: take sources panned partly to one side out of the centre;
# low_hz, high_hz: the voice band; echo: None, or the late-echo suppression.
Model = namedtuple("Model", "uneven low_hz high_hz echo")
# decay_s: assumed decay time to -60 dB; delay_s: how far back the echo
# source is looked for; strength: over-subtraction; floor: least gain left.
Echo = namedtuple("Echo", "decay_s delay_s strength floor")

MODELS = {
    # The lead voice only: backing voices a little off-centre stay with the instruments.
    "HP5_only_main_vocal": Model(True, 120.0, 12000.0, None),
    # Every voice wherever it is panned, in a wider band.
    "HP3_all_vocals": Model(False, 100.0, 14000.0, None),
    # The voice without its echo: what rings on after the voice moves on goes to the instruments.
    "VR-DeEchoAggressive": Model(True, 120.0, 12000.0, Echo(0.4, 0.09, 3.0, 0.05)),
}

# Input is taken in pieces of at most this many frames, to bound memory on long inputs.
FEED_FRAMES = 1 << 17

# Times in seconds; the separator turns them into frames of its own rate.
CHUNK_S = 12.0  # frames decided together
CENTRE_RADIUS_S = 0.09  # smoothing of the channel powers
EASE_RADIUS_S = 2.0  # how far the cues' yield is averaged
MARGIN_S = 2.5  # context on each side of a chunk, beyond the ease radius
PERIOD_S = (1.0, 8.0)  # repetition periods looked for
# Yield of the cues (share of the centre's in-band power they take away)
# below which they rest and above which they act in full.
EASE_FROM, EASE_TO = 0.1, 0.2
# Pitch tracking: candidates from F0_LOW to F0_HIGH in steps of 1/120
# octave, harmonics up to SALIENCE_TOP_HZ.
F0_LOW, F0_HIGH, F0_STEPS_PER_OCTAVE = 100.0, 1000.0, 120
SALIENCE_TOP_HZ = 5000.0
# Viterbi path: from frame to frame the pitch moves at most JUMP candidate
# steps, at a cost growing with the square of the step.
STEP_COST, JUMP = 0.002, 12
# Voicing from the path's salience, soft between these two values.
VOICED = (0.375, 0.525)
# Gaussian widths of the harmonic comb, in bins: the voice's lobes, and the
# wider zone kept out of the estimate of what lies between them.
LOBE_BINS, CLEAR_BINS = 2.0, 3.0
OPENING_RADIUS = 4  # frames and bins of the harmonic/percussive split
UNVOICED_KEEP = 0.5  # share of the centre kept where no voice pitch is heard


def find_model(name):
    key = name[:-4] if name.endswith(".pth") else name
    if key not in MODELS:
        raise rc.RuntimeFailure("unknown model: %s (known: %s)" % (name, ", ".join(sorted(MODELS))))
    return MODELS[key]


def smooth(data, radius, axis, weights):
    """Weighted moving average along an axis; at the ends only the values present count."""
    if radius == 0:
        return data
    data = np.moveaxis(data, axis, 0)
    total = np.zeros_like(data)
    norm = np.zeros(data.shape[0], data.dtype)
    n = data.shape[0]
    for k in range(-min(radius, n - 1), min(radius, n - 1) + 1):
        w = weights[k + radius]
        lo, hi = max(0, -k), min(n, n - k)
        total[lo:hi] += w * data[lo + k:hi + k]
        norm[lo:hi] += w
    shape = (n,) + (1,) * (data.ndim - 1)
    return np.moveaxis(total / norm.reshape(shape), 0, axis)


def triangle(radius):
    return np.array([radius + 1.0 - abs(k) for k in range(-radius, radius + 1)])


def box_mean(data, radius):
    """Mean over +-radius along the last axis, of the values present."""
    c = np.cumsum(np.pad(data, [(0, 0)] * (data.ndim - 1) + [(1, 0)]), axis=-1)
    n = data.shape[-1]
    hi = np.minimum(np.arange(n) + radius + 1, n)
    lo = np.maximum(np.arange(n) - radius, 0)
    return (c[..., hi] - c[..., lo]) / (hi - lo).astype(data.dtype)


def running(data, radius, axis, op):
    """Running minimum or maximum (op) over +-radius along an axis."""
    data = np.moveaxis(data, axis, 0)
    out = data.copy()
    n = len(data)
    for k in range(1, min(radius, n - 1) + 1):
        op(out[k:], data[:n - k], out=out[k:])
        op(out[:n - k], data[k:], out=out[:n - k])
    return np.moveaxis(out, 0, axis)


def opening(data, radius, axis):
    """What is at least 2 radius + 1 wide along the axis: peaks narrower are cut to their surroundings."""
    return running(running(data, radius, axis, np.minimum), radius, axis, np.maximum)


def median_floor(data, radius):
    """Running median over +-radius along the last axis, the ends repeated; in blocks of rows, to bound memory."""
    padded = np.pad(data, [(0, 0), (radius, radius)], mode="edge")
    out = np.empty_like(data)
    for row in range(0, len(data), 256):
        view = np.lib.stride_tricks.sliding_window_view(padded[row:row + 256], 2 * radius + 1, axis=1)
        out[row:row + 256] = np.median(view, axis=-1)
    return out


def fft_size(rate):
    """About 46 ms: harmonics of a low voice stay apart, vibrato stays sharp."""
    return max(256, 1 << int(round(np.log2(0.0464 * rate))))


class PitchTracker:
    """The predominant pitch of each frame: harmonic salience and a Viterbi path through it."""

    def __init__(self, rate, size):
        self.candidates = F0_LOW * 2.0 ** (np.arange(int(np.log2(F0_HIGH / F0_LOW) * F0_STEPS_PER_OCTAVE))
                                          / F0_STEPS_PER_OCTAVE)
        self.bins = min(size // 2 + 1, int(SALIENCE_TOP_HZ * size / rate) + 2)
        self.weights = self._weights(rate, size)
        freqs = np.arange(self.bins) * rate / size
        # The bass's harmonics would win over the voice's: below 300 Hz a bin counts less.
        self.emphasis = np.clip((freqs - 100.0) / 200.0, 0.0, 1.0)
        self.floor_radius = max(2, int(round(215.0 * size / rate)))
        steps = np.arange(-JUMP, JUMP + 1)
        self.step_cost = STEP_COST * steps ** 2

    def _weights(self, rate, size):
        """Each candidate sums its first 20 harmonics, their weights falling by 0.85 a harmonic."""
        w = np.zeros((len(self.candidates), self.bins))
        for i, f0 in enumerate(self.candidates):
            for k in range(1, 21):
                if k * f0 > SALIENCE_TOP_HZ:
                    break
                b = k * f0 * size / rate
                lo = int(b)
                for bb, frac in ((lo, 1.0 - (b - lo)), (lo + 1, b - lo)):
                    if bb < self.bins:
                        w[i, bb] += 0.85 ** (k - 1) * frac
        return w.T.astype(np.float32)

    def track(self, magnitude):
        """(f0 in Hz, salience of the path) per frame."""
        comp = np.sqrt(magnitude[:, :self.bins])
        comp = np.maximum(comp - median_floor(comp, self.floor_radius), 0.0) * self.emphasis
        score = comp @ self.weights
        score /= np.sqrt(np.sum(comp ** 2, axis=1))[:, None] + 1e-9
        path = self._viterbi(score)
        t = np.arange(len(score))
        # Between candidates by a parabola through the path's neighbours.
        i = np.clip(path, 1, score.shape[1] - 2)
        a, b, c = score[t, i - 1], score[t, i], score[t, i + 1]
        curve = a - 2 * b + c
        delta = np.where(curve < 0, 0.5 * (a - c) / np.where(curve < 0, curve, -1.0), 0.0)
        f0 = F0_LOW * 2.0 ** ((i + np.clip(delta, -1.0, 1.0)) / F0_STEPS_PER_OCTAVE)
        return f0, score[t, path]

    def _viterbi(self, score):
        frames, count = score.shape
        if frames == 0:
            return np.zeros(0, int)
        back = np.zeros((frames, count), np.int32)
        total = score[0].astype(np.float64)
        index = np.arange(count)
        wall = np.full(JUMP, -1e9)
        for t in range(1, frames):
            window = np.lib.stride_tricks.sliding_window_view(np.concatenate([wall, total, wall]), 2 * JUMP + 1)
            step = np.argmax(window - self.step_cost, axis=1)
            back[t] = index + step - JUMP
            total = window[index, step] - self.step_cost[step] + score[t]
        path = np.zeros(frames, int)
        path[-1] = int(np.argmax(total))
        for t in range(frames - 1, 0, -1):
            path[t - 1] = back[t, path[t]]
        return path


class Separator:
    """Streaming separation: takes input blocks, gives back (instrument, vocal) blocks.

    Frames are transformed as input arrives and their centre estimate is
    kept; every CHUNK frames are decided together, once enough frames after
    them are known (for the repetition cue, two periods' worth), from a
    window of context around them. Every result depends only on the stream
    and the frame position, never on how the input is cut into blocks, so
    the segment boundaries leave no trace. Output lags the input by the
    frames it still needs as context.
    """

    def __init__(self, model, rate, channels):
        self.model = model
        self.rate = rate
        self.channels = channels
        self.size = fft_size(rate)
        self.hop = self.size // 4
        self.bins = self.size // 2 + 1
        self.window = (0.5 - 0.5 * np.cos(2 * np.pi * np.arange(self.size) / self.size)).astype(np.float32)
        # Hann analysis and synthesis at a quarter hop sum to 1.5 everywhere.
        self.synthesis = self.window / 1.5
        frames = lambda seconds: max(1, int(round(seconds * rate / self.hop)))
        self.centre_radius = frames(CENTRE_RADIUS_S)
        self.chunk = frames(CHUNK_S)
        self.ease_radius = frames(EASE_RADIUS_S)
        self.margin = self.ease_radius + frames(MARGIN_S - EASE_RADIUS_S)
        self.periods = (frames(PERIOD_S[0]), frames(PERIOD_S[1]))
        # Frames needed after a chunk before it can be decided, and kept before it.
        self.ahead = self.margin + 2 * self.periods[1]
        freqs = np.arange(self.bins) * rate / self.size
        self.freqs = freqs.astype(np.float32)
        self.top = int(np.searchsorted(freqs, model.high_hz))  # bins at and above are never voice
        self.repeat_bins = int(np.searchsorted(freqs, 5000.0))
        self.tracker = PitchTracker(rate, self.size)
        if model.echo:
            self.echo_delay = frames(model.echo.delay_s)
            # Power decay of late echo over the delay, for a decay time to -60 dB of decay_s.
            self.echo_factor = model.echo.strength * np.exp(
                -13.8 * self.echo_delay * self.hop / rate / model.echo.decay_s)

        self.lead = self.size - self.hop  # silence ahead, so the first sample gets full overlap
        self.input = np.zeros((self.lead, channels), np.float32)  # padded stream from padded position input_start
        self.input_start = 0
        self.fed = 0  # input frames received
        self.next_frame = 0  # next frame to transform; frame m covers padded positions m * hop + [0, size)
        self.pending = []  # (frame index, left, right, powers) of transformed frames awaiting their centre
        self.next_centre = 0  # next frame whose centre estimate is due
        self.store = []  # (first frame, centre spectra, repetition magnitudes) in frame order
        self.next_chunk = 0  # first frame of the next chunk to decide
        self.output = np.zeros(0, np.float32)  # vocal overlap-add, from padded position output_start
        self.output_start = 0

    # ------------------------------------------------------------ stream

    def feed(self, block):
        self.input = np.concatenate([self.input, np.asarray(block, np.float32)])
        self.fed += len(block)
        return self._run(final=False)

    def finish(self):
        self.input = np.concatenate([self.input, np.zeros((self.size, self.channels), np.float32)])
        return self._run(final=True)

    def _run(self, final):
        self._transform()
        self._centre(final)
        while self.next_chunk < self.next_centre:
            stop = self.next_chunk + self.chunk
            if not final and self.next_centre < stop + self.ahead:
                break
            self._decide(self.next_chunk, min(stop, self.next_centre))
        return self._emit()

    def _transform(self):
        stop = self.input_start + len(self.input)
        count = (stop - self.size - self.next_frame * self.hop) // self.hop + 1
        if count <= 0:
            return
        offset = self.next_frame * self.hop - self.input_start
        view = np.lib.stride_tricks.sliding_window_view(self.input[offset:], self.size, axis=0)[::self.hop][:count]
        # Bins at and above the band's top are never voice: only the band is kept.
        spectra = np.fft.rfft(view * self.window, axis=-1)[..., :self.top].astype(np.complex64)
        left = spectra[:, 0]
        right = spectra[:, 1] if self.channels > 1 else left
        # Own powers of both channels and the shared power Re(L R*).
        powers = np.stack([np.abs(left) ** 2, np.abs(right) ** 2, np.real(left * np.conj(right))], axis=1)
        self.pending.append((self.next_frame, left, right, powers))
        self.next_frame += count

    def _centre(self, final):
        """Centre estimates of the frames whose smoothing context is complete."""
        if not self.pending:
            return
        first = self.pending[0][0]
        left = np.concatenate([p[1] for p in self.pending])
        right = np.concatenate([p[2] for p in self.pending])
        powers = np.concatenate([p[3] for p in self.pending])
        radius = self.centre_radius
        ready = self.next_frame if final else self.next_frame - radius
        if ready <= self.next_centre:
            return
        # The smoothing reaches `radius` frames either way; frames outside the
        # stream do not count, and the context frames are trimmed off after.
        lo, hi = self.next_centre - first, ready - first
        stats = smooth(powers[max(0, lo - radius):hi + radius], radius, 0, triangle(radius).astype(np.float32))
        stats = stats[lo - max(0, lo - radius):][:hi - lo]
        centre = self._centre_estimate(left[lo:hi], right[lo:hi], stats)
        mid = np.abs(0.5 * (left[lo:hi, :self.repeat_bins] + right[lo:hi, :self.repeat_bins]))
        self.store.append((self.next_centre, centre, np.sqrt(mid)))
        self.next_centre = ready
        keep = ready - radius - first
        if keep > 0:
            self.pending = [(first + keep, left[keep:], right[keep:], powers[keep:])]

    def _centre_estimate(self, left, right, stats):
        """Two-channel Wiener weights for the centre C in L = C + A, R = C + B.

        With the shared power Pc and the side powers Pa, Pb, the best linear
        estimate is (Pc Pb L + Pc Pa R) / (Pc (Pa + Pb) + Pa Pb): with equal
        sides it is the Wiener-masked mid, and where one side is silent it
        takes that clean channel whole, which a mid mask cannot.
        """
        own_left, own_right = stats[:, 0], stats[:, 1]
        shared = np.maximum(stats[:, 2], 0.0)
        if self.model.uneven:
            shared = self._without_uneven(own_left, own_right, shared)
        floor = 1e-3 * (own_left + own_right) + 1e-12  # keeps pure centre, Pa = Pb = 0, at the mid
        side_left = np.maximum(own_left - shared, 0.0) + floor
        side_right = np.maximum(own_right - shared, 0.0) + floor
        det = shared * (side_left + side_right) + side_left * side_right
        centre = (shared * side_right / det) * left + (shared * side_left / det) * right
        return centre.astype(np.complex64)

    @staticmethod
    def _without_uneven(own_left, own_right, shared):
        """The shared power less that of a source panned partly to one side.

        With the centre Pv and one source of gains a > b and power Pp,
        x = own_left - shared = Pp a (a - b) and y = own_right - shared =
        -Pp b (a - b) (or the mirror), and the centre's power is
        shared + x y / (x + y). Near the middle, where x + y is small beside
        |x - y|, the estimate is noise and is phased out.
        """
        x, y = own_left - shared, own_right - shared
        uneven = (x < 0) | (y < 0)
        correction = np.where(uneven, x * y / np.maximum(x + y, 1e-12), 0.0)
        spread = (x + y) / np.maximum(np.abs(x - y), 1e-12)
        correction *= np.clip((spread - 0.05) / 0.1, 0.0, 1.0)
        return np.maximum(shared + np.minimum(correction, 0.0), 0.0)

    def _frames(self, first, stop):
        """(centre spectra, repetition magnitudes) of frames [first, stop) from the store."""
        parts = [(start, c, m) for start, c, m in self.store if start < stop and start + len(c) > first]
        centre = np.concatenate([c[max(0, first - start):stop - start] for start, c, m in parts])
        mags = np.concatenate([m[max(0, first - start):stop - start] for start, c, m in parts])
        return centre, mags

    # ------------------------------------------------------------ decision

    def _decide(self, first, stop):
        """Vocal spectra of frames [first, stop), from the cues over their context."""
        wide_lo = max(0, first - self.margin - 2 * self.periods[1])
        wide_hi = min(self.next_centre, stop + self.ahead)
        centre, mags = self._frames(wide_lo, wide_hi)
        lo = max(wide_lo, first - self.margin) - wide_lo
        hi = min(wide_hi, stop + self.margin) - wide_lo
        band_centre = centre[lo:hi]
        magnitude = np.abs(band_centre)
        power = magnitude ** 2

        f0, salience = self.tracker.track(magnitude)
        voiced = np.clip((salience - VOICED[0]) / (VOICED[1] - VOICED[0]), 0.0, 1.0)[:, None]
        band = self._band(f0)
        harmonic = self._harmonic_mask(f0, power)
        lobes = self._comb(f0, LOBE_BINS)
        # Percussion: broad in frequency, short in time; the voice's own harmonics are spared.
        steady = opening(magnitude, OPENING_RADIUS, 0)
        broad = opening(magnitude, OPENING_RADIUS, 1)
        percussive = broad ** 2 / (broad ** 2 + steady ** 2 + 1e-20)
        cues = (1.0 - percussive * (1.0 - voiced * lobes)) * (voiced * harmonic + (1.0 - voiced) * UNVOICED_KEEP)
        cues *= self._repetition_mask(centre, mags, lo, hi, magnitude, power)

        # Eased off where over a few seconds the cues find little to take away.
        in_band = power * band
        taken = box_mean(np.sum((1.0 - cues) * in_band, axis=1), self.ease_radius)
        whole = box_mean(np.sum(in_band, axis=1), self.ease_radius) + 1e-20
        strength = np.clip((taken / whole - EASE_FROM) / (EASE_TO - EASE_FROM), 0.0, 1.0)[:, None]
        mask = band * (1.0 - strength * (1.0 - cues))
        if self.model.echo:
            mask *= self._echo_mask(centre, lo, hi, power)

        a, b = first - wide_lo - lo, stop - wide_lo - lo
        self._synthesise(first, mask[a:b] * band_centre[a:b])
        self.next_chunk = stop
        # The store keeps what later chunks reach back to.
        keep_from = stop - self.margin - 2 * self.periods[1]
        self.store = [(s, c, m) for s, c, m in self.store if s + len(c) > keep_from]

    def _band(self, f0):
        """0 below the cut (lowered to just under a lower voice's pitch), rising to 1 over 20 Hz."""
        cut = np.minimum(self.model.low_hz, 0.8 * f0)[:, None]
        return np.clip((self.freqs[:self.top] - cut) / 20.0, 0.0, 1.0)

    def _comb(self, f0, width_bins):
        """1 on the harmonics of f0, falling as a Gaussian of the given width between them."""
        f = self.freqs[:self.top][None, :]
        f0 = f0[:, None].astype(np.float32)
        distance = f - np.maximum(np.round(f / f0), 1.0) * f0
        width = np.minimum(width_bins * self.rate / self.size, f0)
        return np.exp(-0.5 * (distance / width) ** 2)

    def _harmonic_mask(self, f0, power):
        """On the harmonics, the share above what lies between them nearby; between them, nothing."""
        between = 1.0 - self._comb(f0, CLEAR_BINS)
        radius = max(2, int(np.median(f0) * self.size / self.rate))
        half = max(1, radius // 2)
        spread = lambda x: box_mean(box_mean(x, half), half)
        beneath = spread(power * between) / np.maximum(spread(between), 1e-6)
        beneath = smooth(beneath, 1, 0, triangle(1).astype(np.float32))
        return np.clip(1.0 - beneath / np.maximum(power, 1e-20), 0.0, 1.0)

    def _repetition_mask(self, centre, mags, lo, hi, magnitude, power):
        """Takes away what the frames one and two periods before and after all hold.

        The period is the strongest lag of the spectrum's autocorrelation
        over the wide window; a frame with fewer than two repeats in the
        stream is left alone.
        """
        period = self._period(mags)
        if period is None:
            return 1.0
        frames = len(centre)
        t = np.arange(lo, hi)
        least = np.full(magnitude.shape, np.inf, np.float32)
        count = np.zeros(hi - lo, int)
        for k in (-2, -1, 1, 2):
            at = t + k * period
            inside = (at >= 0) & (at < frames)
            if inside.any():
                least[inside] = np.minimum(least[inside], np.abs(centre[at[inside]]))
                count += inside
        least[count < 2] = 0.0
        return np.clip(1.0 - np.minimum(least, magnitude) ** 2 / np.maximum(power, 1e-20), 0.0, 1.0)

    def _period(self, mags):
        frames = len(mags)
        low, high = self.periods[0], min(self.periods[1], frames // 3)  # at least two repeats for most frames
        if high <= low:
            return None
        x = mags - mags.mean(axis=0)
        size = 1 << int(np.ceil(np.log2(2 * frames)))
        corr = np.zeros(frames)
        for column in range(0, x.shape[1], 32):  # a few bins at a time, to bound memory
            spectrum = np.fft.rfft(x[:, column:column + 32], size, axis=0)
            corr += np.fft.irfft(np.abs(spectrum) ** 2, size, axis=0)[:frames].sum(axis=1)
        corr /= frames - np.arange(frames)
        return low + int(np.argmax(corr[low:high]))

    def _echo_mask(self, centre, lo, hi, power):
        """Late-echo suppression: what a frame `delay` earlier leaves ringing, decayed, is taken away."""
        echo = self.model.echo
        t = np.arange(lo, hi) - self.echo_delay
        earlier = np.zeros_like(power)
        inside = t >= 0
        earlier[inside] = np.abs(centre[t[inside]]) ** 2
        earlier = smooth(earlier, 1, 0, triangle(1).astype(np.float32))
        return np.clip(1.0 - self.echo_factor * earlier / (power + 1e-12), echo.floor, 1.0)

    # ------------------------------------------------------------ output

    def _synthesise(self, first, vocal):
        # Four hops to a frame: quarter q of frame i lands on hop first + i + q.
        summed = np.zeros((len(vocal) + 3, self.hop), np.float32)
        for row in range(0, len(vocal), 256):  # a few frames at a time, to bound memory
            frames = np.fft.irfft(vocal[row:row + 256], self.size, axis=-1).astype(np.float32) * self.synthesis
            quarters = frames.reshape(len(frames), 4, self.hop)
            for q in range(4):
                summed[row + q:row + q + len(frames)] += quarters[:, q]
        at = first * self.hop - self.output_start
        need = at + summed.size
        if len(self.output) < need:
            self.output = np.concatenate([self.output, np.zeros(need - len(self.output), np.float32)])
        self.output[at:need] += summed.ravel()

    def _emit(self):
        """Gives back the samples no later frame adds to, as (instrument, vocal)."""
        stop = min(self.next_chunk * self.hop, self.lead + self.fed)
        start = max(self.output_start, self.lead)
        result = None
        if stop > start:
            x = self.input[start - self.input_start:stop - self.input_start]
            vocal = np.zeros_like(x)
            vocal[:, :2] = self.output[start - self.output_start:stop - self.output_start, None]
            result = (x - vocal, vocal)
        if stop > self.output_start:
            self.output = self.output[stop - self.output_start:]
            self.output_start = stop
        # The input stays from the next frame on, or from the first sample not yet given back.
        keep = min(self.output_start, self.next_frame * self.hop)
        if keep > self.input_start:
            self.input = self.input[keep - self.input_start:]
            self.input_start = keep
        return result


def main():
    parser = rc.make_parser(PROG, "Split every WAV segment of a folder into vocal and instrument parts.")
    parser.add_argument("--model_name", required=True, help="one of: " + ", ".join(sorted(MODELS)))
    parser.add_argument("--input_path", required=True, help="folder of segment0.wav, segment1.wav, ...")
    parser.add_argument("--temp_path", required=True, help="scratch folder")
    parser.add_argument("--out_path", required=True, help="output folder")
    args = parser.parse_args()

    model = find_model(args.model_name)
    segments = rc.scan_segments(args.input_path)
    out = rc.prepare_output_folder(args.out_path, args.input_path)
    temp = rc.prepare_output_folder(args.temp_path, args.input_path)
    rate, channels = segments[0].rate, segments[0].channels
    rc.emit("model %s, %d segments" % (args.model_name, len(segments)))
    separator = Separator(model, rate, channels)
    kinds = [(out, lambda name: "instrument_%s_10.wav" % name), (out, lambda name: "vocal_%s_10.wav" % name)]
    with rc.SegmentSink(segments, kinds, temp) as sink:
        for seg in segments:
            data = seg.read()
            for start in range(0, len(data), FEED_FRAMES):
                result = separator.feed(data[start:start + FEED_FRAMES])
                if result is not None:
                    sink.push(list(result))
        result = separator.finish()
        if result is not None:
            sink.push(list(result))
        sink.finish()


if __name__ == "__main__":
    sys.exit(rc.run_main(PROG, main))
