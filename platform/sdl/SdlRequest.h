// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Sound.h"

#include <SDL_audio.h>

// What the program asks of SDL's output (and what the key-path benchmark floor asks, so that it
// stays at the program's settings): the mix's format, 48 kHz stereo float, which SDL converts
// from when the device wants another, and a period of Audio::periodFrames.
//
// The period is a request, and the driver decides. PulseAudio's driver asks the server for that
// much buffering, PipeWire's sets it as the graph's quantum and ALSA gets two such periods. SDL
// 2.26's WASAPI output (Windows) ignores it: it runs at the device's default period
// (IAudioClient::GetDevicePeriod; 10 ms, 480 frames at 48 kHz, in Windows' shared mode and under
// Wine alike) with a buffer of WASAPI's own choosing, and SDL cuts and joins the mix's 256-frame
// periods to that through an audio stream of its own. Taking the driver's period instead
// (SDL_AUDIO_ALLOW_SAMPLES_CHANGE) was measured under Wine, 40 keys each in turns at a
// PulseAudio sink: key to ear 37.2 ms median either way (36.7 ms fed in 256 frames), so the
// request stays the same on every driver.
inline SDL_AudioSpec sdlRequest(SDL_AudioCallback callback, void *userdata)
{
    SDL_AudioSpec wanted{};
    wanted.freq = Audio::sampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = Audio::channels;
    wanted.samples = Audio::periodFrames;
    wanted.callback = callback;
    wanted.userdata = userdata;
    return wanted;
}

// Nothing may differ from the request: SDL converts the format and feeds the mix in its periods.
constexpr int sdlAllowedChanges = 0;
