// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class SoundSink;

// The folder the program runs from, with a trailing slash; set once when the main window is
// created. Sounds and music are found under it.
extern QString AppDir;

// The folder of a program file: the path cut after its last '/', '\' or ':'.
QString folderOfExecutable(const QString &executablePath);

// The installed data folders, in order: the one beside the program's own folder
// (<prefix>/share/numbelo/ for <prefix>/bin/, so that an installed tree can be moved), then the
// one the program was built for. Each ends with a slash.
QStringList dataFolders();

// Where the sound effects are looked for, in order: beside the program, then in the
// installed data folders.
QStringList soundFolders();

// Plays one effect from the sound folder without waiting; a new sound cuts off the old one.
// Never fails: a sound that cannot be played gives the default sound, and without a sound
// device nothing is heard.
void PlaySoundFile(const QString &name);

// Where PlaySoundFile sends its sounds (the audio engine; a recorder in tests). Null keeps
// the program silent.
void setSoundSink(SoundSink *sink);
