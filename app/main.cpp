// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "AudioEngine.h"
#include "SdlAudioOutput.h"
#include "Startup.h"
#include "TfoMain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    prepareApplication(application);

    AudioEngine audio(std::make_unique<SdlAudioOutput>());
    setSoundSink(&audio);

    TfoMain foMain(&audio.mixer());
    audio.setSoundFolders(soundFolders());
    foMain.show();
    const int result = QApplication::exec();
    setSoundSink(nullptr);
    return result;
}
