#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Makes Numbelo's sounds in resources/sound/: the spoken digits 0.wav … 9.wav
# (espeak-ng, Indonesian voice) and the effects Good, Benar, Salah, Toeng,
# Laser and Whistle (sox synth, plus make_sounds_glide.py for the two whose
# pitch bends freely).
#
# The generated files are committed; building the program never runs this.
# Needs: espeak-ng, sox, python3. Run from anywhere.
#
# Every file ends up 16-bit signed PCM, mono, 22050 Hz, written with a plain
# WAVE_FORMAT_PCM header (-t wavpcm) so that any reader accepts it. Leading and
# trailing silence is trimmed, then all sounds are levelled to one loudness:
# the loudest 100 ms (weighted RMS, see make_sounds_level.py) sits at
# TARGET_LOUDNESS, unless that would push the peak above PEAK_CAP, in which
# case the peak sets the gain.
#
# Reproducibility: sox runs with -R (fixed seeds, no time stamps) and -D (no
# dither), the glide helper uses a fixed-seed generator, and espeak-ng's
# output depends only on its version and voice data. Two runs on the same
# machine give byte-identical files; a different espeak-ng or sox release may
# shift the digits' samples slightly.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
out=$root/resources/sound

RATE=22050
TARGET_LOUDNESS=-14 # dBFS, weighted RMS of the loudest 100 ms
PEAK_CAP=-1.5       # dBFS, no sample louder than this

for tool in espeak-ng sox python3; do
    command -v "$tool" >/dev/null || {
        echo "make_sounds.sh: $tool is missing (apt-get install $tool)" >&2
        exit 1
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Intermediate files are 32-bit float so that nothing clips before levelling.
sx() { sox -R -D -V1 "$@"; }
raw() { echo "$work/$1.f32.wav"; }
# sox works on 32-bit integers inside, whatever the file format: keep every
# stage below full scale (gain -6 after synth) so that filters cannot clip.
new() { sx -r "$RATE" -c 1 -n -e floating-point -b 32 "$@"; }

# A note with a bell-like ring: the fundamental, a soft octave and a faint
# twelfth (three times the frequency), dying away over the note's length.
# The pitch is in semitones from A4 (440 Hz), as sox's %N notation.
# bell NAME SEMITONES LENGTH START
bell() {
    local name=$1 semis=$2 len=$3 at=$4
    new "$work/$name.1.wav" synth "$len" sine "%$semis"
    new "$work/$name.2.wav" synth "$len" sine "%$((semis + 12))"
    new "$work/$name.3.wav" synth "$len" sine "%$((semis + 19))"
    sx -m -v 0.6 "$work/$name.1.wav" -v 0.25 "$work/$name.2.wav" -v 0.1 "$work/$name.3.wav" \
        -e floating-point -b 32 "$work/$name.wav" fade l 0.006 "$len" "$len" pad "$at"
}

# trim, level and write the final file.
# finish NAME
finish() {
    local name=$1 src trimmed pk loud gain
    src=$(raw "$name")
    trimmed=$work/$name.trim.wav
    # Cut silence below -55 dBFS at both ends, then soften the cut edges so
    # that trimming never leaves a click.
    sx "$src" -e floating-point -b 32 "$work/$name.cut.wav" \
        silence 1 0.002 -55d reverse silence 1 0.002 -55d reverse
    sx "$work/$name.cut.wav" -e floating-point -b 32 "$trimmed" fade h 0.003 -0 0.015
    pk=$(sx "$trimmed" -n stats 2>&1 | awk '/^Pk lev dB/ { print $4 }')
    # Loudness as ears hear it, roughly: drop the deep bass and lift the
    # presence range (like broadcast loudness meters do) before measuring.
    loud=$(sx "$trimmed" -t f32 - highpass 40 treble +4 1500 | python3 "$here/make_sounds_level.py" "$RATE")
    gain=$(awk -v pk="$pk" -v l="$loud" -v t="$TARGET_LOUDNESS" -v cap="$PEAK_CAP" \
        'BEGIN { g = t - l; if (pk + g > cap) g = cap - pk; printf "%.3f", g }')
    sx "$trimmed" -t wavpcm -e signed-integer -b 16 -r "$RATE" -c 1 "$out/$name.wav" gain "$gain"
}

mkdir -p "$out"

# --- Spoken digits ----------------------------------------------------------
# A little above the voice's normal pitch and a clear, unhurried pace.
words=(nol satu dua tiga empat lima enam tujuh delapan sembilan)
for digit in "${!words[@]}"; do
    espeak-ng -v id -p 65 -s 160 -w "$work/$digit.espeak.wav" "${words[$digit]}"
    sx "$work/$digit.espeak.wav" -e floating-point -b 32 -r "$RATE" "$(raw "$digit")"
    finish "$digit"
done

# --- Good: start-of-lesson jingle, a rising major arpeggio ------------------
bell g1 3 0.45 0     # C5
bell g2 7 0.45 0.11  # E5
bell g3 10 0.45 0.22 # G5
bell g4 15 1.00 0.33 # C6
sx -m "$work"/g1.wav "$work"/g2.wav "$work"/g3.wav "$work"/g4.wav -e floating-point -b 32 "$(raw Good)"
finish Good

# --- Benar: a bright two-note "ding-ding" going up a fourth ----------------
bell b1 14 0.25 0    # B5
bell b2 19 0.90 0.09 # E6
sx -m "$work"/b1.wav "$work"/b2.wav -e floating-point -b 32 "$(raw Benar)"
finish Benar

# --- Salah: a soft descending two-tone, round and low ------------------------
new "$work/s1.wav" synth 0.32 triangle E4 gain -6 lowpass 900 fade h 0.03 0.32 0.12
new "$work/s2.wav" synth 0.55 triangle C4 gain -6 lowpass 700 fade h 0.03 0.55 0.35 pad 0.3
sx -m "$work/s1.wav" "$work/s2.wav" -e floating-point -b 32 "$(raw Salah)"
finish Salah

# --- Toeng: a springy twang with a wobbling pitch ---------------------------
python3 "$here/make_sounds_glide.py" toeng "$work/toeng.py.wav" "$RATE"
sx "$work/toeng.py.wav" -e floating-point -b 32 "$(raw Toeng)"
finish Toeng

# --- Laser: a falling "pew" sweep with a short echo -------------------------
# Exponential sweeps: "-" (sox's "/" leaves sawtooth and square flat).
new "$work/l1.wav" synth 0.32 sawtooth 2400-220 gain -6 lowpass 5000
new "$work/l2.wav" synth 0.32 square 1200-110 gain -6 lowpass 3000
sx -m -v 0.6 "$work/l1.wav" -v 0.4 "$work/l2.wav" -e floating-point -b 32 "$(raw Laser)" \
    fade q 0.003 0.32 0.2 echo 0.8 0.7 60 0.35
finish Laser

# --- Whistle: a joyful slide up and a trill ---------------------------------
python3 "$here/make_sounds_glide.py" whistle "$work/whistle.py.wav" "$RATE"
sx "$work/whistle.py.wav" -e floating-point -b 32 "$(raw Whistle)"
finish Whistle

echo "make_sounds.sh: wrote $(find "$out" -maxdepth 1 -name '*.wav' | wc -l) files to $out"
