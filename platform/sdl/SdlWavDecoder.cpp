// SPDX-License-Identifier: GPL-3.0-or-later
// WAV files decoded with SDL's loader and converted with its resampler.
#include "platform/portable/SoundLibrary.h"
#include "platform/sdl/SdlLibrary.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// SDL frees what it allocated; these keep that tied to scope on every path out.
struct WavBuffer
{
    const SdlLibrary *sdl;
    Uint8 *bytes = nullptr;
    ~WavBuffer() { sdl->SDL_FreeWAV(bytes); }
};

struct StreamHandle
{
    const SdlLibrary *sdl;
    SDL_AudioStream *stream = nullptr;
    ~StreamHandle()
    {
        if (stream != nullptr)
            sdl->SDL_FreeAudioStream(stream);
    }
};

std::uint32_t readLittle32(const unsigned char *bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

// A sound effect is a few seconds long; anything beyond this is not one of ours.
constexpr std::uint32_t maxSeconds = 60;

// Walks the file's chunks before SDL sees it: SDL reserves whatever a header promises, so a
// few bytes of garbage could otherwise claim gigabytes. Every chunk must lie inside the file,
// the format must be sane and the samples short enough for a sound effect.
bool plausibleWav(const unsigned char *bytes, std::size_t size)
{
    if (size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        return false;
    std::uint32_t channels = 0, rate = 0, bytesPerSecond = 0;
    bool haveData = false;
    for (std::size_t at = 12; at + 8 <= size;) {
        const std::uint32_t chunkSize = readLittle32(bytes + at + 4);
        if (chunkSize > size - at - 8)
            return false;
        if (std::memcmp(bytes + at, "fmt ", 4) == 0) {
            if (chunkSize < 16)
                return false;
            channels = std::uint32_t(bytes[at + 10]) | std::uint32_t(bytes[at + 11]) << 8;
            rate = readLittle32(bytes + at + 12);
            bytesPerSecond = readLittle32(bytes + at + 16);
        } else if (std::memcmp(bytes + at, "data", 4) == 0) {
            if (channels < 1 || channels > 8 || rate < 1000 || rate > 384000 ||
                bytesPerSecond == 0 || chunkSize / bytesPerSecond > maxSeconds)
                return false;
            haveData = chunkSize > 0;
        }
        at += 8 + std::size_t(chunkSize) + (chunkSize & 1u);
    }
    return haveData;
}

} // namespace

std::shared_ptr<const Sound> decodeWav(const void *data, std::size_t size)
{
    if (data == nullptr || size == 0 || size > std::size_t(std::numeric_limits<int>::max()))
        return nullptr;
    if (!plausibleWav(static_cast<const unsigned char *>(data), size))
        return nullptr;
    // Without SDL no sound is decoded: every one plays as the default chime, unheard.
    const SdlLibrary *sdl = sdlLibrary();
    if (sdl == nullptr)
        return nullptr;
    SDL_RWops *source = sdl->SDL_RWFromConstMem(data, int(size));
    if (source == nullptr)
        return nullptr;
    SDL_AudioSpec spec{};
    WavBuffer wav{sdl};
    Uint32 length = 0;
    if (sdl->SDL_LoadWAV_RW(source, 1, &spec, &wav.bytes, &length) == nullptr || length == 0)
        return nullptr;

    // Mono stays mono; anything with more channels is mixed down to stereo.
    const int channels = spec.channels == 1 ? 1 : 2;
    StreamHandle converter{sdl, sdl->SDL_NewAudioStream(spec.format, spec.channels, spec.freq,
                                                        AUDIO_S16SYS, Uint8(channels),
                                                        Audio::sampleRate)};
    if (converter.stream == nullptr)
        return nullptr;
    // The converter keeps back the last few hundred input frames even when flushed; a tail
    // of silence pushes them out, and the result is cut back to the exact length.
    const int bytesPerFrame = SDL_AUDIO_BITSIZE(spec.format) / 8 * spec.channels;
    if (bytesPerFrame <= 0 || spec.freq <= 0)
        return nullptr;
    const std::int64_t inputFrames = length / Uint32(bytesPerFrame);
    const std::size_t expectedFrames = std::size_t(inputFrames * Audio::sampleRate / spec.freq);
    const std::vector<Uint8> tail(std::size_t(bytesPerFrame) * 1024, spec.silence);
    if (sdl->SDL_AudioStreamPut(converter.stream, wav.bytes, int(length)) != 0 ||
        sdl->SDL_AudioStreamPut(converter.stream, tail.data(), int(tail.size())) != 0 ||
        sdl->SDL_AudioStreamFlush(converter.stream) != 0)
        return nullptr;

    auto sound = std::make_shared<Sound>();
    sound->channels = channels;
    using Sample = decltype(sound->samples)::value_type;
    // The converter hands its output out in pieces; collect until it has nothing left.
    for (int available = sdl->SDL_AudioStreamAvailable(converter.stream); available > 0;
         available = sdl->SDL_AudioStreamAvailable(converter.stream)) {
        const std::size_t had = sound->samples.size();
        sound->samples.resize(had + std::size_t(available) / sizeof(Sample));
        const int got =
            sdl->SDL_AudioStreamGet(converter.stream, sound->samples.data() + had, available);
        if (got <= 0) {
            sound->samples.resize(had);
            break;
        }
        sound->samples.resize(had + std::size_t(got) / sizeof(Sample));
    }
    const std::size_t frames = std::min(std::size_t(sound->frames()), expectedFrames);
    sound->samples.resize(frames * std::size_t(channels));
    sound->samples.shrink_to_fit();
    if (sound->frames() == 0)
        return nullptr;
    return sound;
}
