// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Sound.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <vector>

// Something that renders continuous sound into the mix, such as the background music.
class MusicSource
{
  public:
    virtual ~MusicSource() = default;
    // Writes `frames` frames of interleaved stereo into `out` (overwriting it). Called on the
    // audio thread with the mixer's lock held.
    virtual void render(float *out, int frames) = 0;
};

// Mixes one sound-effect voice and one music source into the output. The audio callback
// calls mix(); the window's thread starts effects and attaches the music. Both sides take
// the same short lock, so a command never waits longer than one render of one period.
class Mixer
{
  public:
    using Clock = std::chrono::steady_clock;

    // Replaces whatever effect is playing with `sound`, from its first frame.
    void playEffect(std::shared_ptr<const Sound> sound);
    void stopEffect();
    bool effectPlaying() const;

    // The music source stays owned by the caller; pass null to detach it before destroying it.
    void setMusicSource(MusicSource *source);

    // Fills `out` with `frames` frames of interleaved stereo. Safe to call from any thread;
    // tests call it directly to render without a device.
    void mix(float *out, int frames);

    // Held by whoever changes the music source's inner state from outside the audio thread.
    std::unique_lock<std::mutex> lock() const { return std::unique_lock(m_mutex); }

    // When the first frame of the most recently started effect was mixed (for the latency
    // benchmark); time_point{} until then.
    Clock::time_point lastEffectFirstMixed() const;

  private:
    mutable std::mutex m_mutex;
    std::shared_ptr<const Sound> m_effect;
    int m_effectFrame = 0;
    bool m_effectJustStarted = false;
    MusicSource *m_music = nullptr;
    std::vector<float> m_musicBuffer;
    std::atomic<Clock::rep> m_lastEffectFirstMixed{0};
};

// Keeps the mixed signal inside [-1, 1] without a hard edge: unchanged up to the knee,
// bent smoothly towards full scale above it.
float softLimit(float sample);
