// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioEngine.h"
#include "DesktopOpener.h"
#include "ProgramFolders.h"
#include "SdlAudioOutput.h"
#include "Startup.h"
#include "TfoMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // The sound device is opened first, while the program has no other thread: opening it may
    // start helper processes (a sound server, a session bus), and starting a process is only
    // safe from a program that is not busy on other threads.
    AudioEngine audio(std::make_unique<SdlAudioOutput>());

    QApplication application(argc, argv);
    prepareApplication(application);

    // Where the program's files are is decided here, once, and handed to all that looks.
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    audio.setSoundFolders(folders.soundDirs());
    SystemDesktopOpener desktop;

    TfoMain foMain({folders, audio, &audio.mixer(), desktop});
    foMain.show();
    return QApplication::exec();
}
