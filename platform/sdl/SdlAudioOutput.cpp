// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/SdlAudioOutput.h"

#include "platform/portable/Sound.h"
#include "platform/portable/SoundLibrary.h"
#include "platform/sdl/SdlLibrary.h"
#include "platform/sdl/SdlRequest.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdlib>
#include <cstring>
#include <thread>

// Warnings only, unless turned on (README.md lists every category).
Q_LOGGING_CATEGORY(lcSound, "numbelo.sound", QtWarningMsg)

namespace {
// How long a PipeWire server just connected to may take to say which output is its default.
constexpr std::chrono::milliseconds pipeWireDefaultWait{100};
} // namespace

// The closer used SDL on its thread: SDL's data for it is freed as it ends.
SdlAudioOutput::SdlAudioOutput() : m_closer("SoundCloser", &releaseSoundThreadData) {}

SdlAudioOutput::~SdlAudioOutput()
{
    stop();
    m_closer.waitUntilIdle();
}

bool SdlAudioOutput::start(SampleSource *source)
{
    stop();
    m_sdl = sdlLibrary();
    if (m_sdl == nullptr)
        return false;
    m_source = source;
    // SDL would otherwise take over SIGINT and SIGTERM from the program.
    m_sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // What a desktop's volume control calls the stream: the program's name, where SDL's
    // PipeWire driver would say "SDL Application".
    const QByteArray name = QCoreApplication::applicationName().toUtf8();
    if (!name.isEmpty())
        m_sdl->SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, name.constData());
    if (m_afresh) {
        // The driver SDL's audio runs may hold a dead server's connection, or be the silent
        // one: once the streams being closed are closed, it is shut down and chosen again.
        m_closer.waitUntilIdle();
        std::lock_guard guard(m_mutex);
        shutDown();
    }
    bool beside = false;
    {
        std::lock_guard guard(m_mutex);
        beside = m_initialised;
        if (initialiseAndOpen()) {
            m_afresh = false;
            m_played = true;
            return true;
        }
    }
    // A driver with a single device (the silent one, the file one) opens nothing beside a
    // stream still closing: once it is closed, SDL's audio starts afresh.
    m_closer.waitUntilIdle();
    std::lock_guard guard(m_mutex);
    shutDown();
    if (beside && initialiseAndOpen()) {
        m_afresh = false;
        m_played = true;
        return true;
    }
    m_driver.clear();
    m_afresh = true;
    shutDown();
    if (m_played) {
        // A device played before: its server is away for now, and the owner tries again.
        m_source = nullptr;
        return false;
    }
    // No sound card, or a driver that does not work here: keep the clock running silently.
    if (initialiseWith("dummy") && openDevice())
        return true;
    shutDown();
    m_source = nullptr;
    return false;
}

// Which of SDL's drivers plays the stream:
// - the one the user chose in SDL_AUDIODRIVER, always and alone;
// - the one that opened the stream before: opening again after an idle close, when a key is
//   waiting for its sound, costs no search;
// - PipeWire's own driver, when a PipeWire server with a default output answers. SDL 2.26
//   tries PulseAudio first, which on a PipeWire desktop is PipeWire's pulse server: with the
//   same 256-frame request the pulse path measured a worst key-to-ear of 28 ms, the native
//   stream 15 ms, about as quick as a bare client. A PipeWire that has no output (running for
//   screen sharing beside PulseAudio) is passed over;
// - SDL's own order: PulseAudio, where it is the server, then ALSA, where none runs; on Windows
//   WASAPI.
// The period asked for and what each driver makes of it are in SdlRequest.h.
bool SdlAudioOutput::initialiseAndOpen()
{
    // A stream still closing keeps SDL's audio up: the new one opens beside it.
    if (m_initialised)
        return openDevice();
    const char *chosen = std::getenv("SDL_AUDIODRIVER");
    const bool userChose = chosen != nullptr && *chosen != '\0';
    const std::string before = m_driver;
    if (!userChose && !before.empty()) {
        if (initialiseWith(before.c_str()) && openDevice())
            return true;
        shutDown();
    }
    if (!userChose && before != "pipewire") {
        if (initialiseWith("pipewire") && pipeWireHasAnOutput() && openDevice())
            return true;
        shutDown();
    }
    return initialiseWith(nullptr) && openDevice();
}

// `driver` null: the user's choice, or else SDL's own order.
bool SdlAudioOutput::initialiseWith(const char *driver)
{
    if (driver != nullptr)
        m_sdl->SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
    m_initialised = m_sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    // Back to what the environment says, so that no choice of ours sticks.
    if (driver != nullptr)
        m_sdl->SDL_ResetHint(SDL_HINT_AUDIODRIVER);
    return m_initialised;
}

bool SdlAudioOutput::pipeWireHasAnOutput() const
{
    // The default output comes with the server's settings, a moment after the connection.
    const Clock::time_point until = Clock::now() + pipeWireDefaultWait;
    for (;;) {
        char *name = nullptr;
        SDL_AudioSpec spec{};
        if (m_sdl->SDL_GetDefaultAudioInfo(&name, &spec, 0) == 0) {
            m_sdl->SDL_free(name);
            return true;
        }
        if (Clock::now() >= until)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void SdlAudioOutput::shutDown()
{
    if (m_initialised && m_closing == 0 && m_device == 0) {
        m_sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_initialised = false;
    }
}

bool SdlAudioOutput::openDevice()
{
    if (!m_initialised)
        return false;
    const SDL_AudioSpec wanted = sdlRequest(&SdlAudioOutput::callback, this);
    SDL_AudioSpec obtained{};
    // SDL converts for us, and the mixer always sees 48 kHz stereo in 256-frame periods.
    m_device = m_sdl->SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, sdlAllowedChanges);
    if (m_device == 0)
        return false;
    const char *driver = m_sdl->SDL_GetCurrentAudioDriver();
    m_driver = driver != nullptr && std::strcmp(driver, "dummy") != 0 ? driver : "";
    m_periodFrames = obtained.samples;
    m_sampleRate = obtained.freq;
    qCInfo(lcSound, "opened on %s: fed in %d-frame periods at %d Hz",
           driver != nullptr ? driver : "?", obtained.samples, obtained.freq);
    m_lost = false;
    // PulseAudio's and ALSA's drivers tell when their device is gone, and a PulseAudio sink may
    // hold back a new stream's first periods for two seconds (a null sink that ran ahead while
    // idle); PipeWire's driver says nothing when its server goes away: its periods stop.
    m_watchPeriods = m_driver == "pipewire";
    m_lastPeriod = Clock::now().time_since_epoch().count();
    m_playing = m_device;
    m_sdl->SDL_PauseAudioDevice(m_device, 0);
    return true;
}

bool SdlAudioOutput::lost() const
{
    if (m_lost)
        return true;
    const Clock::rep last = m_lastPeriod;
    return m_watchPeriods && last != 0 &&
           Clock::now() - Clock::time_point(Clock::duration(last)) > periodsStopFor;
}

std::string SdlAudioOutput::driver() const
{
    std::lock_guard guard(m_mutex);
    return m_device != 0 && m_driver.empty() ? std::string("dummy") : m_driver;
}

void SdlAudioOutput::stop()
{
    std::uint32_t device = 0;
    {
        std::lock_guard guard(m_mutex);
        device = m_device;
        m_device = 0;
        if (device != 0)
            ++m_closing;
    }
    if (device == 0)
        return;
    // Pausing waits for a callback under way; after it the mixer is not called again from
    // this stream, and a new one may take over the mix at once.
    m_sdl->SDL_PauseAudioDevice(device, 1);
    if (lost())
        m_afresh = true;
    m_lastPeriod = 0;
    m_lost = false;
    m_periodFrames = 0;
    m_sampleRate = 0;
    m_closer.post([this, device] { close(device); });
}

void SdlAudioOutput::close(std::uint32_t device)
{
    m_sdl->SDL_CloseAudioDevice(device);
    {
        std::lock_guard guard(m_mutex);
        // The last stream closed and none open: SDL's audio is shut down, its threads with it.
        --m_closing;
        shutDown();
    }
}

void SdlAudioOutput::callback(void *userdata, std::uint8_t *stream, int length)
{
    auto *self = static_cast<SdlAudioOutput *>(userdata);
    self->m_lastPeriod = Clock::now().time_since_epoch().count();
    // SDL goes on calling, as a clock, once it has found the device gone. The mix is left
    // alone then: the music waits where it was for the device that takes over.
    if (self->m_lost ||
        self->m_sdl->SDL_GetAudioDeviceStatus(self->m_playing) == SDL_AUDIO_STOPPED) {
        self->m_lost = true;
        std::memset(stream, 0, std::size_t(length));
        return;
    }
    const int frames = length / int(sizeof(float) * Audio::channels);
    self->m_source->mix(reinterpret_cast<float *>(stream), frames);
}
