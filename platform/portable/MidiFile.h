// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/MusicProblem.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>

// What a Standard MIDI File holds, as far as playing it is concerned.
struct MidiFileSummary
{
    int format = 0;      // 0: one track, 1: tracks played together
    int tracks = 0;      // track chunks read
    int division = 0;    // ticks per quarter note
    int lengthTicks = 0; // the tick at which the last track ends
    int notes = 0;       // note-on events with a velocity above 0
};

// Why a file cannot be played, as one of the music's problems (the file's own: FileMissing to
// NoMusic), or None.
struct MidiFileCheck
{
    MusicProblem::Kind problem = MusicProblem::Kind::None;
    MidiFileSummary summary;

    bool playable() const { return problem == MusicProblem::Kind::None; }
};

// Reads the whole file held in memory, every chunk and every event, so that a file the
// sequencer would silently turn into an empty piece is refused before it is played.
MidiFileCheck checkMidiFile(const std::uint8_t *data, std::size_t size);

// The file at `path`, read and checked as a whole; its bytes when it can be played.
struct MidiFileRead
{
    MidiFileCheck check;
    QByteArray bytes;
};
MidiFileRead readMidiFile(const QString &path);
