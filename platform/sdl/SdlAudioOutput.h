// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <thread>

struct SdlLibrary;

// One SDL output stream at 48 kHz stereo float, 256-frame periods. When the machine has no
// usable sound device it falls back to SDL's silent "dummy" driver, so that the mix, and
// the music's end-of-piece notice with it, keeps running in time. Without SDL on the machine
// nothing opens, and the program is silent.
//
// start() and stop() may block for milliseconds and belong on a worker thread, one at a time.
// stop() silences the stream at once but leaves the closing, which can take more than a
// second on a sound server, to a thread of its own: a start() meanwhile opens a new stream
// beside the closing one. SDL's audio is shut down once nothing is open, so that none of its
// threads (a driver's hot-plug watch among them) is left waking the program.
class SdlAudioOutput : public AudioOutput
{
  public:
    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput &) = delete;
    SdlAudioOutput &operator=(const SdlAudioOutput &) = delete;

    bool start(Mixer *mixer) override;
    void stop() override;
    int periodFrames() const override { return m_periodFrames; }
    int sampleRate() const override { return m_sampleRate; }

  private:
    bool initialiseAndOpen();
    // Quits SDL's audio when nothing is open or closing. With m_mutex held.
    void shutDown();
    bool openDevice();
    void close(std::uint32_t device, std::atomic<bool> *done);
    static void callback(void *userdata, std::uint8_t *stream, int length);

    const SdlLibrary *m_sdl = nullptr;
    Mixer *m_mixer = nullptr;
    std::atomic<int> m_periodFrames = 0;
    std::atomic<int> m_sampleRate = 0;
    // The threads closing streams, each with its flag for having finished.
    struct Closer
    {
        std::thread thread;
        std::atomic<bool> done = false;
    };
    std::list<Closer> m_closers;

    // Initialising, opening and shutting down SDL's audio never overlap.
    std::mutex m_mutex;
    std::uint32_t m_device = 0;
    int m_closing = 0; // streams being closed
    bool m_initialised = false;
};
