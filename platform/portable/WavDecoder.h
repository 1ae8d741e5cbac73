// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Sound.h"

#include <cstddef>
#include <memory>

// Decodes a WAV file held in memory and converts it to the mixing format. Returns null for
// anything that is not a playable WAV (empty, truncated, garbage, no samples).
std::shared_ptr<const Sound> decodeWav(const void *data, std::size_t size);

// A short, soft two-note chime of our own, played in place of a sound that cannot be found
// or read.
std::shared_ptr<const Sound> defaultSound();
