// SPDX-License-Identifier: GPL-3.0-or-later
#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

// Quiet unless asked for (QT_LOGGING_RULES="numbelo.desktop.info=true").
Q_LOGGING_CATEGORY(lcDesktop, "numbelo.desktop", QtWarningMsg)

bool SystemDesktopOpener::openUrl(const QUrl &url)
{
    const bool opened = QDesktopServices::openUrl(url);
    if (!opened)
        qCInfo(lcDesktop) << "the desktop has no program to open" << url.toDisplayString();
    return opened;
}

QString firstExistingFile(const QStringList &paths)
{
    for (const QString &path : paths) {
        const QFileInfo file(path);
        if (file.isFile())
            return file.absoluteFilePath();
    }
    qCInfo(lcDesktop) << "none of these files exists:" << paths;
    return QString();
}
