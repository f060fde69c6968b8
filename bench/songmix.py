# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
"""Generated songs with known stems, to measure how well a separation recovers the voice.

A song is a sung voice (phrases of syllables with glides, vibrato, a little
jitter, breath and consonant noise, vowels moving through their formants)
over a band: bass, kick, hi-hat, a pad of chords and an arpeggio, played with
small variations of timing and strength. Every part is drawn from one seed.
Mixes place the parts: "hard" (the band hard left and right), "real"
(voice, bass and kick in the middle, the pad and the arpeggio partly to the
sides, the hi-hat near the middle), "mono" (the real mix in both channels)
and "echo" (the real mix with a late echo of the voice, which counts as
accompaniment).
"""

import numpy as np

RATE = 44100
BEAT = 0.5  # seconds, 120 beats a minute
BAR = 4 * BEAT
STEP = 32  # samples between the gains of a harmonic

# Levels (RMS before panning): the band is about 5 dB louder than the voice, the bass louder than the voice.
LEVELS = {"voice": 0.06, "bass": 0.07, "kick": 0.06, "hihat": 0.02, "pad": 0.045, "arp": 0.035}
# Left and right gains of each part in each mix.
PANS = {
    "hard": {"voice": (1, 1), "bass": (1, 0), "kick": (0, 1), "hihat": (0, 1), "pad": (1, 0), "arp": (0, 1)},
    "real": {"voice": (1, 1), "bass": (1, 1), "kick": (1, 1), "hihat": (0.65, 0.75), "pad": (0.8, 0.45),
             "arp": (0.45, 0.8)},
}
MIXES = ["hard", "real", "mono", "echo"]
# The voice's late echo in the "echo" mix: (delay in seconds, gain) of each repeat.
ECHOES = [(0.12, 0.5), (0.25, 0.35), (0.37, 0.25), (0.5, 0.18)]

# Vowels: (frequency, bandwidth) of the first four formants.
VOWELS = [
    [(800, 80), (1150, 90), (2800, 120), (3500, 130)],  # a
    [(400, 60), (1700, 80), (2600, 100), (3300, 120)],  # e
    [(300, 50), (2200, 90), (2900, 120), (3600, 130)],  # i
    [(450, 70), (800, 80), (2800, 100), (3300, 120)],  # o
    [(330, 50), (700, 60), (2500, 100), (3300, 120)],  # u
]
# Chords of the four bars, as semitones above A2 (110 Hz): Am, F, C, G.
CHORDS = [[0, 3, 7], [-4, 0, 3], [3, 7, 10], [-2, 2, 5]]


def hz(semitones, base=110.0):
    return base * 2.0 ** (np.asarray(semitones, float) / 12.0)


def level(x, rms):
    return x * (rms / max(np.sqrt(np.mean(x ** 2)), 1e-12))


def smooth_noise(rng, n, cutoff, rate=RATE):
    """Random motion below `cutoff` Hz, unit RMS."""
    spectrum = np.fft.rfft(rng.standard_normal(n))
    spectrum[np.fft.rfftfreq(n, 1.0 / rate) > cutoff] = 0
    x = np.fft.irfft(spectrum, n)
    return x / max(np.sqrt(np.mean(x ** 2)), 1e-12)


def band_noise(rng, n, low, high):
    """White noise between low and high Hz, unit RMS."""
    spectrum = np.fft.rfft(rng.standard_normal(n))
    f = np.fft.rfftfreq(n, 1.0 / RATE)
    spectrum[(f < low) | (f > high)] = 0
    x = np.fft.irfft(spectrum, n)
    return x / max(np.sqrt(np.mean(x ** 2)), 1e-12)


def harmonics(f0, amplitude, phase0=0.0):
    """Sum of harmonics of a moving f0 (per sample); amplitude(k, freqs) gives each harmonic's gain.

    Gains are taken every STEP samples (freqs has one value per STEP samples)
    and drawn as lines between; sin(k x) comes from the recurrence
    sin(k x) = 2 cos(x) sin((k-1) x) - sin((k-2) x).
    """
    step = STEP
    phase = 2 * np.pi * np.cumsum(f0) / RATE + phase0
    grid = np.arange(0, len(f0), step)
    coarse = f0[grid]
    out = np.zeros(len(f0))
    twice_cos = 2 * np.cos(phase)
    before, current = np.zeros(len(f0)), np.sin(phase)
    for k in range(1, int(0.45 * RATE / max(f0.min(), 20.0)) + 1):
        if k > 1:
            before, current = current, twice_cos * current - before
        gain = amplitude(k, k * coarse) * (k * coarse < 0.45 * RATE)
        if np.max(gain) < 1e-5:
            if k * coarse.min() > 12000:
                break
            continue
        out += np.interp(np.arange(len(f0)), grid, gain) * current
    return out


def formant_gain(freqs, formants):
    """Resonance curve at freqs for per-sample formant tracks [(centre, bandwidth), ...]."""
    g = np.full_like(freqs, 0.02)
    for i, (centre, width) in enumerate(formants):
        g += (0.7 ** i) / (1.0 + ((freqs - centre) / (0.5 * width)) ** 2)
    return g


def place(out, start, sound):
    start = max(0, start)
    end = min(len(out), start + len(sound))
    if end > start:
        out[start:end] += sound[:end - start]


def voice(rng, n, base):
    """A sung line from `base` Hz up: phrases of syllables, a note each, with glides, vibrato and consonants."""
    scale = np.array([0, 2, 3, 5, 7, 8, 10, 12, 14])
    f0 = np.full(n, base)
    gate = np.zeros(n)
    vowel_of = np.zeros(n, int)
    consonants = np.zeros(n)
    t, note_start = 0.3 + 0.2 * rng.random(), []
    notes = []
    while t < n / RATE - 0.5:
        phrase = 1.5 + 1.5 * rng.random()
        end = min(t + phrase, n / RATE - 0.2)
        step = int(rng.integers(2, 6))
        while t < end:
            length = min(rng.choice([0.25, 0.5, 0.5, 0.75]) * (0.9 + 0.2 * rng.random()), end - t)
            step = int(np.clip(step + rng.integers(-2, 3), 0, len(scale) - 1))
            notes.append((t, length, base * 2 ** (scale[step] / 12.0), int(rng.integers(0, len(VOWELS)))))
            t += length
        t = end + 0.3 + 0.6 * rng.random()
    glide = int(0.06 * RATE)
    previous = None
    for (start, length, pitch, vowel) in notes:
        a, b = int(start * RATE), min(n, int((start + length) * RATE))
        seg = np.full(b - a, pitch)
        if previous is not None and previous[1] == a:
            g = min(glide, b - a)
            seg[:g] = previous[0] * (pitch / previous[0]) ** (0.5 - 0.5 * np.cos(np.pi * np.arange(g) / g))
        elif previous is None or previous[1] < a:
            # A phrase starts with a scoop from below.
            g = min(glide, b - a)
            seg[:g] *= 2 ** (-1.5 / 12 * (1 - np.arange(g) / g))
        # Vibrato that grows in after the note's first 150 ms.
        tt = np.arange(b - a) / RATE
        depth = 0.025 * np.clip((tt - 0.15) / 0.2, 0, 1)
        seg *= 1 + depth * np.sin(2 * np.pi * (5.2 + rng.random()) * tt + rng.random() * 6)
        f0[a:b] = seg
        gate[a:b] = 1
        vowel_of[a:b] = vowel
        # A consonant at every syllable's start: a hiss or a short burst.
        c = int(RATE * (0.06 if rng.random() < 0.5 else 0.02))
        consonants[max(0, a - c // 2):a + c // 2] = 1 if c > 1000 else 2
        previous = (pitch, b)
    f0 = f0 * (1 + 0.004 * smooth_noise(rng, n, 20.0))  # jitter
    # Note envelopes with soft edges, formant tracks moving between vowels.
    env = np.interp(np.arange(n), np.arange(0, n, STEP), np.convolve(gate[::STEP], np.hanning(55) / 27.0, "same"))
    tracks = np.array(VOWELS, float)[vowel_of[::STEP]]  # (n / STEP, 4, 2)
    kernel = np.hanning(int(0.05 * RATE / STEP))
    kernel /= kernel.sum()
    formants = [(np.convolve(tracks[:, i, 0], kernel, "same"), np.convolve(tracks[:, i, 1], kernel, "same"))
                for i in range(4)]
    tilt = lambda k, f: formant_gain(f, formants) / k ** 0.9
    voiced = harmonics(f0, tilt) * env * (1 + 0.15 * smooth_noise(rng, n, 3.0).clip(-2, 2))
    # Breath about 24 dB, consonants about 10 dB below the vowels.
    loudness = np.std(voiced) / max(np.sqrt(np.mean(env ** 2)), 1e-9)
    breath = band_noise(rng, n, 500, 6000) * env * 0.06 * loudness
    hiss = band_noise(rng, n, 4000, 11000) * (consonants == 1) * 0.3 * loudness
    burst = band_noise(rng, n, 1500, 8000) * (consonants == 2) * 0.3 * loudness
    return voiced + breath + hiss + burst


def timing(rng, beats):
    """Onset sample of each beat position with a few ms of human looseness."""
    return [int((b * BEAT + 0.004 * rng.standard_normal()) * RATE) for b in beats]


def kick(rng, n):
    out = np.zeros(n)
    tt = np.arange(int(0.35 * RATE)) / RATE
    body = np.sin(2 * np.pi * np.cumsum(50 + 100 * np.exp(-tt / 0.03)) / RATE) * np.exp(-tt / 0.12)
    click = band_noise(rng, len(tt), 1000, 5000) * np.exp(-tt / 0.004) * 0.15
    beats = [b for b in np.arange(0, n / RATE / BEAT) if b % 4 in (0, 2) or (b % 8 == 6.5)]
    beats += [b + 0.5 for b in np.arange(0, n / RATE / BEAT) if b % 8 == 7]
    for at in timing(rng, beats):
        place(out, at, (body + click) * (0.85 + 0.3 * rng.random()))
    return out


def hihat(rng, n):
    out = np.zeros(n)
    length = int(0.08 * RATE)
    tt = np.arange(length) / RATE
    for i, at in enumerate(timing(rng, np.arange(0, n / RATE / BEAT, 0.5))):
        accent = 1.0 if i % 2 == 0 else 0.6
        place(out, at, band_noise(rng, length, 6000, 16000) * np.exp(-tt / 0.025) * accent * (0.8 + 0.4 * rng.random()))
    return out


def pluck(f0, seconds, decay, bright, rng):
    m = int(seconds * RATE)
    tt = np.arange(m) / RATE
    tone = harmonics(np.full(m, f0 * (1 + 0.002 * rng.standard_normal())),
                     lambda k, f: np.exp(-(k - 1) / bright) / k ** 0.5, rng.random() * 6)
    return tone * np.exp(-tt / decay) * np.clip(tt / 0.004, 0, 1)


def bass(rng, n):
    out = np.zeros(n)
    pattern = [0, 0, 12, 0, 7, 0, 10, 0]  # eighth-note steps above the chord's root
    for bar in range(int(np.ceil(n / RATE / BAR))):
        root = CHORDS[bar % 4][0] - 12
        for i, step in enumerate(pattern):
            at = timing(rng, [bar * 4 + i * 0.5])[0]
            place(out, at, pluck(hz(root + step)[()] , 0.5, 0.25, 5.0, rng) * (0.85 + 0.3 * rng.random()))
    return out


def pad(rng, n):
    out = np.zeros(n)
    bar_len = int(BAR * RATE)
    for bar in range(int(np.ceil(n / bar_len))):
        tt = np.arange(bar_len + int(0.3 * RATE)) / RATE
        env = np.clip(tt / 0.25, 0, 1) * np.clip((tt[-1] - tt) / 0.3, 0, 1)
        chord = np.zeros(len(tt))
        for note in CHORDS[bar % 4]:
            for detune in (-0.003, 0.003):
                f = np.full(len(tt), hz(note + 12)[()] * (1 + detune))
                chord += harmonics(f, lambda k, fr: 1.0 / k ** 1.3 * (fr < 4000), rng.random() * 6)
        place(out, bar * bar_len, chord * env)
    return out


def arpeggio(rng, n):
    out = np.zeros(n)
    for bar in range(int(np.ceil(n / RATE / BAR))):
        chord = CHORDS[bar % 4]
        for i in range(16):
            note = chord[[0, 1, 2, 1][i % 4]] + 24 + (12 if i % 8 >= 4 else 0)
            at = timing(rng, [bar * 4 + i * 0.25])[0]
            place(out, at, pluck(hz(note)[()], 0.4, 0.12, 3.0, rng) * (0.7 + 0.5 * rng.random()))
    return out


def song(seed, seconds, low_voice=False):
    """The dry parts of a song, each scaled to its level: {name: mono samples}."""
    rng = np.random.default_rng(seed)
    n = int(seconds * RATE)
    parts = {"voice": voice(rng, n, 130.0 if low_voice else 262.0), "bass": bass(rng, n), "kick": kick(rng, n),
             "hihat": hihat(rng, n), "pad": pad(rng, n), "arp": arpeggio(rng, n)}
    return {name: level(x, LEVELS[name]) for name, x in parts.items()}


def mix(parts, kind):
    """(voice, band): the stereo stems of a mix; the mix itself is their sum."""
    pans = PANS["hard" if kind == "hard" else "real"]
    stems = {name: np.stack([pans[name][0] * x, pans[name][1] * x], axis=1) for name, x in parts.items()}
    vocal = stems["voice"]
    band = sum(stems[name] for name in stems if name != "voice")
    if kind == "echo":
        # The dry voice is what a separation should keep; its echo belongs with the band.
        for delay, gain in ECHOES:
            at = int(delay * RATE)
            band[at:] += gain * vocal[:-at]
    if kind == "mono":
        vocal = np.repeat(vocal.mean(axis=1, keepdims=True), 2, axis=1)
        band = np.repeat(band.mean(axis=1, keepdims=True), 2, axis=1)
    return vocal, band


def sdr(reference, estimate):
    """Signal-to-distortion ratio in dB: the reference's power over the error's."""
    return 10.0 * np.log10(np.sum(reference ** 2) / max(np.sum((reference - estimate) ** 2), 1e-20))
