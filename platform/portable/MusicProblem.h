// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What went wrong with the music, as a value: the kind of failure and what it concerns. The
// music control turns it into the sentence the child's error box shows (music/MusicTexts.h).
struct MusicProblem
{
    enum class Kind
    {
        None,
        NoOutput, // there is no sound output to play on
        NotOpen,  // a command needs an open piece
        // What checking the MIDI file `file` found (MidiFile.h):
        FileMissing,     // there is no file by that name
        NotAFile,        // a folder, or some other thing that is not a file
        FileTooLarge,    // far bigger than any tune: not read into memory
        FileUnreadable,  // the file cannot be read
        FileEmpty,       // no bytes at all
        NotMidi,         // no MIDI header: some other kind of file, or garbage
        FileTruncated,   // the file ends in the middle of a chunk or an event
        FileCorrupt,     // a chunk or an event that no MIDI file contains
        FileUnsupported, // valid MIDI in a form the sequencer cannot play (format 2, SMPTE time)
        NoMusic,         // valid, but without a note or without length: nothing would be heard
        // What playing it found:
        NoInstruments,         // no SoundFont was found; `package` installs one
        InstrumentsUnusable,   // `file` is not a usable SoundFont; `package` installs one
        InstrumentsUnloadable, // `file` could not be loaded; `package` installs it again
        SynthesizerMissing,    // the library `file` cannot be loaded; `package` installs it
        SynthesizerIncomplete, // the library `file` lacks the function `detail`
        SynthesizerFailed,     // the synthesizer would not start
        PlayerFailed,          // the piece could not be prepared, started or moved
        PlatformText,          // the system's own words for it, in `detail`
    };

    MusicProblem() = default;
    MusicProblem(Kind what, QString concerned = {}, QString more = {}, QString mends = {})
        : kind(what), file(std::move(concerned)), detail(std::move(more)), package(std::move(mends))
    {}

    Kind kind = Kind::None;
    QString file;    // the file or library concerned
    QString detail;  // a missing function, or the system's own words
    QString package; // the package that would mend it, where the system has packages

    explicit operator bool() const { return kind != Kind::None; }
};
