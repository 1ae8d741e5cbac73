// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramFolders.h"

#include <QDir>
#include <algorithm>

QString folderOfExecutable(const QString &executablePath)
{
    const qsizetype cut =
        std::max({executablePath.lastIndexOf(u'/'), executablePath.lastIndexOf(u'\\'),
                  executablePath.lastIndexOf(u':')});
    return executablePath.left(cut + 1);
}

ProgramFolders ProgramFolders::forExecutable(const QString &executablePath)
{
    ProgramFolders folders;
    folders.programDir = folderOfExecutable(executablePath);
    folders.dataDirs = {QDir::cleanPath(folders.programDir + QStringLiteral("../share/numbelo")) +
                            u'/',
                        QStringLiteral(NUMBELO_DATA_DIR) + u'/'};
    folders.dataDirs.removeDuplicates();
    return folders;
}

QStringList ProgramFolders::soundDirs() const
{
    QStringList folders{programDir + QStringLiteral("sound/")};
    for (const QString &folder : dataDirs)
        folders << folder + QStringLiteral("sound/");
    return folders;
}
