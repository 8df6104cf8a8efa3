#!/usr/bin/env python3
"""Writes the sound effects and the music loops that the sound manager loads, as Ogg Vorbis.

Everything is synthesised here, so the data set carries no recorded material: the three menu
effects and the story map's two are short chimes, each location's music is a looping arpeggio in
its own key and tempo, and the ambiences are filtered noise (surf, wind, crowd hum). Encoding uses
oggenc (Debian package vorbis-tools) with a fixed stream serial, so the same input gives the same
file.
"""
import math
import os
import random
import shutil
import struct
import subprocess
import tempfile
import wave

import sol_data

RATE = 22050

# name: (root frequency, scale steps in semitones, beats per minute, seconds, waveform brightness)
MUSIC = {
    "menu": (220.0, [0, 4, 7, 11, 12, 7, 4, 2], 84, 8.0, 0.3),
    "bora-bora": (196.0, [0, 2, 4, 7, 9, 7, 4, 2], 96, 8.0, 0.2),
    "barbados": (246.9, [0, 4, 7, 9, 12, 9, 7, 4], 112, 8.0, 0.4),
    "fregate": (174.6, [0, 3, 7, 10, 12, 10, 7, 3], 76, 8.0, 0.25),
    "dubai": (207.7, [0, 1, 4, 5, 7, 8, 7, 4], 90, 8.0, 0.35),
    "montecarlo": (261.6, [0, 4, 7, 12, 16, 12, 7, 4], 100, 8.0, 0.3),
}

# name: (seconds, low-pass smoothing 0..1, swell period in seconds, level)
AMBIENCE = {
    "menu_amb": (6.0, 0.96, 3.0, 0.25),
    "bora_amb": (6.0, 0.97, 4.0, 0.3),
    "barbados_amb": (6.0, 0.93, 2.5, 0.25),
    "fregate_amb": (6.0, 0.98, 5.0, 0.3),
    "montecarlo_amb": (6.0, 0.9, 2.0, 0.2),
}

# name: list of (frequency, start second, length in seconds)
EFFECTS = {
    "menu_selecting": [(880.0, 0.0, 0.08)],
    "menu_choose": [(660.0, 0.0, 0.09), (990.0, 0.07, 0.12)],
    "game_level_medal": [(523.3, 0.0, 0.25), (659.3, 0.12, 0.25), (784.0, 0.24, 0.25), (1046.5, 0.36, 0.5)],
    "level_selecting": [(784.0, 0.0, 0.08), (1175.0, 0.05, 0.14)],
    "level_preview_show": [(523.3, 0.0, 0.1), (659.3, 0.04, 0.1), (784.0, 0.08, 0.16)],
}


def tone(freq, t, brightness):
    """A soft tone: a sine with a little of its octave and twelfth."""
    w = 2.0 * math.pi * freq * t
    return math.sin(w) + brightness * 0.5 * math.sin(2 * w) + brightness * 0.25 * math.sin(3 * w)


def make_music(root, steps, bpm, seconds, brightness):
    beat = 60.0 / bpm / 2.0  # eighth notes
    total = int(RATE * seconds)
    samples = [0.0] * total
    note_len = int(RATE * beat)
    for start in range(0, total, note_len):
        index = (start // note_len) % len(steps)
        freq = root * 2 ** (steps[index] / 12.0)
        bass = root / 2 * 2 ** (steps[(start // (note_len * 4) * 4) % len(steps)] / 12.0)
        for i in range(min(note_len, total - start)):
            t = i / RATE
            envelope = math.exp(-3.0 * t / beat)
            samples[start + i] += 0.35 * envelope * tone(freq, t, brightness)
            samples[start + i] += 0.2 * tone(bass, (start + i) / RATE, 0.1)
    return samples


def make_ambience(seconds, smoothing, swell, level, seed):
    rng = random.Random(seed)
    total = int(RATE * seconds)
    samples = []
    low = 0.0
    for i in range(total):
        low = smoothing * low + (1.0 - smoothing) * rng.uniform(-1.0, 1.0)
        phase = 2.0 * math.pi * i / (RATE * swell)
        samples.append(level * 6.0 * low * (0.6 + 0.4 * math.sin(phase)))
    # Cross-fade the end into the start so the loop has no click.
    fade = int(RATE * 0.5)
    for i in range(fade):
        mix = i / fade
        samples[i] = samples[i] * mix + samples[total - fade + i] * (1.0 - mix)
    return samples[: total - fade]


def make_effect(notes):
    total = int(RATE * max(start + length for _, start, length in notes)) + 1
    samples = [0.0] * total
    for freq, start, length in notes:
        first = int(RATE * start)
        for i in range(int(RATE * length)):
            t = i / RATE
            samples[first + i] += 0.5 * math.exp(-5.0 * t / length) * tone(freq, t, 0.3)
    return samples


def encode(samples, path):
    with tempfile.TemporaryDirectory() as tmp:
        wav_path = os.path.join(tmp, "sound.wav")
        ogg_path = os.path.join(tmp, "sound.ogg")
        with wave.open(wav_path, "wb") as w:
            w.setnchannels(1)
            w.setsampwidth(2)
            w.setframerate(RATE)
            peak = max(1e-9, max(abs(s) for s in samples))
            gain = min(1.0, 0.9 / peak)
            w.writeframes(b"".join(struct.pack("<h", int(s * gain * 32767)) for s in samples))
        subprocess.run(["oggenc", "--quiet", "-q", "1", "-s", "1", "-o", ogg_path, wav_path], check=True)
        with open(ogg_path, "rb") as f:
            sol_data.write_if_changed(path, f.read())


def main():
    args = sol_data.parse_args(__doc__)
    if shutil.which("oggenc") is None:
        sol_data.fail("oggenc not found (install the Debian package vorbis-tools)")
    music = os.path.join(args.out, "sfx", "music")
    sounds = os.path.join(args.out, "sfx", "sounds")
    for name, spec in MUSIC.items():
        encode(make_music(*spec), os.path.join(music, name + ".ogg"))
    for seed, (name, spec) in enumerate(sorted(AMBIENCE.items())):
        encode(make_ambience(*spec, seed=seed), os.path.join(music, name + ".ogg"))
    for name, notes in EFFECTS.items():
        encode(make_effect(notes), os.path.join(sounds, name + ".ogg"))


if __name__ == "__main__":
    main()
