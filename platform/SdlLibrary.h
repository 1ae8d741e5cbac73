// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <SDL.h>

// SDL2, loaded the first time sound needs it rather than when the program starts: SDL brings
// some thirty libraries with it, which the first frame of the window does not need. Only the
// functions the sound output and the WAV decoder use are looked up.
struct SdlLibrary
{
    decltype(&SDL_SetHint) setHint = nullptr;
    decltype(&SDL_SetHintWithPriority) setHintWithPriority = nullptr;
    decltype(&SDL_InitSubSystem) initSubSystem = nullptr;
    decltype(&SDL_QuitSubSystem) quitSubSystem = nullptr;
    decltype(&SDL_OpenAudioDevice) openAudioDevice = nullptr;
    decltype(&SDL_PauseAudioDevice) pauseAudioDevice = nullptr;
    decltype(&SDL_CloseAudioDevice) closeAudioDevice = nullptr;
    decltype(&SDL_RWFromConstMem) rwFromConstMem = nullptr;
    decltype(&SDL_LoadWAV_RW) loadWavRw = nullptr;
    decltype(&SDL_FreeWAV) freeWav = nullptr;
    decltype(&SDL_NewAudioStream) newAudioStream = nullptr;
    decltype(&SDL_AudioStreamPut) audioStreamPut = nullptr;
    decltype(&SDL_AudioStreamFlush) audioStreamFlush = nullptr;
    decltype(&SDL_AudioStreamAvailable) audioStreamAvailable = nullptr;
    decltype(&SDL_AudioStreamGet) audioStreamGet = nullptr;
    decltype(&SDL_FreeAudioStream) freeAudioStream = nullptr;
    decltype(&SDL_TLSCleanup) tlsCleanup = nullptr;

    // Loads the library file `soname` and looks every function up; null when the file cannot
    // be loaded or lacks one of them. The library stays loaded.
    static const SdlLibrary *load(const char *soname);
};

// The system's SDL2, loaded on the first call from any thread; null when it is not installed
// (then there is no sound, and the program runs silently).
const SdlLibrary *sdlLibrary();

// SDL keeps data for each thread that calls it (the text of its last error) and frees it only
// for threads it started itself: every other thread that used SDL calls this before it ends.
// Does nothing when SDL was never loaded.
void releaseSdlThreadData();
