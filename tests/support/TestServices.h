// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/TfoMain.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProgramFolders.h"

#include <QCoreApplication>
#include <memory>

// The folders of the running test program. It sits beside the real program in the build
// folder, so both find the same sound folder.
inline ProgramFolders testProgramFolders()
{
    return ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
}

// The system's music, played into `mixer` where it plays through the program's mixer, with what
// it needs found from the test's folders as the program finds it.
inline std::unique_ptr<MusicSystem> testMusic(Mixer *mixer)
{
    return makeSystemMusic(mixer, testProgramFolders());
}

// What a test hands the main window in place of the program's own services: its own folders,
// and the sounds, music and desktop it wants to watch.
inline TfoMainServices testServices(SoundSink &sounds, MusicSystem &music, DesktopOpener &opener)
{
    return {testProgramFolders(), sounds, music, opener};
}
