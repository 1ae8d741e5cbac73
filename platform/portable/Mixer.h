// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"
#include "platform/portable/Sound.h"

#include <array>
#include <functional>
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
    // Whether the source is playing or about to (its instruments loading), so that the output
    // must keep running. Called with the mixer's lock held.
    virtual bool active() const { return false; }
};

// Mixes one sound-effect voice and one music source into the output. The audio callback
// calls mix(); the window's thread starts effects and attaches the music. Both sides take
// the same short lock, so a command never waits longer than one render of one period.
//
// A sound cut off by a new one does not stop dead, which would click: it fades out over a
// few milliseconds under the new sound, which starts at once.
class Mixer final : public SampleSource
{
  public:
    // How long a sound that is cut off takes to fade out.
    static constexpr int fadeFrames = Audio::sampleRate * 2 / 1000;

    // Replaces whatever effect is playing with `sound`, from its first frame; the one cut off
    // fades out.
    void playEffect(std::shared_ptr<const Sound> sound);
    void stopEffect();
    bool effectPlaying() const;
    // Whether anything is to be heard now or soon: an effect, one fading out, or the music.
    bool busy() const;
    // Whether the music is playing or about to.
    bool musicActive() const;

    // The music source stays owned by the caller; pass null to detach it before destroying it.
    void setMusicSource(MusicSource *source);

    // Who keeps the output running is told through this when the music starts or stops, so
    // that the device is open while it plays. Set once, before the music is attached.
    void setWakeHandler(std::function<void()> handler) { m_wakeHandler = std::move(handler); }
    // Called by the music, on the thread that owns it, when it starts or stops playing.
    void wake() const
    {
        if (m_wakeHandler)
            m_wakeHandler();
    }

    // Fills `out` with `frames` frames of interleaved stereo. Safe to call from any thread;
    // tests call it directly to render without a device.
    void mix(float *out, int frames) override;

    // Held by whoever changes the music source's inner state from outside the audio thread.
    std::unique_lock<std::mutex> lock() const { return std::unique_lock(m_mutex); }

  private:
    // A sound that was cut off, fading out. The sound stays referenced after its fade until
    // the slot is reused, so that it is never released on the audio thread.
    struct Fading
    {
        std::shared_ptr<const Sound> sound;
        int frame = 0;
        int remaining = 0; // frames of the fade still to play
    };

    // Adds `frames` frames of `sound` from `frame` on to `out`. A sound fading out has
    // `fadeLeft` frames of its fade left at the first of them, one less at each next one, and
    // sounds at that share of the fade; noFade plays it as it is.
    static constexpr int noFade = -1;
    static void add(const Sound &sound, int frame, int frames, int fadeLeft, float *out);

    mutable std::mutex m_mutex;
    std::shared_ptr<const Sound> m_effect;
    int m_effectFrame = 0;
    // Typing faster than one key per fade is rare; beyond this many the oldest fade, nearly
    // silent already, is dropped.
    std::array<Fading, 4> m_fading;
    MusicSource *m_music = nullptr;
    std::vector<float> m_musicBuffer;
    std::function<void()> m_wakeHandler;
};

// Keeps the mixed signal inside [-1, 1] without a hard edge: unchanged up to the knee,
// bent smoothly towards full scale above it.
float softLimit(float sample);
