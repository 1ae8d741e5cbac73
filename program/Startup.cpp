// SPDX-License-Identifier: GPL-3.0-or-later
#include "program/Startup.h"

#include "program/ProgramStyle.h"
#include "program/ToolTips.h"
#include "widgets/WindowLook.h"

#include <QApplication>
#include <QFont>

void prepareApplication(QApplication &application)
{
    // The program's title is its application name rather than its display name: Qt would
    // add a display name to every dialog's caption.
    QApplication::setApplicationName(WindowLook::ProgramTitle.toString());
    QApplication::setApplicationVersion(QStringLiteral(NUMBELO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(NUMBELO_APP_ID));
    QApplication::setFont(WindowLook::makeFont(WindowLook::UiFace, WindowLook::UiPoints));
    QApplication::setStyle(new ProgramStyle);
    installToolTipTiming(application);
}
