#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Measures how loud a sound is, for make_sounds.sh's levelling step.

Reads raw little-endian float32 mono samples on standard input (already
passed through a loudness-weighting filter by sox) and prints one number:
the RMS level in dBFS of the loudest WINDOW-second stretch, stepped every
10 ms. A whole-file RMS would call a short ding quieter than it sounds,
because its ringing tail counts as much as its strike.

Usage: sox IN.wav -t f32 - FILTERS | make_sounds_level.py RATE [WINDOW]
"""

import array
import math
import sys


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(f"usage: {argv[0]} RATE [WINDOW]")
    rate = int(argv[1])
    window = max(1, int(rate * (float(argv[2]) if len(argv) == 3 else 0.1)))
    hop = max(1, rate // 100)
    samples = array.array("f")
    samples.frombytes(sys.stdin.buffer.read())
    if sys.byteorder != "little":
        samples.byteswap()
    if not samples:
        sys.exit("make_sounds_level.py: no samples")
    squares = [0.0]
    for s in samples:
        squares.append(squares[-1] + s * s)
    n = len(samples)
    loudest = 0.0
    for start in range(0, max(1, n - window + 1), hop):
        end = min(n, start + window)
        loudest = max(loudest, (squares[end] - squares[start]) / (end - start))
    print(f"{10.0 * math.log10(loudest) if loudest > 0 else -200.0:.3f}")


if __name__ == "__main__":
    main(sys.argv)
