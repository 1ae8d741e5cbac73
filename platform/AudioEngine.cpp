// SPDX-License-Identifier: GPL-3.0-or-later
#include "AudioEngine.h"

#include "AudioOutput.h"
#include "SoundLookup.h"
#include "WavDecoder.h"

#include <QFile>

namespace {
// Real sound effects are a few hundred kilobytes at most; anything far bigger is not one
// of ours and is not worth holding in memory.
constexpr qint64 maxSoundFileBytes = 16 * 1024 * 1024;

std::shared_ptr<const Sound> loadSoundFile(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maxSoundFileBytes)
        return nullptr;
    const QByteArray bytes = file.readAll();
    return decodeWav(bytes.constData(), std::size_t(bytes.size()));
}
} // namespace

AudioEngine::AudioEngine(std::unique_ptr<AudioOutput> output) : m_output(std::move(output))
{
    if (m_output)
        m_outputStarted = m_output->start(&m_mixer);
}

AudioEngine::~AudioEngine()
{
    if (m_outputStarted)
        m_output->stop();
}

void AudioEngine::setSoundFolders(const QStringList &folders)
{
    m_folders = folders;
    m_cache.clear();
}

int AudioEngine::periodFrames() const
{
    return hasOutput() ? m_output->periodFrames() : 0;
}

int AudioEngine::sampleRate() const
{
    return hasOutput() ? m_output->sampleRate() : 0;
}

std::shared_ptr<const Sound> AudioEngine::sound(const QString &name)
{
    const QString key = name.toLower();
    auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return cached.value();
    std::shared_ptr<const Sound> loaded = loadSoundFile(findFileIgnoringCase(m_folders, name));
    if (!loaded)
        loaded = defaultSound();
    m_cache.insert(key, loaded);
    return loaded;
}

void AudioEngine::playSound(const QString &name)
{
    m_mixer.playEffect(sound(name));
}
