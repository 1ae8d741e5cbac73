// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/AudioEngine.h"

#include "platform/portable/AudioOutput.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/sdl/SdlLibrary.h"
#include "platform/sdl/WavDecoder.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <utility>
#include <vector>

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

// The sound for `name` in `folders`, or the default chime.
std::shared_ptr<const Sound> findAndLoad(const QStringList &folders, const QString &name)
{
    std::shared_ptr<const Sound> loaded = loadSoundFile(findFileIgnoringCase(folders, name));
    return loaded ? loaded : defaultSound();
}

// Every WAV file of the folders by the name it is asked for, the first folder's first.
std::vector<std::pair<QString, QString>> soundFilesIn(const QStringList &folders)
{
    std::vector<std::pair<QString, QString>> files;
    QSet<QString> seen;
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QStringList names = dir.entryList({QStringLiteral("*.wav")}, QDir::Files);
        for (const QString &name : names) {
            const QString key = name.toLower();
            if (!seen.contains(key)) {
                seen.insert(key);
                files.emplace_back(key, dir.filePath(name));
            }
        }
    }
    return files;
}

std::chrono::milliseconds lengthOf(const Sound &sound)
{
    return std::chrono::milliseconds(qint64(sound.frames()) * 1000 / Audio::sampleRate);
}
} // namespace

AudioEngine::AudioEngine(std::unique_ptr<AudioOutput> output) : m_output(std::move(output))
{
    m_idleTimer.setSingleShot(true);
    QObject::connect(&m_idleTimer, &QTimer::timeout, [this] { idleTimeReached(); });
    m_mixer.setWakeHandler([this] { wake(); });
}

AudioEngine::~AudioEngine()
{
    m_idleTimer.stop();
    {
        std::lock_guard guard(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
    if (m_state == OutputState::Open)
        m_output->stop();
}

void AudioEngine::setSoundFolders(const QStringList &folders)
{
    {
        std::lock_guard guard(m_mutex);
        m_folders = folders;
        m_cache.clear();
        m_toDecode.clear();
        m_listed = false;
        m_preloaded = false;
    }
    m_changed.notify_all();
}

QStringList AudioEngine::soundFolders() const
{
    std::lock_guard guard(m_mutex);
    return m_folders;
}

void AudioEngine::start()
{
    if (m_started || !m_output)
        return;
    m_started = true;
    // The worker decodes the folders' sounds from the start: it exists only after start().
    m_worker = std::thread([this] { work(); });
    keepOpen({});
}

void AudioEngine::wake()
{
    keepOpen({});
}

void AudioEngine::keepOpen(std::chrono::milliseconds extra)
{
    if (!m_started)
        return;
    // Never shorter than what is already counting: a long sound keeps its own time.
    const auto wanted = m_idleTimeout + extra;
    if (!m_idleTimer.isActive() || m_idleTimer.remainingTimeAsDuration() < wanted)
        m_idleTimer.start(wanted);
    bool opening = false;
    {
        std::lock_guard guard(m_mutex);
        opening = !m_wantOpen;
        m_wantOpen = true;
    }
    if (opening)
        m_changed.notify_all();
}

void AudioEngine::idleTimeReached()
{
    if (m_mixer.busy()) {
        m_idleTimer.start(m_idleTimeout);
        return;
    }
    {
        std::lock_guard guard(m_mutex);
        m_wantOpen = false;
    }
    m_changed.notify_all();
}

bool AudioEngine::hasOutput() const
{
    std::lock_guard guard(m_mutex);
    return m_state == OutputState::Open;
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
    std::unique_lock guard(m_mutex);
    return cachedOrLoaded(guard, name);
}

std::shared_ptr<const Sound> AudioEngine::cachedOrLoaded(std::unique_lock<std::mutex> &guard,
                                                         const QString &name)
{
    const QString key = name.toLower();
    auto cached = m_cache.constFind(key);
    if (cached != m_cache.constEnd())
        return cached.value();
    const QStringList folders = m_folders;
    guard.unlock();
    std::shared_ptr<const Sound> loaded = findAndLoad(folders, name);
    guard.lock();
    return *m_cache.insert(key, loaded);
}

void AudioEngine::playSound(const QString &name)
{
    const QString key = name.toLower();
    std::shared_ptr<const Sound> ready;
    bool waits = false;
    {
        std::lock_guard guard(m_mutex);
        auto cached = m_cache.constFind(key);
        if (cached != m_cache.constEnd()) {
            ready = cached.value();
        } else if (m_output && !m_preloaded) {
            // Not decoded yet: the worker decodes it before anything else and starts it then.
            m_waiting = name;
            waits = true;
        }
        if (!waits)
            m_waiting.clear();
    }
    if (waits) {
        m_changed.notify_all();
        wake();
        return;
    }
    if (!ready)
        ready = sound(name);
    m_mixer.playEffect(ready);
    keepOpen(lengthOf(*ready));
}

void AudioEngine::waitUntilPreloaded()
{
    std::unique_lock guard(m_mutex);
    m_changed.wait(guard, [this] { return m_preloaded || !m_worker.joinable() || m_quit; });
}

bool AudioEngine::outputNeedsChange() const
{
    return (m_wantOpen && m_state == OutputState::Closed) ||
           (!m_wantOpen && m_state == OutputState::Open);
}

// The worker: a sound someone waits for first, then the output, then the other sounds. It
// sleeps on the condition variable, with no timeout, whenever there is nothing to do.
void AudioEngine::work()
{
    struct ThreadEnd
    {
        // Decoding and opening used SDL on this thread.
        ~ThreadEnd() { releaseSdlThreadData(); }
    } threadEnd;
    std::unique_lock guard(m_mutex);
    for (;;) {
        m_changed.wait(guard, [this] {
            return m_quit || !m_waiting.isEmpty() || outputNeedsChange() || !m_preloaded;
        });
        if (m_quit)
            return;
        if (!m_waiting.isEmpty()) {
            const QString name = m_waiting;
            const std::shared_ptr<const Sound> loaded = cachedOrLoaded(guard, name);
            // Unless another sound came meanwhile, this one starts now.
            if (m_waiting == name) {
                m_waiting.clear();
                m_mixer.playEffect(loaded);
            }
            continue;
        }
        if (outputNeedsChange()) {
            const bool open = m_wantOpen;
            guard.unlock();
            bool started = false;
            if (open)
                started = m_output->start(&m_mixer);
            else
                m_output->stop();
            guard.lock();
            m_state =
                !open ? OutputState::Closed : (started ? OutputState::Open : OutputState::Failed);
            m_changed.notify_all();
            continue;
        }
        // One file at a time, so that a waiting sound or the output never waits for more.
        if (!m_listed) {
            const QStringList folders = m_folders;
            guard.unlock();
            auto files = soundFilesIn(folders);
            guard.lock();
            if (m_folders == folders) {
                m_toDecode = std::move(files);
                m_listed = true;
            }
            continue;
        }
        if (m_toDecode.empty()) {
            m_preloaded = true;
            m_changed.notify_all();
            continue;
        }
        const auto [key, path] = m_toDecode.back();
        m_toDecode.pop_back();
        if (m_cache.contains(key))
            continue;
        guard.unlock();
        std::shared_ptr<const Sound> loaded = loadSoundFile(path);
        guard.lock();
        // Unless the folders changed meanwhile.
        if (m_listed)
            m_cache.insert(key, loaded ? loaded : defaultSound());
    }
}
