// SPDX-License-Identifier: GPL-3.0-or-later
#include "SdlLibrary.h"

#include <atomic>
#include <dlfcn.h>
#include <memory>

namespace {
template <typename Function> bool lookUp(void *handle, const char *name, Function *function)
{
    *function = reinterpret_cast<Function>(dlsym(handle, name));
    return *function != nullptr;
}
} // namespace

const SdlLibrary *SdlLibrary::load(const char *soname)
{
    void *handle = dlopen(soname, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    auto sdl = std::make_unique<SdlLibrary>();
    const bool complete = lookUp(handle, "SDL_SetHint", &sdl->setHint) &&
                          lookUp(handle, "SDL_SetHintWithPriority", &sdl->setHintWithPriority) &&
                          lookUp(handle, "SDL_InitSubSystem", &sdl->initSubSystem) &&
                          lookUp(handle, "SDL_QuitSubSystem", &sdl->quitSubSystem) &&
                          lookUp(handle, "SDL_OpenAudioDevice", &sdl->openAudioDevice) &&
                          lookUp(handle, "SDL_PauseAudioDevice", &sdl->pauseAudioDevice) &&
                          lookUp(handle, "SDL_CloseAudioDevice", &sdl->closeAudioDevice) &&
                          lookUp(handle, "SDL_RWFromConstMem", &sdl->rwFromConstMem) &&
                          lookUp(handle, "SDL_LoadWAV_RW", &sdl->loadWavRw) &&
                          lookUp(handle, "SDL_FreeWAV", &sdl->freeWav) &&
                          lookUp(handle, "SDL_NewAudioStream", &sdl->newAudioStream) &&
                          lookUp(handle, "SDL_AudioStreamPut", &sdl->audioStreamPut) &&
                          lookUp(handle, "SDL_AudioStreamFlush", &sdl->audioStreamFlush) &&
                          lookUp(handle, "SDL_AudioStreamAvailable", &sdl->audioStreamAvailable) &&
                          lookUp(handle, "SDL_AudioStreamGet", &sdl->audioStreamGet) &&
                          lookUp(handle, "SDL_FreeAudioStream", &sdl->freeAudioStream) &&
                          lookUp(handle, "SDL_TLSCleanup", &sdl->tlsCleanup);
    if (!complete) {
        dlclose(handle);
        return nullptr;
    }
    // Kept for the life of the program, like a library it links: SDL's threads may still
    // run code of it while the program ends.
    return sdl.release();
}

namespace {
std::atomic<const SdlLibrary *> loaded = nullptr;
}

const SdlLibrary *sdlLibrary()
{
    static const SdlLibrary *const library = [] {
        const SdlLibrary *sdl = SdlLibrary::load("libSDL2-2.0.so.0");
        loaded = sdl;
        return sdl;
    }();
    return library;
}

void releaseSdlThreadData()
{
    if (const SdlLibrary *sdl = loaded.load())
        sdl->tlsCleanup();
}
