// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include "Conversions.h"
#include "ProgramStyle.h"
#include "ToolTips.h"
#include "WindowLook.h"

#include <QApplication>
#include <QFont>

void prepareApplication(QApplication &application)
{
    // The program's title is its application name rather than its display name: Qt would
    // add a display name to every dialog's caption.
    QApplication::setApplicationName(WindowLook::ProgramTitle.toString());
    QApplication::setApplicationVersion(QStringLiteral(NUMBELO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.example.numbelo"));
    QApplication::setFont(WindowLook::makeFont(WindowLook::UiFace, WindowLook::UiPoints));
    QApplication::setStyle(new ProgramStyle);
    installToolTipTiming(application);
    watchDecimalSeparator(&application);
}
