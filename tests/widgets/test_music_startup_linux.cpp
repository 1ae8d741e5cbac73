// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/widgets/test_music_startup_system.h"

#include <QCoreApplication>
#include <QFile>
#include <unistd.h>

QString copyTestProgram(const QString &folder, QProcessEnvironment &)
{
    // A hard link, not a symbolic one: the program's own path must be in this folder.
    const QString self = QCoreApplication::applicationFilePath();
    const QString copy = folder + QStringLiteral("/test_music_startup");
    if (::link(QFile::encodeName(self).constData(), QFile::encodeName(copy).constData()) != 0)
        QFile::copy(self, copy);
    return copy;
}

QString expectedMusicError(const QString &tune, const QString &reason)
{
    // FluidSynth plays only what the program's check accepts, and the box says why not.
    return QStringLiteral("The music file \"%1\"%2.").arg(tune, reason);
}
