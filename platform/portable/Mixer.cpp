// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/Mixer.h"

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
    std::shared_ptr<const Sound> released;
    {
        auto guard = lock();
        if (m_effect && m_effectFrame < m_effect->frames()) {
            // The sound cut off fades out in the free slot, or in the one closest to silence.
            Fading *slot = &m_fading.front();
            for (Fading &voice : m_fading) {
                if (voice.remaining < slot->remaining)
                    slot = &voice;
            }
            released = std::move(slot->sound);
            *slot = {std::move(m_effect), m_effectFrame, fadeFrames};
        }
        std::swap(m_effect, sound);
        m_effectFrame = 0;
    }
    // The sounds let go of (in `sound` and `released`) are released here, outside the lock and
    // off the audio thread.
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

bool Mixer::busy() const
{
    auto guard = lock();
    if (m_effect && m_effectFrame < m_effect->frames())
        return true;
    for (const Fading &voice : m_fading) {
        if (voice.remaining > 0)
            return true;
    }
    return m_music != nullptr && m_music->active();
}

bool Mixer::musicActive() const
{
    auto guard = lock();
    return m_music != nullptr && m_music->active();
}

void Mixer::setMusicSource(MusicSource *source)
{
    auto guard = lock();
    m_music = source;
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
        const int take = std::min(frames, m_effect->frames() - m_effectFrame);
        add(*m_effect, m_effectFrame, take, noFade, out);
        m_effectFrame += take;
    }

    // A sound cut off goes on under the new one for the rest of its fade.
    for (Fading &voice : m_fading) {
        if (voice.remaining <= 0)
            continue;
        const int left = std::min(voice.sound->frames() - voice.frame, voice.remaining);
        const int take = std::max(0, std::min(frames, left));
        add(*voice.sound, voice.frame, take, voice.remaining, out);
        voice.frame += take;
        voice.remaining = take < frames ? 0 : voice.remaining - take;
    }

    for (std::size_t i = 0; i < count; ++i)
        out[i] = softLimit(out[i]);
}

// A fading sound's gain falls in a straight line from 1 to 0 over the fade, so that a step
// between two frames never exceeds the sound's own step plus its level divided by the fade's
// length.
void Mixer::add(const Sound &sound, int frame, int frames, int fadeLeft, float *out)
{
    for (int f = 0; f < frames; ++f) {
        const float level = fadeLeft == noFade ? 1.0f : float(fadeLeft - f) / float(fadeFrames + 1);
        for (int c = 0; c < Audio::channels; ++c)
            out[std::size_t(f) * Audio::channels + std::size_t(c)] +=
                level * sound.sample(frame + f, c);
    }
}
