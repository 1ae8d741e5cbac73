// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/Sound.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

// The program's sound effects, each decoded once and kept: found by name in the sound folders
// (names matching without regard to case), the default chime in place of a file that is
// missing or unreadable. Safe to use from any thread: the window's thread asks for sounds
// while the sound worker decodes the rest.
class SoundCache
{
  public:
    // The folders searched, in order, for every sound. Forgets every sound decoded before.
    void setFolders(const QStringList &folders);
    QStringList folders() const;

    // The sound for `name` if it is decoded already, or null.
    std::shared_ptr<const Sound> find(const QString &name) const;
    // The sound for `name`, decoded now (outside the cache's lock) and kept unless it is in
    // already.
    std::shared_ptr<const Sound> load(const QString &name);

    // A file of the folders to be decoded ahead of need: its path and the name it is asked by.
    struct File
    {
        QString key;
        QString path;
    };
    // Every WAV file of the folders, the first folder's first where two have the same name,
    // and the folders they were listed for.
    std::pair<std::vector<File>, QStringList> listFiles() const;
    // Decodes `file` and keeps it, unless it is in already or the folders are no longer
    // `folders`.
    void decode(const File &file, const QStringList &folders);

  private:
    mutable std::mutex m_mutex;
    QStringList m_folders;
    QHash<QString, std::shared_ptr<const Sound>> m_sounds; // by lower-case name
};
