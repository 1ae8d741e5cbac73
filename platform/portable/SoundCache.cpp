// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/SoundCache.h"

#include "platform/portable/DefaultSound.h"
#include "platform/portable/ProgramFolders.h"
#include "platform/portable/SoundLibrary.h"

#include <QDir>
#include <QFile>
#include <QSet>

namespace {
// Real sound effects are a few hundred kilobytes at most; anything far bigger is not one
// of ours and is not worth holding in memory.
constexpr qint64 maxSoundFileBytes = 16 * 1024 * 1024;

// The decoded file at `path`, or the default chime when it cannot be used.
std::shared_ptr<const Sound> decodeFile(const QString &path)
{
    std::shared_ptr<const Sound> sound;
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly) && file.size() <= maxSoundFileBytes) {
        const QByteArray bytes = file.readAll();
        sound = decodeWav(bytes.constData(), std::size_t(bytes.size()));
    }
    return sound ? sound : defaultSound();
}
} // namespace

void SoundCache::setFolders(const QStringList &folders)
{
    std::lock_guard guard(m_mutex);
    m_folders = folders;
    m_sounds.clear();
}

QStringList SoundCache::folders() const
{
    std::lock_guard guard(m_mutex);
    return m_folders;
}

std::shared_ptr<const Sound> SoundCache::find(const QString &name) const
{
    std::lock_guard guard(m_mutex);
    return m_sounds.value(name.toLower());
}

std::shared_ptr<const Sound> SoundCache::load(const QString &name)
{
    if (std::shared_ptr<const Sound> cached = find(name))
        return cached;
    const QStringList searched = folders();
    std::shared_ptr<const Sound> sound = decodeFile(findFileIgnoringCase(searched, name));
    std::lock_guard guard(m_mutex);
    const QString key = name.toLower();
    // Decoded twice at once (asked for while the worker had it under way): the first stays.
    if (std::shared_ptr<const Sound> first = m_sounds.value(key))
        return first;
    if (m_folders == searched)
        m_sounds.insert(key, sound);
    return sound;
}

std::pair<std::vector<SoundCache::File>, QStringList> SoundCache::listFiles() const
{
    const QStringList listed = folders();
    std::vector<File> files;
    QSet<QString> seen;
    for (const QString &folder : listed) {
        const QDir dir(folder);
        const QStringList names = dir.entryList({QStringLiteral("*.wav")}, QDir::Files);
        for (const QString &name : names) {
            const QString key = name.toLower();
            if (!seen.contains(key)) {
                seen.insert(key);
                files.push_back({key, dir.filePath(name)});
            }
        }
    }
    return {std::move(files), listed};
}

void SoundCache::decode(const File &file, const QStringList &listedFor)
{
    {
        std::lock_guard guard(m_mutex);
        if (m_folders != listedFor || m_sounds.contains(file.key))
            return;
    }
    std::shared_ptr<const Sound> sound = decodeFile(file.path);
    std::lock_guard guard(m_mutex);
    if (m_folders == listedFor && !m_sounds.contains(file.key))
        m_sounds.insert(file.key, sound);
}
