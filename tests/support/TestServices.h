// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TfoMain.h"
#include "platform/portable/ProgramFolders.h"

#include <QCoreApplication>

// The folders of the running test program. It sits beside the real program in the build
// folder, so both find the same sound folder.
inline ProgramFolders testProgramFolders()
{
    return ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
}

// What a test hands the main window in place of the program's own services: its own folders,
// and the sounds, music and desktop it wants to watch.
inline TfoMainServices testServices(SoundSink &sounds, Mixer *music, DesktopOpener &opener)
{
    return {testProgramFolders(), sounds, music, opener};
}
