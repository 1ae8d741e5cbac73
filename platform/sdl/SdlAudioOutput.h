// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"
#include "platform/portable/Worker.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

struct SdlLibrary;

// One SDL output stream at 48 kHz stereo float, fed in 256-frame periods (what each driver makes
// of them: SdlRequest.h), on the quickest of SDL's drivers for the sound server the desktop runs
// (initialiseAndOpen() says how it is chosen). When the machine has no usable sound device it
// falls back to SDL's silent "dummy" driver, so that the mix, and the music's end-of-piece
// notice with it, keeps running in time; the next start tries the real device again. Without
// SDL on the machine nothing opens, and the program is silent.
//
// A device can go away while open: its sound server dies or restarts, or it is unplugged. SDL
// then marks it stopped (PulseAudio, ALSA), or, with PipeWire's own driver, its periods simply
// stop coming (for periodsStopFor). Either way lost() turns true and the mix is no longer pulled,
// so that the music waits where it was; the owner stops the output and starts it again, and that
// start begins SDL's audio afresh, so that the driver is chosen and connects anew. Once a real
// device has played, a start that finds none does not fall back to the silent driver: the sound is
// away, not missing, and the owner tries again later.
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
    // How long an open stream may go without asking for a period before it counts as lost.
    static constexpr std::chrono::milliseconds periodsStopFor{500};

    SdlAudioOutput();
    ~SdlAudioOutput() override;
    SdlAudioOutput(const SdlAudioOutput &) = delete;
    SdlAudioOutput &operator=(const SdlAudioOutput &) = delete;

    bool start(SampleSource *source) override;
    void stop() override;
    bool lost() const override;
    int periodFrames() const override { return m_periodFrames; }
    int sampleRate() const override { return m_sampleRate; }
    // The SDL driver the last start opened its stream with ("pipewire", "pulseaudio", "dummy"
    // ...); empty when none opened.
    std::string driver() const;

  private:
    // Each with m_mutex held.
    bool initialiseAndOpen();
    bool initialiseWith(const char *driver);
    bool pipeWireHasAnOutput() const;
    // Quits SDL's audio when nothing is open or closing.
    void shutDown();
    bool openDevice();
    // On the closer's thread.
    void close(std::uint32_t device);
    static void callback(void *userdata, std::uint8_t *stream, int length);

    using Clock = std::chrono::steady_clock;

    const SdlLibrary *m_sdl = nullptr;
    SampleSource *m_source = nullptr;
    std::atomic<int> m_periodFrames = 0;
    std::atomic<int> m_sampleRate = 0;
    // Seen by the output's thread: the stream it plays, whether SDL found its device gone, and
    // when it last asked for a period (0 while nothing plays), which counts on PipeWire only.
    std::atomic<std::uint32_t> m_playing = 0;
    std::atomic<bool> m_lost = false;
    std::atomic<bool> m_watchPeriods = false;
    std::atomic<Clock::rep> m_lastPeriod = 0;
    // Only the thread that starts and stops: SDL's audio is started from nothing at the next
    // start (after a lost device, a failed start, or on the silent driver), and whether a real
    // device has played.
    bool m_afresh = false;
    bool m_played = false;
    // Initialising, opening and shutting down SDL's audio never overlap.
    mutable std::mutex m_mutex;
    std::uint32_t m_device = 0;
    int m_closing = 0; // streams being closed
    bool m_initialised = false;
    std::string m_driver; // the driver of the last stream opened; tried first at the next start

    // Last, so that it ends first: its closes use everything above.
    Worker m_closer;
};
