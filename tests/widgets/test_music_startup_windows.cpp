// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/windows/MciSequencer.h"
#include "tests/widgets/test_music_startup_system.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

QString copyTestProgram(const QString &folder, QProcessEnvironment &environment)
{
    const QString copy = folder + QStringLiteral("/test_music_startup.exe");
    QFile::copy(QCoreApplication::applicationFilePath(), copy);
    // The copy finds its DLLs where this program's are.
    environment.insert(QStringLiteral("PATH"),
                       QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + u';' +
                           environment.value(QStringLiteral("PATH")));
    return copy;
}

QString expectedMusicError(const QString &tune, const QString &)
{
    // Windows' sequencer judges the file itself, in its own words, and plays some files the
    // program's own check refuses.
    const MusicProblem problem = MciSequencer().open(QDir::toNativeSeparators(tune));
    return problem ? problem.detail + u'.' : QString();
}
