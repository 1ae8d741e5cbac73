// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TfoMain.h"
#include "platform/portable/AudioEngine.h"
#include "platform/portable/DesktopOpener.h"
#include "platform/portable/MusicDevice.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/sdl/SdlAudioOutput.h"
#include "program/FontWarmUp.h"
#include "program/SoundActivity.h"
#include "program/Startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The font configuration is read while the application connects to the display.
    FontWarmUp fonts;
    QApplication application(argc, argv);
    fonts.wait();
    prepareApplication(application);

    // Where the program's files are is decided here, once, and handed to all that looks.
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    // The sound starts once the window has painted its first frame: loading SDL, decoding the
    // sounds and opening the device then run on the engine's worker thread. A sound asked
    // for before (the window's greeting) plays as soon as the device runs.
    //
    // Opening the device may start a helper process while the program has other threads:
    // with no session bus, SDL's audio start-up has libdbus fork and execute dbus-launch. Qt's
    // own D-Bus thread does the same in every window before it is painted, so the program
    // already forks while threaded; the child only executes the helper.
    AudioEngine audio(std::make_unique<SdlAudioOutput>());
    audio.setSoundFolders(folders.soundDirs());
    followSoundActivity(
        application, [&audio] { audio.start(); }, [&audio] { audio.wake(); });
    // The music and the desktop are the system's own: FluidSynth and xdg-open on Linux.
    const std::unique_ptr<MusicSystem> music = makeSystemMusic(&audio.mixer(), folders);
    const std::unique_ptr<DesktopOpener> desktop = makeSystemDesktopOpener();

    TfoMain foMain({folders, audio, *music, *desktop});
    foMain.show();
    return QApplication::exec();
}
