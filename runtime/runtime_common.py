# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Parts shared by the runtime scripts.

The application cuts its input into numbered WAV segments only because the
script chain works on files. Both scripts therefore read the segments in
numeric order as one continuous stream, process it, and cut the result back
into pieces of exactly the input lengths, so the joined output has no seams.
This module holds that machinery: the segment listing, WAV reading and
writing, the cutting sink with its progress lines, argument handling and the
one-line failure report.
"""

import argparse
import os
import re
import signal
import sys
import wave

import numpy as np

# Percentage lines per segment; each one reports an equal share of it.
PROGRESS_STEPS = 4


class RuntimeFailure(Exception):
    """A failure reported as one line on stderr with a non-zero exit."""


class OneLineArgumentParser(argparse.ArgumentParser):
    """An argument parser whose errors take one line, like every other failure."""

    def error(self, message):
        sys.stderr.write("%s: error: %s\n" % (self.prog, message))
        sys.exit(2)


def make_parser(prog, description):
    return OneLineArgumentParser(prog=prog, description=description)


def script_dir():
    """The application directory: this module lies beside the scripts."""
    return os.path.dirname(os.path.abspath(__file__))


def _terminate(signum, frame):
    # Unwinds through the cleanup handlers, which end our ffmpeg child too.
    raise SystemExit(128 + signum)


def run_main(prog, body):
    """Runs body() and turns any failure into one line on stderr."""
    signal.signal(signal.SIGTERM, _terminate)
    try:
        body()
    except RuntimeFailure as e:
        sys.stderr.write("%s: error: %s\n" % (prog, e))
        return 1
    except KeyboardInterrupt:
        sys.stderr.write("%s: error: interrupted\n" % prog)
        return 130
    except Exception as e:  # an unforeseen fault still ends in one clear line
        sys.stderr.write("%s: error: %s: %s\n" % (prog, type(e).__name__, e))
        return 1
    sys.stdout.flush()
    return 0


def emit(line):
    """Writes one line for the application, which reads our output live."""
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


def find_ffmpeg():
    """The ffmpeg beside the application, else the system one."""
    for candidate in (os.path.join(script_dir(), "ffmpeg"), "/usr/bin/ffmpeg"):
        if os.path.isfile(candidate) and os.access(candidate, os.X_OK):
            return candidate
    raise RuntimeFailure("ffmpeg not found beside the application or in /usr/bin")


def natural_key(name):
    """Sorts segment10 after segment9."""
    return [int(part) if part.isdigit() else part.lower() for part in re.split(r"(\d+)", name)]


class Segment:
    """One input WAV file: its name and format, read from the header."""

    def __init__(self, folder, name):
        self.name = name
        self.path = os.path.join(folder, name)
        try:
            with wave.open(self.path, "rb") as w:
                self.channels = w.getnchannels()
                self.width = w.getsampwidth()
                self.rate = w.getframerate()
                self.frames = w.getnframes()
        except (wave.Error, EOFError, OSError) as e:
            raise RuntimeFailure("cannot read %s: %s" % (name, str(e) or "not a WAV file"))
        if self.width not in (1, 2, 3, 4) or self.channels < 1 or self.rate < 1:
            raise RuntimeFailure("cannot read %s: unsupported PCM format" % name)

    def read(self):
        """The samples as float32, shape (frames, channels), full scale 1.0."""
        try:
            with wave.open(self.path, "rb") as w:
                raw = w.readframes(self.frames)
        except (wave.Error, EOFError, OSError) as e:
            raise RuntimeFailure("cannot read %s: %s" % (self.name, e))
        if len(raw) != self.frames * self.channels * self.width:
            raise RuntimeFailure("cannot read %s: the audio data is truncated" % self.name)
        return pcm_to_float(raw, self.width, self.channels)


def scan_segments(folder):
    """Every WAV file of the input folder in numeric order, with a common rate and channel count."""
    if not os.path.isdir(folder):
        raise RuntimeFailure("input folder not found: %s" % folder)
    # Hidden names are scratch files (ours among them), never segments.
    names = [n for n in os.listdir(folder) if n.lower().endswith(".wav") and not n.startswith(".")
             and os.path.isfile(os.path.join(folder, n))]
    if not names:
        raise RuntimeFailure("no WAV files in the input folder: %s" % folder)
    segments = [Segment(folder, n) for n in sorted(names, key=natural_key)]
    first = segments[0]
    for s in segments[1:]:
        if (s.rate, s.channels) != (first.rate, first.channels):
            raise RuntimeFailure("%s has %d Hz, %d channels; %s has %d Hz, %d channels"
                                 % (s.name, s.rate, s.channels, first.name, first.rate, first.channels))
    return segments


def prepare_output_folder(path, input_folder):
    """Creates the output folder; refuses the input folder itself, whose files we must not replace,
    and a link, which would send our files elsewhere."""
    if os.path.islink(path):
        raise RuntimeFailure("output path is a link: %s" % path)
    if os.path.exists(path) and not os.path.isdir(path):
        raise RuntimeFailure("output path is not a folder: %s" % path)
    if os.path.isdir(path) and os.path.samefile(path, input_folder):
        raise RuntimeFailure("the output folder must differ from the input folder")
    try:
        os.makedirs(path, exist_ok=True)
    except OSError as e:
        raise RuntimeFailure("cannot create the output folder %s: %s" % (path, e.strerror))
    return path


def pcm_to_float(raw, width, channels):
    if width == 1:
        data = (np.frombuffer(raw, np.uint8).astype(np.float32) - 128.0) / 128.0
    elif width == 2:
        data = np.frombuffer(raw, "<i2").astype(np.float32) / 32768.0
    elif width == 3:
        b = np.frombuffer(raw, np.uint8).reshape(-1, 3).astype(np.int32)
        v = b[:, 0] | (b[:, 1] << 8) | (b[:, 2] << 16)
        v = np.where(v >= 1 << 23, v - (1 << 24), v)
        data = v.astype(np.float32) / float(1 << 23)
    else:
        data = (np.frombuffer(raw, "<i4").astype(np.float64) / float(1 << 31)).astype(np.float32)
    return data.reshape(-1, channels)


def float_to_pcm(data, width):
    """Rounds to the nearest step and clips to the range of the sample width."""
    x = np.asarray(data, np.float64).reshape(-1)
    if width == 1:
        return (np.clip(np.rint(x * 128.0), -128, 127) + 128).astype(np.uint8).tobytes()
    if width == 2:
        return np.clip(np.rint(x * 32768.0), -32768, 32767).astype("<i2").tobytes()
    if width == 3:
        v = np.clip(np.rint(x * float(1 << 23)), -(1 << 23), (1 << 23) - 1).astype("<i4")
        return v.view(np.uint8).reshape(-1, 4)[:, :3].tobytes()
    return np.clip(np.rint(x * float(1 << 31)), -(1 << 31), (1 << 31) - 1).astype("<i4").tobytes()


def create_new(path):
    """A new file of ours for writing; whatever held the name (a link too) goes first, never followed."""
    remove_quietly(path)
    flags = os.O_WRONLY | os.O_CREAT | os.O_EXCL | os.O_NOFOLLOW | os.O_CLOEXEC
    return os.fdopen(os.open(path, flags, 0o600), "wb")


def write_wav(path, data, rate, width, scratch_dir):
    """Writes under a scratch name first, so a stopped run never leaves a half file under the real name.
    No link is written through: the scratch file is new, and the rename replaces a link at the result."""
    folder = os.path.dirname(path) or "."
    scratch = os.path.join(scratch_dir, "." + os.path.basename(path) + ".part")
    try:
        if os.stat(scratch_dir).st_dev != os.stat(folder).st_dev:
            scratch = os.path.join(folder, os.path.basename(scratch))  # a rename stays on one file system
        with create_new(scratch) as f, wave.open(f, "wb") as w:
            w.setnchannels(data.shape[1])
            w.setsampwidth(width)
            w.setframerate(rate)
            w.writeframes(float_to_pcm(data, width))
        os.replace(scratch, path)
    except OSError as e:
        remove_quietly(scratch)
        raise RuntimeFailure("cannot write %s: %s" % (path, e.strerror or e))


def remove_quietly(path):
    """Removes a file by its name: a link goes itself, never what it points to."""
    try:
        os.remove(path)
    except OSError:
        pass


class Progress:
    """Progress lines: equal percentage steps while a segment fills, then a
    success line naming all segments done so far."""

    def __init__(self, names):
        self.names = names
        self.done = 0
        self.steps = 0

    def advance(self, fraction):
        target = min(PROGRESS_STEPS, int(fraction * PROGRESS_STEPS))
        while self.steps < target:
            emit("progress %d%%" % (100 // PROGRESS_STEPS))
            self.steps += 1

    def segment_done(self):
        self.advance(1.0)
        self.done += 1
        self.steps = 0
        emit("%r->Success" % (self.names[:self.done],))


class SegmentSink:
    """Takes the processed stream in order and cuts it back into the input
    segments' exact lengths, writing each piece as soon as it is complete.

    `kinds` lists one (folder, naming function) per output stream; a segment
    counts as done when all its kinds are written. Used as a context manager,
    it removes everything it wrote when the run fails.
    """

    def __init__(self, segments, kinds, scratch_dir):
        self.segments = segments
        self.kinds = kinds
        self.scratch_dir = scratch_dir
        self.progress = Progress([s.name for s in segments])
        self.index = 0
        self.filled = 0
        self.pending = [[] for _ in kinds]
        self.written = []
        self._settle()

    def __enter__(self):
        return self

    def __exit__(self, exc_type, exc, tb):
        if exc_type is not None:
            for path in self.written:
                remove_quietly(path)
        return False

    @property
    def complete(self):
        return self.index >= len(self.segments)

    def push(self, blocks):
        """One block per kind, all of the same length; samples past the last segment are dropped."""
        n = len(blocks[0])
        pos = 0
        while pos < n and not self.complete:
            seg = self.segments[self.index]
            take = min(seg.frames - self.filled, n - pos)
            for k, block in enumerate(blocks):
                self.pending[k].append(block[pos:pos + take])
            pos += take
            self.filled += take
            if self.filled < seg.frames:
                self.progress.advance(self.filled / seg.frames)
            self._settle()

    def finish(self):
        """Fills what the processor left short with silence and writes the rest."""
        while not self.complete:
            seg = self.segments[self.index]
            silence = np.zeros((seg.frames - self.filled, seg.channels), np.float32)
            self.push([silence] * len(self.kinds))

    def _settle(self):
        while not self.complete and self.filled == self.segments[self.index].frames:
            seg = self.segments[self.index]
            for k, (folder, naming) in enumerate(self.kinds):
                parts = self.pending[k]
                data = np.concatenate(parts) if parts else np.zeros((0, seg.channels), np.float32)
                path = os.path.join(folder, naming(seg.name))
                write_wav(path, data, seg.rate, seg.width, self.scratch_dir)
                self.written.append(path)
            self.pending = [[] for _ in self.kinds]
            self.filled = 0
            self.index += 1
            self.progress.segment_done()
