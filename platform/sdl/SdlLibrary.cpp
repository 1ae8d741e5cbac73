// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/SdlLibrary.h"

#include "platform/portable/SoundLibrary.h"

#include <atomic>

namespace {
// What releaseSoundThreadData() frees SDL's data with, once SDL is loaded: set within the load,
// read without waiting for one under way.
std::atomic<const SdlLibrary *> loaded = nullptr;
} // namespace

const SdlLibrary *sdlLibrary()
{
    // Tried once: without SDL the program is silent for the rest of its run. The file is the
    // system's SDL2 on Linux, the program's own copy beside it on Windows (platform/CMakeLists).
    static const SdlLibrary *const library = [] {
        const std::optional<SdlLibrary> table = loadLibraryTable<SdlLibrary>(NUMBELO_SDL_FILE);
        // Kept for the life of the program, as the library is.
        const SdlLibrary *sdl = table ? new SdlLibrary(*table) : nullptr;
        loaded = sdl;
        return sdl;
    }();
    return library;
}

void releaseSoundThreadData()
{
    if (const SdlLibrary *sdl = loaded.load())
        sdl->SDL_TLSCleanup();
}
