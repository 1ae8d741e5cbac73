// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/SystemDesktopOpener.h"

#include <QDesktopServices>
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

std::unique_ptr<DesktopOpener> makeSystemDesktopOpener()
{
    return std::make_unique<SystemDesktopOpener>();
}
