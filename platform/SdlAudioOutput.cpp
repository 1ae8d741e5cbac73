// SPDX-License-Identifier: GPL-3.0-or-later
#include "SdlAudioOutput.h"

#include "Mixer.h"

#include <SDL.h>

SdlAudioOutput::~SdlAudioOutput()
{
    stop();
}

bool SdlAudioOutput::start(Mixer *mixer)
{
    stop();
    m_mixer = mixer;
    // SDL would otherwise take over SIGINT and SIGTERM from the program.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (initialiseAndOpen())
        return true;
    // No sound card, or a driver that does not work here: keep the clock running silently.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
    if (initialiseAndOpen())
        return true;
    m_mixer = nullptr;
    return false;
}

bool SdlAudioOutput::initialiseAndOpen()
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    m_initialised = true;
    if (openDevice())
        return true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    m_initialised = false;
    return false;
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
    m_device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (m_device == 0)
        return false;
    m_periodFrames = obtained.samples;
    m_sampleRate = obtained.freq;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void SdlAudioOutput::stop()
{
    if (m_device != 0) {
        SDL_CloseAudioDevice(m_device);
        m_device = 0;
    }
    if (m_initialised) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        m_initialised = false;
    }
    m_mixer = nullptr;
    m_periodFrames = 0;
    m_sampleRate = 0;
}

void SdlAudioOutput::callback(void *userdata, std::uint8_t *stream, int length)
{
    auto *self = static_cast<SdlAudioOutput *>(userdata);
    const int frames = length / int(sizeof(float) * Audio::channels);
    self->m_mixer->mix(reinterpret_cast<float *>(stream), frames);
}
