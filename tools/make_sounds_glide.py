#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Renders the two effects whose pitch moves freely: the springy "toeng" and
the whistle. sox's synth sweeps only in straight lines and its bend effect
steps audibly, so these are drawn with a phase accumulator instead; the
caller (make_sounds.sh) trims and levels them like every other sound.

Usage: make_sounds_glide.py toeng|whistle OUT.wav [RATE]

Output is 16-bit mono PCM at about -6 dBFS peak. Pure arithmetic plus a
fixed-seed generator, so the bytes are the same on every run.
"""

import math
import random
import struct
import sys
import wave

TWO_PI = 2.0 * math.pi


def smoothstep(x):
    x = min(max(x, 0.0), 1.0)
    return x * x * (3.0 - 2.0 * x)


def toeng(rate):
    """A jaw-harp-like twang whose pitch wobbles like a plucked spring."""
    length = 0.75
    base = 150.0
    n = int(length * rate)
    out = []
    phase = 0.0
    for i in range(n):
        t = i / rate
        # A quick upward flick, then a wobble of a few semitones that dies away.
        flick = 7.0 * math.exp(-t / 0.03)
        wobble = 4.5 * math.exp(-t / 0.22) * math.sin(TWO_PI * 11.0 * t)
        glide = 3.0 * smoothstep(t / length)
        freq = base * 2.0 ** ((flick + wobble + glide) / 12.0)
        phase += freq / rate
        # Bright, nasal timbre: a few harmonics with a bump around the 4th.
        s = 0.0
        for k, amp in ((1, 1.0), (2, 0.55), (3, 0.45), (4, 0.5), (5, 0.25), (6, 0.12)):
            s += amp * math.sin(TWO_PI * k * phase)
        env = min(1.0, t / 0.004) * math.exp(-t / 0.2)
        out.append(s * env / 2.9)
    return out


def whistle(rate):
    """A cheerful whistle: a slide up, then a trill between two notes."""
    slide = 0.35
    trill = 1.0
    tail = 0.12
    length = slide + trill + tail
    low, high, upper = 880.0, 1760.0, 2093.0
    n = int(length * rate)
    noise = random.Random(20240611)
    out = []
    phase = 0.0
    breath = 0.0
    for i in range(n):
        t = i / rate
        if t < slide:
            freq = low * (high / low) ** smoothstep(t / slide)
        else:
            # Alternate between the two notes with softened edges, 12.5 times a second.
            u = math.tanh(3.0 * math.sin(TWO_PI * 12.5 * (t - slide) + math.pi / 2))
            mix = 0.5 + 0.5 * u
            freq = high * (upper / high) ** (1.0 - mix)
        vibrato = 1.0 + 0.004 * math.sin(TWO_PI * 5.5 * t)
        phase += freq * vibrato / rate
        tone = math.sin(TWO_PI * phase) + 0.08 * math.sin(2.0 * TWO_PI * phase)
        # A little breath: low-passed noise riding on the tone.
        breath += 0.15 * (noise.uniform(-1.0, 1.0) - breath)
        env = smoothstep(t / 0.03) * smoothstep((length - t) / tail)
        out.append((tone + 0.12 * breath) * env / 1.2)
    return out


RECIPES = {"toeng": toeng, "whistle": whistle}


def main(argv):
    if len(argv) not in (3, 4) or argv[1] not in RECIPES:
        sys.exit(f"usage: {argv[0]} {'|'.join(RECIPES)} OUT.wav [RATE]")
    rate = int(argv[3]) if len(argv) == 4 else 22050
    samples = RECIPES[argv[1]](rate)
    peak = max(abs(s) for s in samples) or 1.0
    scale = 0.5 * 32767 / peak
    frames = b"".join(struct.pack("<h", round(s * scale)) for s in samples)
    with wave.open(argv[2], "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(frames)


if __name__ == "__main__":
    main(sys.argv)
