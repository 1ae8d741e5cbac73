// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/SdlLibrary.h"

#include <atomic>

const SdlLibrary *SdlLibrary::load(const char *soname)
{
    SharedLibrary library = SharedLibrary::open(soname);
    if (!library.isOpen())
        return nullptr;
    SdlLibrary table;
    const char *missing = nullptr;
    NUMBELO_SDL_FUNCTIONS(NUMBELO_LIBRARY_RESOLVE)
    if (missing != nullptr) {
        library.close();
        return nullptr;
    }
    return new SdlLibrary(table); // kept for the life of the program, as the library is
}

namespace {
std::atomic<const SdlLibrary *> loaded = nullptr;

#ifdef _WIN32
// The program's own copy, beside it.
constexpr const char *sdlFile = "SDL2.dll";
#else
constexpr const char *sdlFile = "libSDL2-2.0.so.0";
#endif
} // namespace

const SdlLibrary *sdlLibrary()
{
    static const SdlLibrary *const library = [] {
        const SdlLibrary *sdl = SdlLibrary::load(sdlFile);
        loaded = sdl;
        return sdl;
    }();
    return library;
}

void releaseSdlThreadData()
{
    if (const SdlLibrary *sdl = loaded.load())
        sdl->SDL_TLSCleanup();
}
