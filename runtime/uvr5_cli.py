"""Voice separation: splits every segment of a folder into vocal and instrument parts.

A lead voice is mixed to the centre: it is the part both channels share.
Bin by bin of a short-time Fourier transform, with L = C + A and R = C + B
(C the centre, A and B what lies to the sides), the shared power Re(L R*)
estimates the power of C and the rest of each channel's own power that of
A and B; these powers, smoothed over a few frames, give two-channel Wiener
weights, soft masks on L and R whose sum estimates C. The vocal is that
estimate in both channels, the instrument is the input less the vocal, so
the two always add up to the input. A model name selects the voice band,
how strictly the shared part must sit in the middle, the smoothing and an
optional late-echo suppression.

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

# strictness: exponent on how evenly the shared part sits between the
# channels (0 takes any shared part); low_hz, high_hz: the voice band, with
# soft edges; time_radius, freq_radius: smoothing of the powers in frames and
# bins; echo: None, or the late-echo suppression.
Model = namedtuple("Model", "strictness low_hz high_hz time_radius freq_radius echo")
# decay_s: assumed decay time to -60 dB; delay_frames: how far back the echo
# source is looked for; strength: over-subtraction; floor: least gain left.
Echo = namedtuple("Echo", "decay_s delay_frames strength floor")

MODELS = {
    # The lead voice only: backing voices a little off-centre stay with the instruments.
    "HP5_only_main_vocal": Model(0.5, 90.0, 10000.0, 3, 0, None),
    # Every voice wherever it is panned, in a wider band.
    "HP3_all_vocals": Model(0.0, 70.0, 14000.0, 2, 0, None),
    # The voice without its echo: what rings on after the voice moves on goes to the instruments.
    "VR-DeEchoAggressive": Model(0.5, 80.0, 12000.0, 3, 0, Echo(0.4, 4, 3.0, 0.05)),
}

FFT_SIZE = 4096
HOP = 1024
# Input is taken in pieces of at most this many frames, to bound memory on long inputs.
FEED_FRAMES = 1 << 17


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
    norm = np.zeros(data.shape[0])
    n = data.shape[0]
    for k in range(-radius, radius + 1):
        w = weights[k + radius]
        lo, hi = max(0, -k), min(n, n - k)
        total[lo:hi] += w * data[lo + k:hi + k]
        norm[lo:hi] += w
    shape = (n,) + (1,) * (data.ndim - 1)
    return np.moveaxis(total / norm.reshape(shape), 0, axis)


def triangle(radius):
    return np.array([radius + 1.0 - abs(k) for k in range(-radius, radius + 1)])


def band_weights(model, rate):
    """1 inside the voice band, falling to 0 over an octave below it and half an octave above."""
    f = np.fft.rfftfreq(FFT_SIZE, 1.0 / rate)
    with np.errstate(divide="ignore"):
        octaves = np.log2(np.maximum(f, 1e-9))
    rise = np.clip(octaves - (np.log2(model.low_hz) - 1.0), 0.0, 1.0)
    fall = np.clip((np.log2(model.high_hz) + 0.5 - octaves) / 0.5, 0.0, 1.0)
    return (0.5 - 0.5 * np.cos(np.pi * rise)) * (0.5 - 0.5 * np.cos(np.pi * fall))


class CentreSeparator:
    """Streaming separation: takes input blocks, gives back (instrument, vocal) blocks.

    Every result depends only on the stream and the frame position, never on
    how the input is cut into blocks, so the segment boundaries leave no trace.
    Output lags the input by the frames it still needs as context.
    """

    def __init__(self, model, rate, channels):
        self.model = model
        self.channels = channels
        self.window = 0.5 - 0.5 * np.cos(2 * np.pi * np.arange(FFT_SIZE) / FFT_SIZE)
        # Hann analysis and synthesis at a quarter hop sum to 1.5 everywhere.
        self.synthesis = self.window / 1.5
        self.band = band_weights(model, rate)
        self.lead = FFT_SIZE - HOP  # silence ahead, so the first sample gets full overlap
        if model.echo:
            frame_s = HOP / float(rate)
            # Power decay of late echo over the delay, for a decay time to -60 dB of decay_s.
            self.echo_factor = model.echo.strength * np.exp(
                -13.8 * model.echo.delay_frames * frame_s / model.echo.decay_s)
        self.input = np.zeros((self.lead, channels))  # padded stream, from padded position input_start
        self.input_start = 0
        self.fed = 0  # input frames received
        self.next_frame = 0  # next frame to transform; frame m covers padded positions m * HOP + [0, FFT_SIZE)
        self.frames = []  # (L spectrum, R spectrum, powers) of transformed, unfinished frames
        self.frames_start = 0  # frame index of self.frames[0]
        self.history = None  # centre power of the last finished frames, for the echo estimate
        self.next_output = 0  # next frame to synthesise
        self.output = np.zeros(0)  # vocal overlap-add, from padded position output_start
        self.output_start = 0

    def feed(self, block):
        self.input = np.concatenate([self.input, np.asarray(block, np.float64)])
        self.fed += len(block)
        return self._run(final=False)

    def finish(self):
        self.input = np.concatenate([self.input, np.zeros((FFT_SIZE, self.channels))])
        return self._run(final=True)

    def _run(self, final):
        self._transform()
        available = self.frames_start + len(self.frames)
        ready = available if final else available - self.model.time_radius
        if ready > self.next_output:
            self._synthesise(ready)
        return self._emit()

    def _transform(self):
        stop = self.input_start + len(self.input)
        count = (stop - FFT_SIZE - self.next_frame * HOP) // HOP + 1
        if count <= 0:
            return
        offset = self.next_frame * HOP - self.input_start
        view = np.lib.stride_tricks.sliding_window_view(self.input[offset:], FFT_SIZE, axis=0)[::HOP][:count]
        spectra = np.fft.rfft(view * self.window, axis=-1)  # (frames, channels, bins)
        left = spectra[:, 0]
        right = spectra[:, 1] if self.channels > 1 else left
        # Own powers of both channels and the shared power Re(L R*).
        stats = np.stack([np.abs(left) ** 2, np.abs(right) ** 2, np.real(left * np.conj(right))], axis=1)
        stats = smooth(stats, self.model.freq_radius, 2, triangle(self.model.freq_radius))
        self.frames.extend(zip(left, right, stats))
        self.next_frame += count

    def _synthesise(self, ready):
        radius = self.model.time_radius
        first = self.next_output
        lo = max(self.frames_start, first - radius)
        part = self.frames[lo - self.frames_start:]
        # The smoothing reaches `radius` frames either way; frames outside the
        # stream do not count, and the context frames are trimmed off after.
        stats = smooth(np.array([p[2] for p in part]), radius, 0, triangle(radius))[first - lo:ready - lo]
        left = np.array([p[0] for p in part[first - lo:ready - lo]])
        right = np.array([p[1] for p in part[first - lo:ready - lo]])
        own_left, own_right, shared = stats[:, 0], stats[:, 1], np.maximum(stats[:, 2], 0.0)
        weight_left, weight_right = self._centre_weights(own_left, own_right, shared)
        gain = self.band * self._balance(own_left, own_right, shared)
        if self.model.echo:
            gain = gain * self._echo_gain(shared)
        vocal = np.fft.irfft(gain * (weight_left * left + weight_right * right), FFT_SIZE, axis=-1)
        vocal *= self.synthesis
        need = (ready - 1) * HOP + FFT_SIZE - self.output_start
        if len(self.output) < need:
            self.output = np.concatenate([self.output, np.zeros(need - len(self.output))])
        for i, frame in enumerate(vocal):
            at = (first + i) * HOP - self.output_start
            self.output[at:at + FFT_SIZE] += frame
        self.next_output = ready
        keep_from = max(self.frames_start, ready - radius)
        del self.frames[:keep_from - self.frames_start]
        self.frames_start = keep_from

    @staticmethod
    def _centre_weights(own_left, own_right, shared):
        """Two-channel Wiener weights for the centre C in L = C + A, R = C + B.

        With the shared power Pc and the side powers Pa, Pb, the best linear
        estimate is (Pc Pb L + Pc Pa R) / (Pc (Pa + Pb) + Pa Pb): with equal
        sides it is the Wiener-masked mid, and where one side is silent it
        takes that clean channel whole, which a mid mask cannot.
        """
        floor = 1e-3 * (own_left + own_right) + 1e-12  # keeps pure centre, Pa = Pb = 0, at the mid
        side_left = np.maximum(own_left - shared, 0.0) + floor
        side_right = np.maximum(own_right - shared, 0.0) + floor
        det = shared * (side_left + side_right) + side_left * side_right
        return shared * side_right / det, shared * side_left / det

    def _balance(self, own_left, own_right, shared):
        """How evenly the shared part sits between the channels, raised to the model's strictness.

        A source panned with gains g1 >= g2 shares g1 g2 of power while the
        quieter channel holds g2^2: the ratio is g2 / g1, 1 at the centre.
        """
        if self.model.strictness == 0:
            return 1.0
        ratio = np.minimum(own_left, own_right) / (shared + 1e-12)
        return np.clip(ratio, 0.0, 1.0) ** self.model.strictness

    def _echo_gain(self, centre):
        """Late-echo suppression: what a frame `delay` earlier leaves ringing, decayed, is taken away."""
        echo = self.model.echo
        if self.history is None:
            self.history = np.zeros((echo.delay_frames, centre.shape[1]))
        past = np.concatenate([self.history, centre])
        self.history = past[-echo.delay_frames:]
        delayed = past[:len(centre)]
        return np.clip(1.0 - self.echo_factor * delayed / (centre + 1e-12), echo.floor, 1.0)

    def _emit(self):
        """Gives back the samples no later frame adds to, as (instrument, vocal)."""
        stop = min(self.next_output * HOP, self.lead + self.fed)
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
        keep = min(self.output_start, self.next_frame * HOP)
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
    separator = CentreSeparator(model, rate, channels)
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
