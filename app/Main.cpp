// SPDX-License-Identifier: GPL-3.0-or-later
#include "Main.h"

#include "SoundSink.h"

#include <QDir>

QString AppDir;

namespace {
SoundSink *g_soundSink = nullptr;
}

QString folderOfExecutable(const QString &executablePath)
{
    const qsizetype cut =
        std::max({executablePath.lastIndexOf(u'/'), executablePath.lastIndexOf(u'\\'),
                  executablePath.lastIndexOf(u':')});
    return executablePath.left(cut + 1);
}

QStringList dataFolders()
{
    QStringList folders{QDir::cleanPath(AppDir + QStringLiteral("../share/numbelo")) + u'/',
                        QStringLiteral(NUMBELO_DATA_DIR) + u'/'};
    folders.removeDuplicates();
    return folders;
}

QStringList soundFolders()
{
    QStringList folders{AppDir + QStringLiteral("sound/")};
    for (const QString &folder : dataFolders())
        folders << folder + QStringLiteral("sound/");
    return folders;
}

void setSoundSink(SoundSink *sink)
{
    g_soundSink = sink;
}

void PlaySoundFile(const QString &name)
{
    if (g_soundSink != nullptr)
        g_soundSink->playSound(name);
}
