// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// The one format everything is mixed in: interleaved stereo float at 48 kHz. Sounds are
// converted to it once, when first loaded, so that playing one costs nothing but a pointer.
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

struct Sound
{
    std::vector<float> samples; // interleaved, Audio::channels per frame

    int frames() const { return int(samples.size()) / Audio::channels; }
};
