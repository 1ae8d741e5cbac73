// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "AudioEngine.h"
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
    setSoundSink(&audio);

    QApplication application(argc, argv);
    prepareApplication(application);

    TfoMain foMain(&audio.mixer());
    audio.setSoundFolders(soundFolders());
    foMain.show();
    const int result = QApplication::exec();
    setSoundSink(nullptr);
    return result;
}
