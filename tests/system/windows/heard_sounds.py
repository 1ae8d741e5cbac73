#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Finds each sound a key should have made in a recording of the program, where it was pressed.

    heard_sounds.py RECORDING SOUND_FOLDER PRESSED

RECORDING is what SDL's disk driver wrote: float32 stereo at 48 kHz. PRESSED has a line
"SECONDS FILE" for every key, in order: when it was pressed (any clock) and the sound file of
SOUND_FOLDER it should have made ("Good.wav", "7.wav"). The first one is looked for in the
whole recording; each next one where the time since the one before puts it, give or take the
jitter of key and sound and the driver's pace (it runs a few per cent fast). There, the start
of the sound must match its file's waveform, better than any other digit's sound matches the
same place: the sound of another digit, or none, fails. Exits non-zero when a sound is missing
or another's is heard instead.
"""
import subprocess
import sys

import numpy as np

RATE = 16000  # speech is compared below 8 kHz; every sound is brought to this rate
LONGEST = 0.3  # seconds of a sound compared, at most: a next key cuts it off
LEAST_LIKENESS = 0.6  # normalised correlation of a sound found (its own waveform gives ~1)
NEAR = 0.04  # seconds around a sound found where another's is tried
DIGITS = [f"{digit}.wav" for digit in range(10)]


def samples(sox_input):
    """A sound as mono float samples at RATE, through sox."""
    raw = subprocess.run(["sox", "-V1", *sox_input, "-t", "raw", "-e", "floating-point",
                          "-b", "32", "-L", "-r", str(RATE), "-", "remix", "-"],
                         check=True, capture_output=True).stdout
    return np.frombuffer(raw, dtype="<f4").astype(np.float64)


def likeness(recording, start, end, sound):
    """The best normalised correlation of `sound` beginning anywhere in [start, end), and where."""
    start = max(start, 0)
    stretch = recording[start:end + len(sound)]
    if len(stretch) < len(sound):
        return 0.0, start
    size = 1 << int(np.ceil(np.log2(len(stretch) + len(sound))))
    products = np.fft.irfft(np.fft.rfft(stretch, size) * np.conj(np.fft.rfft(sound, size)), size)
    products = products[:len(stretch) - len(sound) + 1]
    energy = np.concatenate(([0.0], np.cumsum(stretch ** 2)))
    windows = energy[len(sound):] - energy[:-len(sound)]
    norms = np.sqrt(np.maximum(windows, 1e-12) * np.sum(sound ** 2))
    scores = np.where(windows > 1e-8, products / norms, 0.0)
    best = int(np.argmax(scores))
    return float(scores[best]), start + best


def main(recording_file, folder, pressed_file):
    recording = samples(["-t", "raw", "-r", "48000", "-e", "floating-point", "-b", "32",
                         "-c", "2", "-L", recording_file])
    pressed = []
    with open(pressed_file, encoding="utf-8") as lines:
        for line in lines:
            seconds, name = line.split()
            pressed.append((float(seconds), name))
    if not pressed:
        return "no key was pressed: nothing to listen for"
    sounds = {name: samples([f"{folder}/{name}"])
              for name in set(DIGITS) | {name for _, name in pressed}}

    failures = 0
    anchor = None  # (seconds, sample) of the first sound found
    previous = None  # the same of the last sound found
    pace = 1.0  # samples of the recording per sample of the clock, measured as we go
    for index, (seconds, name) in enumerate(pressed):
        after = pressed[index + 1][0] - seconds if index + 1 < len(pressed) else LONGEST
        length = int(RATE * max(0.05, min(LONGEST, after - 0.05)))
        if previous is None:
            start, end = 0, len(recording)
        else:
            gap = seconds - previous[0]
            expected = previous[1] + int(gap * RATE * pace)
            slack = int(RATE * (0.12 + 0.06 * gap))
            start, end = expected - slack, expected + slack
        score, where = likeness(recording, start, end, sounds[name][:length])
        # Would another digit's sound fit there better?
        near = int(RATE * NEAR)
        rivals = {other: likeness(recording, where - near, where + near, sounds[other][:length])[0]
                  for other in DIGITS if other != name}
        rival = max(rivals, key=rivals.get)
        heard = score >= LEAST_LIKENESS and score > rivals[rival]
        print(f"{index:3d} {name:>9} at {where / RATE:7.3f} s: likeness {score:.2f}, "
              f"next best {rival} {rivals[rival]:.2f}" + ("" if heard else "  NOT HEARD"))
        if not heard:
            failures += 1
            continue
        if anchor is None:
            anchor = (seconds, where)
        elif seconds - anchor[0] > 5:
            pace = min(1.2, max(0.9, (where - anchor[1]) / ((seconds - anchor[0]) * RATE)))
        previous = (seconds, where)
    print(f"{len(pressed) - failures} of {len(pressed)} sounds heard where their keys were pressed"
          f" (pace {pace:.3f})")
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
