// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/DefaultSound.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

std::shared_ptr<const Sound> defaultSound()
{
    static const std::shared_ptr<const Sound> chime = [] {
        auto sound = std::make_shared<Sound>();
        constexpr double noteSeconds = 0.09;
        constexpr double notes[] = {880.0, 660.0};
        const int noteFrames = int(noteSeconds * Audio::sampleRate);
        for (double frequency : notes) {
            for (int i = 0; i < noteFrames; ++i) {
                const double t = double(i) / Audio::sampleRate;
                const double envelope = std::exp(-t * 30.0) * std::min(1.0, i / 48.0);
                sound->samples.push_back(std::int16_t(std::lround(
                    32767.0 * 0.4 * envelope * std::sin(2.0 * std::numbers::pi * frequency * t))));
            }
        }
        return sound;
    }();
    return chime;
}
