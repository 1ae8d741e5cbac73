#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Numbelo's background tune, resources/sound/zamba.mid, and the small
MIDI files the music tests read from tests/data/music/.

Usage: make_tune.py [--fixtures] [--check]

  (no option)  write resources/sound/zamba.mid
  --fixtures   also write the test files in tests/data/music/
  --check      read the written files back and verify their structure

The tune is a cheerful 6/8 dance in G major for marimba, flute, nylon guitar,
acoustic bass and a little percussion: a 4-bar intro, A A' B A'' (8 bars
each) and a 4-bar tag whose bass walks back up to the intro, so that the
piece loops without a seam. 40 bars at a dotted crotchet of 80 (crotchet
120) last exactly 60 seconds, and every part stops on the last tick.

Standard library only; no randomness and no time stamps, so every run writes
the same bytes.
"""

import hashlib
import os
import struct
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TUNE_PATH = os.path.join(ROOT, "resources", "sound", "zamba.mid")
FIXTURE_DIR = os.path.join(ROOT, "tests", "data", "music")

# ---------------------------------------------------------------------------
# A tiny Standard MIDI File writer
# ---------------------------------------------------------------------------

NOTE_OFF, NOTE_ON, CONTROL, PROGRAM = 0x80, 0x90, 0xB0, 0xC0
CC_VOLUME, CC_PAN, CC_REVERB, CC_CHORUS = 7, 10, 91, 93

# Events at the same tick are written in this order: a note that ends where
# the next one of the same pitch begins must be released before it is struck
# again, and a channel's set-up must come before its first note.
_ORDER_OFF, _ORDER_SETUP, _ORDER_ON = 0, 1, 2


def vlq(value):
    """Encodes a non-negative integer as a MIDI variable-length quantity."""
    if value < 0 or value > 0x0FFFFFFF:
        raise ValueError("delta time out of range: %d" % value)
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Track:
    """Collects timed events and serialises them as one MTrk chunk."""

    def __init__(self, name=None):
        self._events = []  # (tick, order, sequence, bytes)
        if name:
            self.meta(0, 0x03, name.encode("ascii"))

    def _add(self, tick, order, data):
        if tick < 0:
            raise ValueError("negative tick")
        self._events.append((tick, order, len(self._events), data))

    def meta(self, tick, kind, payload):
        self._add(tick, _ORDER_SETUP, bytes([0xFF, kind]) + vlq(len(payload)) + payload)

    def tempo(self, tick, bpm):
        self.meta(tick, 0x51, (60_000_000 // bpm).to_bytes(3, "big"))

    def time_signature(self, tick, numerator, denominator, clocks_per_click):
        power = denominator.bit_length() - 1
        if 1 << power != denominator:
            raise ValueError("denominator must be a power of two")
        self.meta(tick, 0x58, bytes([numerator, power, clocks_per_click, 8]))

    def key_signature(self, tick, sharps, minor=False):
        self.meta(tick, 0x59, bytes([sharps & 0xFF, 1 if minor else 0]))

    def program(self, tick, channel, number):
        self._add(tick, _ORDER_SETUP, bytes([PROGRAM | channel, number]))

    def control(self, tick, channel, number, value):
        self._add(tick, _ORDER_SETUP, bytes([CONTROL | channel, number, value]))

    def note(self, tick, length, channel, key, velocity):
        if length <= 0:
            raise ValueError("note without length")
        if not (0 <= key < 128 and 0 < velocity < 128):
            raise ValueError("key or velocity out of range")
        self._add(tick, _ORDER_ON, bytes([NOTE_ON | channel, key, velocity]))
        self._add(tick + length, _ORDER_OFF, bytes([NOTE_OFF | channel, key, 64]))

    def chunk(self, end_tick):
        """Returns the MTrk chunk with End-of-Track at end_tick."""
        events = sorted(self._events)
        if events and events[-1][0] > end_tick:
            raise ValueError("event at tick %d after the end %d" % (events[-1][0], end_tick))
        body = bytearray()
        now = 0
        for tick, _order, _seq, data in events:
            body += vlq(tick - now) + data
            now = tick
        body += vlq(end_tick - now) + b"\xff\x2f\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def midi_file(tracks, division, end_tick, fmt=1):
    if fmt == 0 and len(tracks) != 1:
        raise ValueError("format 0 holds exactly one track")
    header = b"MThd" + struct.pack(">IHHH", 6, fmt, len(tracks), division)
    return header + b"".join(t.chunk(end_tick) for t in tracks)


# ---------------------------------------------------------------------------
# The composition
# ---------------------------------------------------------------------------

DIVISION = 480  # ticks per crotchet
EIGHTH = DIVISION // 2
BAR = 6 * EIGHTH  # 6/8
BPM = 120  # crotchets per minute: a dotted crotchet of 80, a bar every 1.5 s

_PITCH_CLASS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def pitch(name):
    """'C4' is 60, 'F#3' is 54, 'Bb2' is 46."""
    base = _PITCH_CLASS[name[0]]
    rest = name[1:]
    if rest[:1] == "#":
        base, rest = base + 1, rest[1:]
    elif rest[:1] == "b":
        base, rest = base - 1, rest[1:]
    return 12 * (int(rest) + 1) + base


# Each bar of a line is written as "NOTE:eighths ...", with "r" for a rest;
# every bar must add up to six quavers.
INTRO_TUNE = [
    "r:6",
    "r:6",
    "G5:1 E5:1 C5:1 G5:1 E5:1 C5:1",
    "A5:2 F#5:2 E5:2",
]
A1_TUNE = [
    "D5:2 B4:1 G4:2 B4:1",
    "C5:2 E5:1 G5:2 E5:1",
    "D5:3 B4:1 C5:1 D5:1",
    "A4:2 F#4:2 A4:2",
    "D5:2 B4:1 G4:2 B4:1",
    "C5:2 E5:1 G5:2 A5:1",
    "A5:2 F#5:1 E5:1 D5:1 C5:1",
    "B4:2 A4:1 G4:3",
]
A2_TUNE = [
    "D5:2 B4:1 G4:2 B4:1",
    "C5:2 E5:1 G5:2 E5:1",
    "D5:2 G5:1 F#5:1 E5:1 D5:1",
    "C5:2 B4:2 A4:2",
    "B4:2 D5:1 G5:2 D5:1",
    "E5:2 C5:1 G5:2 E5:1",
    "D5:2 F#5:1 A5:2 C5:1",
    "B4:3 G4:3",
]
B_TUNE = [
    "B4:2 E5:1 G5:3",
    "A5:2 G5:1 E5:3",
    "F#5:2 E5:1 D5:2 A4:1",
    "B4:2 C5:2 D5:2",
    "E5:2 G5:1 E5:2 C5:1",
    "E5:2 C5:1 A4:2 C5:1",
    "D5:2 F#5:1 A5:2 F#5:1",
    "A5:2 G5:2 F#5:2",
]
# The last A ends with a pick-up into the tag instead of a full close.
A3_TUNE = A1_TUNE[:7] + ["B4:2 A4:1 G4:1 B4:1 D5:1"]
TAG_TUNE = [
    "E5:2 G5:2 E5:2",
    "D5:2 C5:2 A4:2",
    "G4:2 B4:1 D5:2 G5:1",
    "G5:1 D5:1 B4:1 G4:3",
]

# Harmony, one entry per bar. "/h" marks a hemiola bar (three crotchets
# instead of two dotted crotchets), the lilt of the dance; "walk" makes the
# bass climb D-E-F# back to the G that opens the piece.
INTRO_CHORDS = ["G", "G", "C", "D/h"]
A1_CHORDS = ["G", "C", "G", "D/h", "G", "C", "D7", "G"]
A2_CHORDS = ["G", "C", "G", "D7/h", "G", "C", "D7", "G"]
B_CHORDS = ["Em", "Am", "D", "G/h", "C", "Am", "D", "D7/h"]
A3_CHORDS = A1_CHORDS
TAG_CHORDS = ["C/h", "D7/h", "G", "G/walk"]

# Guitar voicings and the bass's root and alternate note for every chord.
VOICING = {
    "G": ["G3", "B3", "D4", "G4"],
    "C": ["G3", "C4", "E4", "G4"],
    "D": ["F#3", "A3", "D4", "F#4"],
    "D7": ["F#3", "A3", "C4", "D4"],
    "Em": ["E3", "G3", "B3", "E4"],
    "Am": ["E3", "A3", "C4", "E4"],
}
BASS = {
    "G": ("G2", "D2"),
    "C": ("C3", "G2"),
    "D": ("D2", "A2"),
    "D7": ("D2", "A2"),
    "Em": ("E2", "B2"),
    "Am": ("A2", "E2"),
}

# (name, tune, harmony, melody voices) in playing order. The flute sings B and
# then joins the marimba, softly, for the last A and the tag.
SECTIONS = [
    ("intro", INTRO_TUNE, INTRO_CHORDS, ["marimba"]),
    ("A", A1_TUNE, A1_CHORDS, ["marimba"]),
    ("A'", A2_TUNE, A2_CHORDS, ["marimba"]),
    ("B", B_TUNE, B_CHORDS, ["flute"]),
    ("A''", A3_TUNE, A3_CHORDS, ["marimba", "flute soft"]),
    ("tag", TAG_TUNE, TAG_CHORDS, ["marimba", "flute soft"]),
]

# channel, General MIDI program (0-based), volume, pan. The levels are set
# for a full mix through FluidSynth's default gain: the marimba's notes die
# away quickly, so it needs the most to stay in front.
PARTS = {
    "marimba": (0, 12, 127, 60),
    "bass": (1, 32, 118, 64),
    "guitar": (2, 24, 92, 44),
    "flute": (3, 73, 104, 80),
    "drums": (9, 0, 100, 70),
}
# melody voice: (part, velocity, extra on the bar's two main beats)
MELODY_VOICES = {
    "marimba": ("marimba", 112, 14),
    "flute": ("flute", 100, 10),
    "flute soft": ("flute", 74, 6),
}

# General MIDI percussion keys on channel 10.
KICK, MARACAS, CLAVES, TRIANGLE = 35, 70, 75, 81


def parse_bar(text):
    notes, at = [], 0
    for item in text.split():
        name, length = item.split(":")
        length = int(length)
        if name != "r":
            notes.append((at, length, pitch(name)))
        at += length
    if at != 6:
        raise ValueError("bar %r has %d quavers, not 6" % (text, at))
    return notes


def split_chord(entry):
    name, _, style = entry.partition("/")
    return name, style


def compose():
    """Returns (tracks, end tick) for the whole piece."""
    conductor = Track("Numbelo: zamba")
    conductor.time_signature(0, 6, 8, 36)  # metronome clicks on dotted crotchets
    conductor.key_signature(0, 1)  # G major
    conductor.tempo(0, BPM)

    melody = Track("Marimba")
    flute = Track("Flute")
    guitar = Track("Nylon guitar")
    bass = Track("Bass")
    drums = Track("Percussion")
    lines = {"marimba": melody, "flute": flute}
    for part, track in (("marimba", melody), ("flute", flute), ("guitar", guitar),
                        ("bass", bass), ("drums", drums)):
        channel, program, volume, pan = PARTS[part]
        track.program(0, channel, program)
        track.control(0, channel, CC_VOLUME, volume)
        track.control(0, channel, CC_PAN, pan)
        track.control(0, channel, CC_REVERB, 40)
        track.control(0, channel, CC_CHORUS, 0)

    bar = 0
    for label, tune, chords, voices in SECTIONS:
        if len(tune) != len(chords):
            raise ValueError("section %s: %d bars of tune, %d of chords" %
                             (label, len(tune), len(chords)))
        for index, (tune_bar, chord_entry) in enumerate(zip(tune, chords)):
            start = bar * BAR
            first_of_section = index == 0
            for voice in voices:
                write_melody(lines, start, tune_bar, voice)
            chord, style = split_chord(chord_entry)
            write_guitar(guitar, start, chord, style)
            write_bass(bass, start, chord, style)
            write_drums(drums, start, label, index, style, first_of_section)
            bar += 1

    return [conductor, melody, flute, guitar, bass, drums], bar * BAR


def write_melody(lines, start, text, voice):
    part, velocity, accent = MELODY_VOICES[voice]
    channel = PARTS[part][0]
    for at, length, key in parse_bar(text):
        # notes on the bar's two main beats lean a little harder
        lean = accent if at in (0, 3) else 0
        lines[part].note(start + at * EIGHTH, length * EIGHTH, channel, key, velocity + lean)


def write_guitar(track, start, chord, style):
    channel = PARTS["guitar"][0]
    keys = [pitch(n) for n in VOICING[chord]]
    if style == "h":
        strokes = [(0, 2, 94), (2, 2, 80), (4, 2, 82)]
    else:
        # strum - stroke, strum - stroke: the dance's lilting step
        strokes = [(0, 2, 94), (2, 1, 72), (3, 2, 86), (5, 1, 72)]
    for at, length, velocity in strokes:
        begin = start + at * EIGHTH
        end = begin + length * EIGHTH
        for string, key in enumerate(keys):
            # a downward strum reaches the higher strings a little later
            track.note(begin + 12 * string, end - begin - 12 * string, channel, key,
                       velocity - 3 * string)


def write_bass(track, start, chord, style):
    channel = PARTS["bass"][0]
    root, other = (pitch(n) for n in BASS[chord])
    if style == "h":
        notes = [(0, 2, root, 96), (2, 2, other, 84), (4, 2, root, 88)]
    elif style == "walk":
        notes = [(0, 3, root, 96), (3, 1, pitch("D2"), 84), (4, 1, pitch("E2"), 86),
                 (5, 1, pitch("F#2"), 90)]
    else:
        notes = [(0, 3, root, 96), (3, 3, other, 84)]
    for at, length, key, velocity in notes:
        track.note(start + at * EIGHTH, length * EIGHTH, channel, key, velocity)


def write_drums(track, start, section, index, style, first_of_section):
    channel = PARTS["drums"][0]

    def hit(at, key, velocity):
        track.note(start + at * EIGHTH, EIGHTH, channel, key, velocity)

    # maracas on every quaver, stronger on the two beats
    for at in range(6):
        hit(at, MARACAS, 84 if at in (0, 3) else 62)
    # a soft kick keeps the 6/8 pulse even under the hemiola bars
    hit(0, KICK, 96)
    hit(3, KICK, 78)
    if first_of_section and section != "intro":
        hit(0, TRIANGLE, 72)
    if section == "intro" and index < 2:
        return
    if style == "walk":
        for at in (3, 4, 5):
            hit(at, CLAVES, 72 + 8 * (at - 3))
    elif section in ("B", "tag"):
        for at in (0, 2, 4):  # three against the bass's two
            hit(at, CLAVES, 80 if at == 0 else 68)
    else:
        hit(2, CLAVES, 70)
        hit(5, CLAVES, 70)


def build_tune():
    tracks, end = compose()
    return midi_file(tracks, DIVISION, end)


# ---------------------------------------------------------------------------
# Test files for the music player
# ---------------------------------------------------------------------------

def build_short():
    """Two seconds at 120 bpm: one bar of 4/4, four piano crotchets."""
    track = Track("Short")
    track.time_signature(0, 4, 4, 24)
    track.tempo(0, 120)
    track.program(0, 0, 0)
    for beat, name in enumerate(["C5", "E5", "G5", "C6"]):
        track.note(beat * DIVISION, DIVISION, 0, pitch(name), 90)
    return midi_file([track], DIVISION, 4 * DIVISION, fmt=0)


def build_notes_none():
    """A well-formed file whose only track holds just End-of-Track."""
    return midi_file([Track()], DIVISION, 0, fmt=0)


def build_garbage(size=512):
    """Deterministic noise from a hash chain; never begins with MThd."""
    out = bytearray()
    block = b"numbelo garbage"
    while len(out) < size:
        block = hashlib.sha256(block).digest()
        out += block
    out = bytes(out[:size])
    if out.startswith(b"MThd"):  # cannot happen with this seed; kept as a guard
        out = b"\x00" + out[1:]
    return out


def build_fixtures(tune):
    return {
        "short.mid": build_short(),
        "empty.mid": b"",
        "garbage.mid": build_garbage(),
        "truncated.mid": tune[:40],
        "notes_none.mid": build_notes_none(),
    }


# ---------------------------------------------------------------------------
# Reading back, for --check
# ---------------------------------------------------------------------------

def read_midi(data):
    """Parses an SMF strictly. Returns (format, division, tracks); each track
    is a list of (tick, status, payload). Raises ValueError on any fault."""
    if data[:4] != b"MThd" or len(data) < 14:
        raise ValueError("no MThd header")
    length, fmt, ntracks, division = struct.unpack(">IHHH", data[4:14])
    if length != 6 or fmt not in (0, 1) or division & 0x8000:
        raise ValueError("unsupported header")
    pos, tracks = 14, []
    for _ in range(ntracks):
        if data[pos:pos + 4] != b"MTrk":
            raise ValueError("missing MTrk at byte %d" % pos)
        (size,) = struct.unpack(">I", data[pos + 4:pos + 8])
        body = data[pos + 8:pos + 8 + size]
        if len(body) != size:
            raise ValueError("track chunk cut short")
        tracks.append(_read_track(body))
        pos += 8 + size
    if pos != len(data):
        raise ValueError("%d stray bytes after the last track" % (len(data) - pos))
    return fmt, division, tracks


def _read_track(body):
    events, pos, tick, status = [], 0, 0, None

    def read_vlq():
        nonlocal pos
        value = 0
        for _ in range(4):
            byte = body[pos]
            pos += 1
            value = (value << 7) | (byte & 0x7F)
            if not byte & 0x80:
                return value
        raise ValueError("overlong variable-length number")

    while pos < len(body):
        tick += read_vlq()
        if body[pos] & 0x80:
            status = body[pos]
            pos += 1
        elif status is None or status >= 0xF0:
            raise ValueError("running status without a status byte")
        if status == 0xFF:
            kind = body[pos]
            pos += 1
            size = read_vlq()
            events.append((tick, 0xFF, bytes([kind]) + body[pos:pos + size]))
            pos += size
            if kind == 0x2F:
                if pos != len(body):
                    raise ValueError("events after End-of-Track")
                return events
        elif status in (0xF0, 0xF7):
            size = read_vlq()
            pos += size
        else:
            size = 1 if status & 0xF0 in (0xC0, 0xD0) else 2
            events.append((tick, status, body[pos:pos + size]))
            pos += size
    raise ValueError("track without End-of-Track")


def summarise(data):
    """Checks that every note is released inside its track and returns the
    facts worth printing."""
    fmt, division, tracks = read_midi(data)
    tempo, ends, notes, programs = 500000, set(), 0, {}
    for track in tracks:
        sounding = {}
        for tick, status, payload in track:
            kind, channel = status & 0xF0, status & 0x0F
            if status == 0xFF and payload[0] == 0x51:
                tempo = int.from_bytes(payload[1:4], "big")
            elif status == 0xFF and payload[0] == 0x2F:
                ends.add(tick)
            elif kind == PROGRAM:
                programs[channel] = payload[0]
            elif kind == NOTE_ON and payload[1] > 0:
                if (channel, payload[0]) in sounding:
                    raise ValueError("key %d struck twice at %d" % (payload[0], tick))
                sounding[(channel, payload[0])] = tick
                notes += 1
            elif kind == NOTE_OFF or kind == NOTE_ON:
                if sounding.pop((channel, payload[0]), None) is None:
                    raise ValueError("key %d released but not held, at %d" % (payload[0], tick))
        if sounding:
            raise ValueError("notes left sounding: %r" % sorted(sounding))
    if len(ends) != 1:
        raise ValueError("tracks end at different ticks: %r" % sorted(ends))
    total = ends.pop()
    return {
        "format": fmt,
        "tracks": len(tracks),
        "division": division,
        "total_ticks": total,
        "seconds": total * tempo / division / 1e6,
        "notes": notes,
        "programs": programs,
    }


def last_note_end(data):
    _fmt, _division, tracks = read_midi(data)
    return max((tick for track in tracks for tick, status, _ in track
                if status & 0xF0 in (NOTE_OFF, NOTE_ON)), default=0)


def check(tune, fixtures):
    if build_tune() != tune:
        raise SystemExit("check: a second build differs; the output is not deterministic")
    facts = summarise(tune)
    if facts["total_ticks"] != 40 * BAR or last_note_end(tune) != facts["total_ticks"]:
        raise SystemExit("check: the tune does not end on its last note")
    print("zamba.mid: format %(format)d, %(tracks)d tracks, division %(division)d, "
          "%(total_ticks)d ticks, %(seconds).2f s, %(notes)d notes, programs %(programs)s"
          % facts)
    if fixtures is None:
        return
    short = summarise(fixtures["short.mid"])
    if abs(short["seconds"] - 2.0) > 1e-9 or short["notes"] == 0:
        raise SystemExit("check: short.mid is not a 2-second tune")
    none = summarise(fixtures["notes_none.mid"])
    if none["total_ticks"] != 0 or none["notes"] != 0:
        raise SystemExit("check: notes_none.mid is not empty")
    for name in ("empty.mid", "garbage.mid", "truncated.mid"):
        try:
            read_midi(fixtures[name])
        except (ValueError, IndexError, struct.error):
            continue
        raise SystemExit("check: %s parses but should not" % name)
    if len(fixtures["garbage.mid"]) != 512 or fixtures["empty.mid"] != b"":
        raise SystemExit("check: garbage.mid or empty.mid has the wrong size")
    print("fixtures: short.mid %.2f s, notes_none.mid 0 ticks, empty/garbage/truncated rejected"
          % short["seconds"])


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def main(argv):
    unknown = [a for a in argv if a not in ("--fixtures", "--check")]
    if unknown:
        print("usage: make_tune.py [--fixtures] [--check]", file=sys.stderr)
        return 2
    tune = build_tune()
    write(TUNE_PATH, tune)
    fixtures = None
    if "--fixtures" in argv:
        fixtures = build_fixtures(tune)
        for name, data in fixtures.items():
            write(os.path.join(FIXTURE_DIR, name), data)
    if "--check" in argv:
        check(tune, fixtures)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
