// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TfoMain.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/DesktopOpener.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProcessSetUp.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/sdl/SdlAudioOutput.h"
#include "startup/FontWarmUp.h"
#include "startup/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // Before any library is opened: none comes from the current folder.
    restrictLibrarySearch();
    // From the first moment to the last, installers leave the program's files alone.
    markProgramRunning();
    // The program's faces are made ready while the application connects to the display.
    FontWarmUp fonts;
    QApplication application(argc, argv);
    fonts.wait();

    // Where the program's files are is decided here, once, and handed to all that looks.
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    AudioEngine audio(std::make_unique<SdlAudioOutput>());
    audio.setSoundFolders(folders.soundDirs());
    // The sound starts once the window has painted its first frame (SDL loaded, the sounds
    // decoded and the device opened on the engine's thread); a sound asked for before plays as
    // soon as the device runs. A key pressed, a click, a menu or the window activated wakes
    // the device again when it was closed for being idle.
    prepareApplication(application, {.startAfterFirstPaint = [&audio] { audio.start(); },
                                     .wakeOnActivity = [&audio] { audio.wake(); }});
    // The music and the desktop are the system's own: FluidSynth and xdg-open on Linux, the
    // multimedia sequencer, the shell and Notepad on Windows.
    const std::unique_ptr<MusicSystem> music = makeSystemMusic(&audio.mixer(), folders);
    const std::unique_ptr<DesktopOpener> desktop = makeSystemDesktopOpener();

    TfoMain foMain({folders, audio, *music, *desktop});
    foMain.show();
    return QApplication::exec();
}
