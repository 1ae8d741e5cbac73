// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundLookup.h"

#include <QDir>
#include <QFileInfo>

QString findFileIgnoringCase(const QStringList &folders, const QString &name)
{
    // A bare file name only: a name with a path in it never leaves the sound folders.
    if (name.isEmpty() || name.contains(u'/') || name.contains(u'\\') || name == u".." ||
        name == u".")
        return {};
    for (const QString &folder : folders) {
        const QDir dir(folder);
        const QFileInfo exact(dir.filePath(name));
        if (exact.isFile())
            return exact.filePath();
        const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
        for (const QString &entry : entries) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return dir.filePath(entry);
        }
    }
    return {};
}
