// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"
#include "platform/portable/Worker.h"

#include <atomic>
#include <cstdint>
#include <mutex>

struct SdlLibrary;

// One SDL output stream at 48 kHz stereo float, 256-frame periods. When the machine has no
// usable sound device it falls back to SDL's silent "dummy" driver, so that the mix, and
// the music's end-of-piece notice with it, keeps running in time. Without SDL on the machine
// nothing opens, and the program is silent.
//
// start() and stop() may block for milliseconds and belong on a worker thread, one at a time.
// stop() silences the stream at once but leaves the closing, which can take more than a
// second on a sound server, to the output's closer, one thread that closes streams in turn: a
// start() meanwhile opens a new stream beside the closing one. SDL's audio is shut down once
// nothing is open or closing, so that none of its threads (a driver's hot-plug watch among
// them) is left waking the program.
class SdlAudioOutput : public AudioOutput
{
  public:
    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput &) = delete;
    SdlAudioOutput &operator=(const SdlAudioOutput &) = delete;

    bool start(SampleSource *source) override;
    void stop() override;
    int periodFrames() const override { return m_periodFrames; }
    int sampleRate() const override { return m_sampleRate; }

  private:
    bool initialiseAndOpen();
    // Quits SDL's audio when nothing is open or closing. With m_mutex held.
    void shutDown();
    bool openDevice();
    // On the closer's thread.
    void close(std::uint32_t device);
    static void callback(void *userdata, std::uint8_t *stream, int length);

    const SdlLibrary *m_sdl = nullptr;
    SampleSource *m_source = nullptr;
    std::atomic<int> m_periodFrames = 0;
    std::atomic<int> m_sampleRate = 0;
    // Initialising, opening and shutting down SDL's audio never overlap.
    std::mutex m_mutex;
    std::uint32_t m_device = 0;
    int m_closing = 0; // streams being closed
    bool m_initialised = false;

    // Last, so that it ends first: its closes use everything above.
    Worker m_closer;
};
