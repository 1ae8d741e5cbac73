// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// The one format everything is mixed in: interleaved stereo float at 48 kHz. Sounds are
// converted to it once, when first loaded, so that playing one costs nothing but a pointer.
namespace Audio {
constexpr int sampleRate = 48000;
constexpr int channels = 2;
// 256 frames at 48 kHz is 5.3 ms: short enough that a digit is heard as the key goes down.
constexpr int periodFrames = 256;
} // namespace Audio

struct Sound
{
    std::vector<float> samples; // interleaved, Audio::channels per frame

    int frames() const { return int(samples.size()) / Audio::channels; }
};
