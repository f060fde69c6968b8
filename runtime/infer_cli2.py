"""Voice changer: gives every segment of a folder the voice of a speaker profile.

The voice is moved by signal processing: ffmpeg's Rubber Band filter shifts
the pitch with the formants kept in place, a resampling step ahead of it
moves the formants by their own ratio, and a few filters give the speaker
its colour. All segments pass through one ffmpeg run as one stream, whose
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

# Colour filters of a profile: ffmpeg filter, then (profile key, ffmpeg option, lowest, highest).
COLOUR_FILTERS = {
    "highpass": ("highpass", [("frequency", "f", 10.0, 2000.0)]),
    "lowpass": ("lowpass", [("frequency", "f", 500.0, 20000.0)]),
    "lowshelf": ("lowshelf", [("frequency", "f", 20.0, 2000.0), ("gain_db", "g", -12.0, 12.0)]),
    "highshelf": ("highshelf", [("frequency", "f", 500.0, 16000.0), ("gain_db", "g", -12.0, 12.0)]),
    "peak": ("equalizer", [("frequency", "f", 50.0, 16000.0), ("q", "w", 0.1, 10.0),
                           ("gain_db", "g", -12.0, 12.0)]),
    # A fast tremolo roughens the voice: the gravel of a rasping speaker.
    "roughness": ("tremolo", [("rate", "f", 10.0, 100.0), ("depth", "d", 0.0, 0.8)]),
}
FIXED_OPTIONS = {"peak": ":t=q", "lowshelf": ":t=q:w=0.707", "highshelf": ":t=q:w=0.707"}


def number(value):
    # Enough digits that a tempo of 1 / formant ratio keeps long streams in step.
    return "%.10g" % value


class Profile:
    """A speaker, read from its profile file (the .pth of the model name).

    The file is JSON: "format" is "quillvane-voice-profile"; "speaker" the
    display name; "pitch_ratio" (0.25 to 4) and "formant_ratio" (0.5 to 2)
    the shifts; optional "gain_db" and "colour", a list of filters from
    COLOUR_FILTERS, each {"type": ..., and its keys}. Only checked numbers
    reach the ffmpeg filter graph.
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
        self.pitch = self._number(data, "pitch_ratio", 0.25, 4.0, name)
        self.formant = self._number(data, "formant_ratio", 0.5, 2.0, name)
        self.gain_db = self._number(data, "gain_db", -24.0, 12.0, name, default=0.0)
        self.colour = [self._colour_filter(entry, name) for entry in data.get("colour", [])]

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

    def shifter_chain(self, rate):
        """Pitch by `pitch`, formants by `formant`, duration unchanged.

        Playing the stream faster by the formant ratio moves everything by
        that ratio; the shifter then restores the duration and takes the
        pitch the rest of the way while it holds the moved formants.
        """
        shifter = "rubberband=pitch=%s:formant=preserved:channels=together"
        if abs(self.formant - 1.0) < 1e-3:
            return shifter % number(self.pitch)
        fast_rate = int(round(rate * self.formant))
        formant = fast_rate / rate
        return "asetrate=%d,aresample=%d,%s:tempo=%s" % (
            fast_rate, rate, shifter % number(self.pitch / formant), number(1.0 / formant))

    def colour_chain(self):
        chain = list(self.colour)
        if self.gain_db:
            chain.append("volume=%sdB" % number(self.gain_db))
        return chain


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
    signal = np.repeat(x[:, None], channels, axis=1).astype("<f4")
    run = subprocess.run(ffmpeg_command(ffmpeg, chain, rate, channels), input=signal.tobytes(),
                         stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if run.returncode != 0:
        raise rc.RuntimeFailure("ffmpeg failed: %s" % last_line(run.stderr))
    y = np.frombuffer(run.stdout, "<f4")[::channels].astype(np.float64)
    size = 1 << int(np.ceil(np.log2(2 * (max(n, len(y)) + MAX_LAG))))
    a = np.fft.rfft(envelope(x), size)
    b = np.fft.rfft(envelope(y), size) if len(y) else np.zeros_like(a)
    corr = np.fft.irfft(b * np.conj(a), size)
    lags = np.r_[np.arange(0, MAX_LAG + 1), np.arange(-MAX_LAG, 0)]
    return int(lags[np.argmax(np.r_[corr[:MAX_LAG + 1], corr[-MAX_LAG:]])])


def soft_limit(x):
    """Rounds peaks off above 0.9 of full scale instead of clipping them hard; sample by sample, so seamless."""
    over = np.abs(x) > 0.9
    if over.any():
        x = x.copy()
        a = np.abs(x[over])
        x[over] = np.sign(x[over]) * (0.9 + 0.1 * np.tanh((a - 0.9) / 0.1))
    return x


def convert_stream(ffmpeg, chain, lag, segments, sink):
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
                sink.push([soft_limit(block)])
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
                        help="accepted for compatibility; the shifter works on ratios and tracks no pitch")
    parser.add_argument("--input_path", required=True, help="folder of segment0.wav, segment1.wav, ...")
    parser.add_argument("--index_path", default=" ", help="accepted for compatibility; no index is used")
    parser.add_argument("--opt_path", required=True, help="output folder, the same file names")
    args = parser.parse_args()

    profile = Profile(find_profile(args.model_name))
    segments = rc.scan_segments(args.input_path)
    out = rc.prepare_output_folder(args.opt_path, args.input_path)
    ffmpeg = rc.find_ffmpeg()
    rate, channels = segments[0].rate, segments[0].channels
    shifter = profile.shifter_chain(rate)
    lag = measure_lag(ffmpeg, shifter, rate, channels)
    rc.emit("voice %s: pitch x%s, formants x%s, %d segments"
            % (profile.speaker, number(profile.pitch), number(profile.formant), len(segments)))
    chain = ",".join([shifter] + profile.colour_chain())
    with rc.SegmentSink(segments, [(out, lambda name: name)], out) as sink:
        convert_stream(ffmpeg, chain, lag, segments, sink)
        sink.finish()


if __name__ == "__main__":
    sys.exit(rc.run_main(PROG, main))
