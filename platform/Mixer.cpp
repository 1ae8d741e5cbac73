// SPDX-License-Identifier: GPL-3.0-or-later
#include "Mixer.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float knee = 0.8f;
constexpr float headroom = 1.0f - knee;
// Music sits under the effects, so that a spoken digit is always clearly heard over it.
constexpr float musicGain = 0.7f;
} // namespace

float softLimit(float sample)
{
    const float magnitude = std::fabs(sample);
    if (magnitude <= knee)
        return sample;
    const float bent = knee + headroom * std::tanh((magnitude - knee) / headroom);
    return std::copysign(bent, sample);
}

void Mixer::playEffect(std::shared_ptr<const Sound> sound)
{
    {
        auto guard = lock();
        std::swap(m_effect, sound);
        m_effectFrame = 0;
        m_effectJustStarted = m_effect != nullptr;
    }
    // The sound replaced (now in `sound`) is released here, outside the lock and off the
    // audio thread.
}

void Mixer::stopEffect()
{
    playEffect(nullptr);
}

bool Mixer::effectPlaying() const
{
    auto guard = lock();
    return m_effect && m_effectFrame < m_effect->frames();
}

void Mixer::setMusicSource(MusicSource *source)
{
    auto guard = lock();
    m_music = source;
}

Mixer::Clock::time_point Mixer::lastEffectFirstMixed() const
{
    return Clock::time_point(Clock::duration(m_lastEffectFirstMixed.load()));
}

void Mixer::mix(float *out, int frames)
{
    const std::size_t count = std::size_t(frames) * Audio::channels;
    std::fill(out, out + count, 0.0f);
    auto guard = lock();

    if (m_music != nullptr) {
        if (m_musicBuffer.size() < count)
            m_musicBuffer.resize(count);
        m_music->render(m_musicBuffer.data(), frames);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = musicGain * m_musicBuffer[i];
    }

    if (m_effect && m_effectFrame < m_effect->frames()) {
        if (m_effectJustStarted) {
            m_effectJustStarted = false;
            m_lastEffectFirstMixed.store(Clock::now().time_since_epoch().count());
        }
        const int take = std::min(frames, m_effect->frames() - m_effectFrame);
        const float *from = m_effect->samples.data() + std::size_t(m_effectFrame) * Audio::channels;
        for (std::size_t i = 0; i < std::size_t(take) * Audio::channels; ++i)
            out[i] += from[i];
        m_effectFrame += take;
    }

    for (std::size_t i = 0; i < count; ++i)
        out[i] = softLimit(out[i]);
}
