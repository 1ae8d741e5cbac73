// SPDX-License-Identifier: GPL-3.0-or-later
// The quickest a key can be heard through SDL on this machine, the reference keytoear times the
// program against: a bare X window and one SDL output of 256 frames (5.3 ms) at 48 kHz, on the
// driver SDL_AUDIODRIVER names; every key but BackSpace starts a loud 100 ms tone at the next
// period. No toolkit, no mixer, no files.
//
//   bareclient      (its window is titled "bareclient"; ends when the window is closed or
//                    the process is signalled)
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <atomic>
#include <cmath>
#include <cstdio>

namespace {
std::atomic<bool> keyPressed = false;
int toneLeft = 0; // frames; the audio thread's own
double phase = 0;

void play(void *, Uint8 *stream, int length)
{
    auto *out = reinterpret_cast<float *>(stream);
    const int frames = length / int(2 * sizeof(float));
    if (keyPressed.exchange(false))
        toneLeft = 4800;
    for (int f = 0; f < frames; ++f) {
        float value = 0;
        if (toneLeft > 0) {
            value = 0.5f * float(std::sin(phase));
            phase += 2 * M_PI * 1000 / 48000;
            --toneLeft;
        }
        out[2 * f] = out[2 * f + 1] = value;
    }
}
} // namespace

int main()
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "bareclient: %s\n", SDL_GetError());
        return 1;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = 48000;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = 256;
    wanted.callback = &play;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        std::fprintf(stderr, "bareclient: %s\n", SDL_GetError());
        return 1;
    }
    SDL_PauseAudioDevice(device, 0);
    std::printf("bareclient: %s, %d frames\n", SDL_GetCurrentAudioDriver(), obtained.samples);
    std::fflush(stdout);

    Display *display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return 1;
    const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100,
                                              0, 0, WhitePixel(display, 0));
    XStoreName(display, window, "bareclient");
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == KeyPress && XLookupKeysym(&event.xkey, 0) != XK_BackSpace)
            keyPressed = true;
        else if (event.type == DestroyNotify)
            break;
    }
    SDL_CloseAudioDevice(device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
}
