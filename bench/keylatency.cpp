// SPDX-License-Identifier: GPL-3.0-or-later
// From a digit key pressed in the answer box to the first sample of its spoken digit handed
// to the audio device (SDL's dummy driver, which pulls periods in real time like a card).
//
//   keylatency [PRESSES]
#include "AudioEngine.h"
#include "DesktopOpener.h"
#include "ProgramFolders.h"
#include "SdlAudioOutput.h"
#include "Startup.h"
#include "TfoMain.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication application(argc, argv);
    prepareApplication(application);
    const int presses = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;

    AudioEngine audio(std::make_unique<SdlAudioOutput>());
    const ProgramFolders folders =
        ProgramFolders::forExecutable(QCoreApplication::applicationFilePath());
    audio.setSoundFolders(folders.soundDirs());
    SystemDesktopOpener desktop;
    TfoMain window({folders, audio, &audio.mixer(), desktop});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.PlayGame(nullptr);

    using Clock = Mixer::Clock;
    std::vector<double> latencies;
    for (int i = 0; i < presses; ++i) {
        window.edAnswer->clear();
        const Mixer::Clock::time_point before = audio.mixer().lastEffectFirstMixed();
        const Qt::Key digit = Qt::Key(Qt::Key_0 + i % 10);
        const auto pressed = Clock::now();
        QTest::keyClick(window.edAnswer, digit);
        Clock::time_point mixed;
        while ((mixed = audio.mixer().lastEffectFirstMixed()) == before)
            std::this_thread::yield();
        latencies.push_back(std::chrono::duration<double, std::milli>(mixed - pressed).count());
        // Let the digit play a little, as a child types.
        std::this_thread::sleep_for(std::chrono::milliseconds(37 + 13 * (i % 7)));
    }
    std::sort(latencies.begin(), latencies.end());
    const double period = 1000.0 * audio.periodFrames() / std::max(1, audio.sampleRate());
    std::printf("key to first sample of the digit, %d presses: median %.2f ms, max %.2f ms\n",
                presses, latencies[latencies.size() / 2], latencies.back());
    std::printf("audio period %.2f ms (%d frames at %d Hz); target <= %.2f ms: %s\n", period,
                audio.periodFrames(), audio.sampleRate(), period + 2.0,
                latencies.back() <= period + 2.0 ? "pass" : "fail");
    return 0;
}
