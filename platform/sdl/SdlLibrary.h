// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/SharedLibrary.h"

#include <SDL.h>

// SDL2, loaded the first time sound needs it rather than when the program starts: SDL brings
// some thirty libraries with it, which the first frame of the window does not need. Only the
// functions the sound output and the WAV decoder use are looked up.
// Every function of SDL the program uses.
#define NUMBELO_SDL_FUNCTIONS(F)                                                                   \
    F(SDL_SetHint)                                                                                 \
    F(SDL_SetHintWithPriority)                                                                     \
    F(SDL_ResetHint)                                                                               \
    F(SDL_InitSubSystem)                                                                           \
    F(SDL_QuitSubSystem)                                                                           \
    F(SDL_GetCurrentAudioDriver)                                                                   \
    F(SDL_GetDefaultAudioInfo)                                                                     \
    F(SDL_OpenAudioDevice)                                                                         \
    F(SDL_GetAudioDeviceStatus)                                                                    \
    F(SDL_PauseAudioDevice)                                                                        \
    F(SDL_CloseAudioDevice)                                                                        \
    F(SDL_RWFromConstMem)                                                                          \
    F(SDL_LoadWAV_RW)                                                                              \
    F(SDL_FreeWAV)                                                                                 \
    F(SDL_NewAudioStream)                                                                          \
    F(SDL_AudioStreamPut)                                                                          \
    F(SDL_AudioStreamFlush)                                                                        \
    F(SDL_AudioStreamAvailable)                                                                    \
    F(SDL_AudioStreamGet)                                                                          \
    F(SDL_FreeAudioStream)                                                                         \
    F(SDL_free)                                                                                    \
    F(SDL_TLSCleanup)

struct SdlLibrary
{
    NUMBELO_LIBRARY_TABLE(NUMBELO_SDL_FUNCTIONS)
};

// The system's SDL2, loaded on the first call from any thread; null when it is not installed
// (then there is no sound, and the program runs silently). A thread that calls SDL frees SDL's
// data for it as it ends, with releaseSoundThreadData() (platform/portable/SoundLibrary.h).
const SdlLibrary *sdlLibrary();
