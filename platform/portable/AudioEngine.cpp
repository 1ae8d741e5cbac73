// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/AudioEngine.h"

#include "platform/portable/SoundLibrary.h"

namespace {
std::chrono::milliseconds lengthOf(const Sound &sound)
{
    return std::chrono::milliseconds(qint64(sound.frames()) * 1000 / Audio::sampleRate);
}
} // namespace

// Decoding and opening use the sound library on the worker's thread, which frees the library's
// data for it as it ends.
AudioEngine::AudioEngine(std::unique_ptr<AudioOutput> output)
    : m_output(std::move(output), m_mixer, m_worker),
      m_worker("SoundWorker", &releaseSoundThreadData)
{
    m_mixer.setWakeHandler([this] { wake(); });
}

AudioEngine::~AudioEngine() = default;

void AudioEngine::setSoundFolders(const QStringList &folders)
{
    m_cache.setFolders(folders);
    std::lock_guard guard(m_mutex);
    m_preloaded = false;
    if (m_output.started())
        m_worker.post([this] { preload(); });
}

void AudioEngine::start()
{
    if (m_output.started() || !m_output.hasDevice())
        return;
    m_output.start();
    {
        std::lock_guard guard(m_mutex);
        if (!m_waiting.isEmpty())
            m_worker.postUrgent([this, name = m_waiting] { playWhenDecoded(name); });
    }
    m_worker.post([this] { preload(); });
}

void AudioEngine::preload()
{
    auto listed = m_cache.listFiles();
    const QStringList folders = listed.second;
    for (SoundCache::File &file : listed.first)
        m_worker.post([this, file = std::move(file), folders] { m_cache.decode(file, folders); });
    // Queued behind the decodes, so it runs once they are all done.
    m_worker.post([this, folders] {
        if (m_cache.folders() != folders)
            return;
        std::lock_guard guard(m_mutex);
        m_preloaded = true;
    });
}

void AudioEngine::playSound(const QString &name)
{
    std::shared_ptr<const Sound> ready = m_cache.find(name);
    bool waits = false;
    {
        std::lock_guard guard(m_mutex);
        // Not decoded yet, with a device to play on: the worker decodes it before anything
        // else (once the sound has started) and starts it then.
        waits = !ready && m_output.hasDevice() && !m_preloaded;
        m_waiting = waits ? name : QString();
        if (waits && m_output.started())
            m_worker.postUrgent([this, name] { playWhenDecoded(name); });
    }
    if (waits) {
        wake();
        return;
    }
    if (!ready)
        ready = m_cache.load(name);
    m_mixer.playEffect(ready);
    m_output.keepOpen(lengthOf(*ready));
}

void AudioEngine::playWhenDecoded(const QString &name)
{
    const std::shared_ptr<const Sound> sound = m_cache.load(name);
    std::lock_guard guard(m_mutex);
    // Unless another sound came meanwhile, this one starts now.
    if (m_waiting == name) {
        m_waiting.clear();
        m_mixer.playEffect(sound);
    }
}

void AudioEngine::waitUntilPreloaded()
{
    if (!m_output.started())
        return;
    for (;;) {
        m_worker.waitUntilIdle();
        std::lock_guard guard(m_mutex);
        if (m_preloaded)
            return;
    }
}
