// SPDX-License-Identifier: GPL-3.0-or-later
#include "music/MusicTexts.h"

#include "platform/portable/MusicDevice.h"

QString musicProblemText(const MusicProblem &problem)
{
    using Kind = MusicProblem::Kind;
    const QString file = QStringLiteral("The music file \"%1\"").arg(problem.file);
    switch (problem.kind) {
    case Kind::None:
        return QString();
    case Kind::NoOutput:
        return QStringLiteral("There is no sound output for the music");
    case Kind::NotOpen:
        return QStringLiteral("The music is not open");
    case Kind::FileMissing:
        return file + QStringLiteral(" cannot be found");
    case Kind::NotAFile:
        return file + QStringLiteral(" is not a file");
    case Kind::FileTooLarge:
        return file + QStringLiteral(" is too large to be a tune");
    case Kind::FileUnreadable:
        return file + QStringLiteral(" cannot be read");
    case Kind::FileEmpty:
        return file + QStringLiteral(" is empty");
    case Kind::NotMidi:
        return file + QStringLiteral(" is not a MIDI file");
    case Kind::FileTruncated:
        return file + QStringLiteral(" is incomplete: it ends in the middle of its data");
    case Kind::FileCorrupt:
        return file + QStringLiteral(" is damaged");
    case Kind::FileUnsupported:
        return file + QStringLiteral(" is in a MIDI format that cannot be played");
    case Kind::NoMusic:
        return file + QStringLiteral(" contains no music");
    case Kind::NoInstruments:
        return QStringLiteral("No instrument sounds (a General MIDI SoundFont) were found for "
                              "the music; install the package %1")
            .arg(problem.package);
    case Kind::InstrumentsUnusable:
        return QStringLiteral("The instrument sounds in \"%1\" cannot be used; install the "
                              "package %2 again")
            .arg(problem.file, problem.package);
    case Kind::InstrumentsUnloadable:
        return QStringLiteral("The instrument sounds in \"%1\" cannot be loaded; install the "
                              "package %2 again")
            .arg(problem.file, problem.package);
    case Kind::SynthesizerMissing:
        return QStringLiteral("The synthesizer for the music (%1) cannot be loaded; install the "
                              "package %2")
            .arg(problem.file, problem.package);
    case Kind::SynthesizerIncomplete:
        return QStringLiteral("The synthesizer for the music (%1) cannot be used: it has no %2; "
                              "install the package %3 again")
            .arg(problem.file, problem.detail, problem.package);
    case Kind::SynthesizerFailed:
        return QStringLiteral("The synthesizer for the music cannot be started");
    case Kind::PlayerFailed:
        return QStringLiteral("The music cannot be played");
    case Kind::PlatformText:
        return problem.detail;
    }
    return QString();
}
