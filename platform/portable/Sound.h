// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The one format everything is mixed in: interleaved stereo float at 48 kHz. Sounds are
// converted to its rate once, when first loaded, so that playing one costs nothing but a
// pointer.
namespace Audio {
constexpr int sampleRate = 48000;
constexpr int channels = 2;
// 256 frames at 48 kHz is 5.3 ms: short enough that a digit is heard as the key goes down.
// 512 would halve what a lesson costs this program and the sound server (measured on
// PulseAudio: 2.5 % of a core and 590 wake-ups a second instead of 4.5 % and 1,100; the server
// 6 % instead of 11 %), but a key's sound would then come up to 11 ms late before any
// scheduling delay, past the 12 ms an ear takes for instant. The device is closed whenever
// the program is idle, so the cost is paid only while sounds play.
constexpr int periodFrames = 256;
} // namespace Audio

// A decoded sound effect at the mixing rate, kept as small as its source allows: 16-bit
// samples, one channel (heard on both sides) or two, interleaved. Every sound is decoded when
// the program starts; the program's effects are all mono, and so take a quarter of what they
// would as stereo float (0.9 MB instead of 3.4 MB).
struct Sound
{
    int channels = 1; // 1 or 2
    std::vector<std::int16_t> samples;

    int frames() const { return int(samples.size()) / channels; }
    // The sample of `frame` on the output's `side` (0 left, 1 right), full scale being 1.
    float sample(int frame, int side) const
    {
        const std::size_t at =
            std::size_t(frame) * std::size_t(channels) + std::size_t(channels == 2 ? side : 0);
        return float(samples[at]) * (1.0f / 32768.0f);
    }
};
