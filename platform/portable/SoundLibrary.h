// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Sound.h"

#include <cstddef>
#include <memory>

// What the sound engine asks of the library it decodes and plays with (SDL: platform/sdl/),
// which is loaded only when the first sound needs it.

// Decodes a WAV file held in memory and converts it to the mixing format. Returns null for
// anything that is not a playable WAV (empty, truncated, garbage, no samples), and for every
// file when the library is not installed.
std::shared_ptr<const Sound> decodeWav(const void *data, std::size_t size);

// The library keeps data for each thread that calls it (the text of its last error) and frees
// it only for threads it started itself: every other thread that used it calls this before it
// ends. Does nothing when the library was never loaded.
void releaseSoundThreadData();
