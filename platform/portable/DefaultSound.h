// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Sound.h"

#include <memory>

// A short, soft two-note chime of our own, played in place of a sound that cannot be found
// or read. Made at the first call, from any thread (which holds the others back meanwhile).
std::shared_ptr<const Sound> defaultSound();
