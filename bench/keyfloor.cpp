// SPDX-License-Identifier: GPL-3.0-or-later
// The key-path floor keytoear times the program against where the program is a Qt program on
// its own (under Wine): a bare Qt window that starts a loud 100 ms tone through SDL2 the moment
// a digit key reaches it. It pays the same X server, the same Qt and the same SDL output at the
// program's own settings (48 kHz stereo float, the program's period, the device kept open) and
// nothing else: no mixer, no sound files, no lesson.
//
//   keyfloor [FRAMES]   (its window is titled "keyfloor"; without FRAMES, the program's
//                        request, SdlRequest.h; with, SDL is asked for that period and cuts and
//                        joins it to the driver's own where that differs; 0: fed in the
//                        driver's own period)
//
// Tells on standard error the driver SDL chose, the period that driver runs at by itself and
// the one the floor is fed in.
#include "platform/portable/Sound.h"
#include "platform/sdl/SdlRequest.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>
// The program's own entry point, not SDL's.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>

namespace {
std::atomic<bool> keyPressed = false;
int toneLeft = 0; // frames; the audio thread's own
double phase = 0;

void play(void *, Uint8 *stream, int length)
{
    auto *out = reinterpret_cast<float *>(stream);
    const int frames = length / int(Audio::channels * sizeof(float));
    if (keyPressed.exchange(false))
        toneLeft = Audio::sampleRate / 10;
    for (int f = 0; f < frames; ++f) {
        float value = 0;
        if (toneLeft > 0) {
            value = 0.5f * float(std::sin(phase));
            phase += 2 * std::numbers::pi * 1000 / Audio::sampleRate;
            --toneLeft;
        }
        for (int c = 0; c < Audio::channels; ++c)
            out[Audio::channels * f + c] = value;
    }
}

class FloorWindow : public QWidget
{
  protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() >= Qt::Key_0 && event->key() <= Qt::Key_9)
            keyPressed = true;
    }
};
} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "keyfloor: %s\n", SDL_GetError());
        return 1;
    }
    // The program's request, or one of another period (FRAMES), or the driver's own (0).
    SDL_AudioSpec wanted = sdlRequest(&play, nullptr);
    int allowedChanges = sdlAllowedChanges;
    if (const int frames = argc > 1 ? std::atoi(argv[1]) : -1; frames == 0) {
        allowedChanges = SDL_AUDIO_ALLOW_SAMPLES_CHANGE;
    } else if (frames > 0) {
        wanted.samples = Uint16(frames);
        allowedChanges = 0;
    }
    // The period the driver itself runs at, whatever is asked: a stream that may take it says.
    SDL_AudioSpec own{};
    const SDL_AudioDeviceID probe =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &own, SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
    if (probe != 0)
        SDL_CloseAudioDevice(probe);
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device =
        SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, allowedChanges);
    if (device == 0) {
        std::fprintf(stderr, "keyfloor: %s\n", SDL_GetError());
        return 1;
    }
    SDL_PauseAudioDevice(device, 0);
    std::fprintf(stderr,
                 "keyfloor: %s, %d frames asked, the driver's period %d frames, fed %d frames\n",
                 SDL_GetCurrentAudioDriver(), wanted.samples, probe != 0 ? own.samples : 0,
                 obtained.samples);
    std::fflush(stderr);

    FloorWindow window;
    window.setWindowTitle(QStringLiteral("keyfloor"));
    window.resize(334, 254);
    window.show();
    const int status = QApplication::exec();
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return status;
}
