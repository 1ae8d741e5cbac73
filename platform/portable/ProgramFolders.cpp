// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/ProgramFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
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
    // A build installed the Unix way keeps its data in <prefix>/share/numbelo/. A Windows
    // build is configured with no data folder: everything it has is beside it.
    const QString configured = QStringLiteral(NUMBELO_DATA_DIR);
    if (configured.isEmpty())
        return folders;
    folders.dataDirs = {QDir::cleanPath(folders.programDir + QStringLiteral("../share/numbelo")) +
                            u'/',
                        configured + u'/'};
    folders.dataDirs.removeDuplicates();
    return folders;
}

namespace {
// The sound folder in `folder`, found as its files are, without regard to case: a copy that
// comes from Windows often names it "SOUND". The exact name first.
QString soundDirIn(const QString &folder)
{
    const QString name = QStringLiteral("sound");
    const QDir dir(folder);
    if (!QFileInfo(dir.filePath(name)).isDir()) {
        const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
        for (const QString &entry : entries) {
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return folder + entry + u'/';
        }
    }
    return folder + name + u'/';
}
} // namespace

QStringList ProgramFolders::soundDirs() const
{
    QStringList folders{soundDirIn(programDir)};
    for (const QString &folder : dataDirs)
        folders << soundDirIn(folder);
    return folders;
}

QString ProgramFolders::soundFile(const QString &name) const
{
    return findFileIgnoringCase(soundDirs(), name);
}

QString ProgramFolders::readme() const
{
    const QString name = QStringLiteral("readme.txt");
    QStringList places{QDir::current().filePath(name), programDir + name};
    for (const QString &folder : dataDirs)
        places << folder + name;
    for (const QString &place : std::as_const(places)) {
        const QFileInfo file(place);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    return QString();
}

QStringList ProgramFolders::soundFontCandidates() const
{
    // The SoundFont the tune was balanced with first; the system's default General MIDI set
    // after it.
    const QStringList names{QStringLiteral("TimGM6mb.sf2"), QStringLiteral("default-GM.sf2")};
    QStringList candidates;
    if (!programDir.isEmpty()) {
        for (const QString &folder : {programDir, soundDirIn(programDir)}) {
            for (const QString &name : names)
                candidates << folder + name;
        }
    }
    QStringList shared = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    shared << QStringLiteral("/usr/share");
    for (const QString &data : std::as_const(shared)) {
        for (const QString &name : names)
            candidates << data + QStringLiteral("/sounds/sf2/") + name;
        for (const QString &name : names + QStringList{QStringLiteral("default.sf2")})
            candidates << data + QStringLiteral("/soundfonts/") + name;
    }
    candidates.removeDuplicates();
    return candidates;
}

namespace {
// A SoundFont file starts as a RIFF chunk of kind "sfbk".
bool looksLikeSoundFont(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "sfbk";
}
} // namespace

FoundSoundFont findSoundFont(const QStringList &candidates)
{
    FoundSoundFont found;
    for (const QString &candidate : candidates) {
        if (!QFileInfo(candidate).isFile())
            continue;
        if (looksLikeSoundFont(candidate)) {
            found.path = candidate;
            return found;
        }
        if (found.unusable.isEmpty())
            found.unusable = candidate;
    }
    return found;
}

QString findFileIgnoringCase(const QStringList &folders, const QString &name)
{
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
