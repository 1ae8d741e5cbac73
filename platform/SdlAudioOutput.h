// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AudioOutput.h"

#include <cstdint>

// One SDL output stream at 48 kHz stereo float, 256-frame periods. When the machine has no
// usable sound device it falls back to SDL's silent "dummy" driver, so that the mix, and
// the music's end-of-piece notice with it, keeps running in time.
class SdlAudioOutput : public AudioOutput
{
  public:
    SdlAudioOutput() = default;
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput &) = delete;
    SdlAudioOutput &operator=(const SdlAudioOutput &) = delete;

    bool start(Mixer *mixer) override;
    void stop() override;
    int periodFrames() const override { return m_periodFrames; }
    int sampleRate() const override { return m_sampleRate; }

  private:
    bool initialiseAndOpen();
    bool openDevice();
    static void callback(void *userdata, std::uint8_t *stream, int length);

    Mixer *m_mixer = nullptr;
    std::uint32_t m_device = 0;
    bool m_initialised = false;
    int m_periodFrames = 0;
    int m_sampleRate = 0;
};
