// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sdl/SdlAudioOutput.h"

#include "platform/portable/Sound.h"
#include "platform/sdl/SdlLibrary.h"

// The closer used SDL on its thread: SDL's data for it is freed as it ends.
SdlAudioOutput::SdlAudioOutput() : m_closer(&releaseSdlThreadData) {}

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
    {
        std::lock_guard guard(m_mutex);
        if (initialiseAndOpen())
            return true;
    }
    // No sound card, or a driver that does not work here: keep the clock running silently.
    // SDL's audio is shut down first, once no stream is being closed any more, and the choice
    // holds for every later start.
    m_closer.waitUntilIdle();
    std::lock_guard guard(m_mutex);
    shutDown();
    m_sdl->SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (initialiseAndOpen())
        return true;
    shutDown();
    m_source = nullptr;
    return false;
}

bool SdlAudioOutput::initialiseAndOpen()
{
    if (!m_initialised) {
        if (m_sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return false;
        m_initialised = true;
    }
    return openDevice();
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
    SDL_AudioSpec wanted{};
    wanted.freq = Audio::sampleRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = Audio::channels;
    wanted.samples = Audio::periodFrames;
    wanted.callback = &SdlAudioOutput::callback;
    wanted.userdata = this;
    SDL_AudioSpec obtained{};
    // No format changes allowed: SDL converts for us, and the mixer always sees 48 kHz stereo.
    m_device = m_sdl->SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0)
        return false;
    m_periodFrames = obtained.samples;
    m_sampleRate = obtained.freq;
    m_sdl->SDL_PauseAudioDevice(m_device, 0);
    return true;
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
    const int frames = length / int(sizeof(float) * Audio::channels);
    self->m_source->mix(reinterpret_cast<float *>(stream), frames);
}
