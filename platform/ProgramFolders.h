// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Where the program and its data live, decided once when it starts and handed to whoever
// looks for a file: the sounds and the music beside the program first, then in the installed
// data folders. Every folder ends with a slash.
struct ProgramFolders
{
    // The folder of the running program.
    QString programDir;
    // The installed data folders, in order: the one beside the program's own folder
    // (<prefix>/share/numbelo/ for <prefix>/bin/, so that an installed tree can be moved),
    // then the one the program was built for.
    QStringList dataDirs;

    // Where the sound effects and the music are looked for: "sound/" beside the program, then
    // in each data folder.
    QStringList soundDirs() const;

    // The folders of the program at `executablePath`.
    static ProgramFolders forExecutable(const QString &executablePath);
};

// The folder of a program file: the path cut after its last '/', '\' or ':'.
QString folderOfExecutable(const QString &executablePath);
