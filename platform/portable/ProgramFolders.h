// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where the program and its data live, decided once when it starts and handed to whoever
// looks for a file. Every file the program reads is found here, in one order: beside the
// program first, then in the installed data folders. Every folder ends with a slash.
struct ProgramFolders
{
    // The folder of the running program.
    QString programDir;
    // The installed data folders, in order: the one beside the program's own folder
    // (<prefix>/share/numbelo/ for <prefix>/bin/, so that an installed tree can be moved),
    // then the one the program was built for.
    QStringList dataDirs;

    // Where the sound effects and the music are looked for: "sound/" beside the program, then
    // in each data folder; the folder's name, like its files', matches without regard to case.
    QStringList soundDirs() const;
    // The sound or music file `name` in the first of soundDirs() that has it, names matching
    // without regard to case; empty when none has it.
    QString soundFile(const QString &name) const;
    // The readme: in the current folder first, as a program started from a console expects;
    // then beside the program and in the data folders, where a program started from a menu
    // finds it. Empty when there is none.
    QString readme() const;
    // Where the music's instruments (a General MIDI SoundFont) are looked for, in order: beside
    // the program and in its sound folder, then the SoundFont folders of the user and of the
    // system.
    QStringList soundFontCandidates() const;

    // The folders of the program at `executablePath`.
    static ProgramFolders forExecutable(const QString &executablePath);
};

// The SoundFont the music is played with: the first of `candidates` that is one. When none is,
// `unusable` names the first of them that exists but is no SoundFont.
struct FoundSoundFont
{
    QString path;
    QString unusable;
};
FoundSoundFont findSoundFont(const QStringList &candidates);

// The folder of a program file: the path cut after its last '/', '\' or ':'.
QString folderOfExecutable(const QString &executablePath);

// Finds `name` in the first of `folders` that has it. Names match without regard to case,
// because the program asks for "toeng.wav" and "Toeng.wav" alike; the case rules are Unicode's,
// the same under every locale. Only a bare file name is looked for: one with a path in it
// never leaves the folders. Returns the full path, or an empty string when no folder has it.
QString findFileIgnoringCase(const QStringList &folders, const QString &name);
