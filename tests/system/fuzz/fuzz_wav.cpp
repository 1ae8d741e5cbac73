// SPDX-License-Identifier: GPL-3.0-or-later
// A sound file of any content: decoding gives nothing, or a sound of sane length and samples
// the mixer can add up.
#include "platform/portable/Sound.h"
#include "platform/portable/SoundLibrary.h"

#include <SDL.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto sound = decodeWav(data, size);
    if (sound == nullptr)
        return 0;
    // Sound effects last seconds; ten minutes (230 MB once converted) is no sound the program
    // can mean, whatever rate a header claims.
    constexpr int longestFrames = Audio::sampleRate * 600;
    if (sound->frames() <= 0 || sound->frames() > longestFrames ||
        (sound->channels != 1 && sound->channels != 2) ||
        sound->samples.size() != std::size_t(sound->frames()) * std::size_t(sound->channels)) {
        std::fprintf(stderr, "%zu bytes decoded to %d frames\n", size, sound->frames());
        std::abort();
    }
    return 0;
}
