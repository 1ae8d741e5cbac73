// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/Startup.h"

#include "startup/CursorBlink.h"
#include "startup/ProgramStyle.h"
#include "startup/SoundActivity.h"
#include "startup/ToolTips.h"
#include "widgets/WindowLook.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <utility>

void prepareApplication(QApplication &application, SoundCues sound)
{
    // The program's title is its application name rather than its display name: Qt would
    // add a display name to every dialog's caption.
    QApplication::setApplicationName(WindowLook::ProgramTitle.toString());
    QApplication::setApplicationVersion(QStringLiteral(NUMBELO_VERSION));
    QApplication::setDesktopFileName(QStringLiteral(NUMBELO_APP_ID));
    QApplication::setFont(WindowLook::makeFont(WindowLook::UiFace, WindowLook::UiPoints));
    // Every window shows the program's icon, the message boxes included.
    QApplication::setWindowIcon(WindowLook::programIcon());
    QApplication::setStyle(new ProgramStyle);

    // Every event filter the program installs on the whole application is installed here:
    // - the tooltips' follow-on wait (ToolTips.h): moving on from one tooltip to the next
    //   control shows the next one after 50 ms;
    // - the watch on the user's activity (SoundActivity.h): it starts the sound after the first
    //   paint and wakes a device closed while the program was idle. Opening the device may
    //   start a helper process while the program has other threads: with no session bus, SDL's
    //   audio start-up has libdbus fork and execute dbus-launch. Qt's own D-Bus thread does the
    //   same in every window before it is painted, so the program already forks while
    //   threaded; the child only executes the helper.
    // - the text cursor's rest (CursorBlink.h): 10 s after the last key, click or change of
    //   focus the cursor stops blinking and stays shown, so that a lesson left alone wakes
    //   nothing; the next one starts it again.
    // The menu bar has a filter of its own that gives the focus back when the menus are left
    // (app/MenuFocus.h); it watches the menu bar only.
    installToolTipTiming(application);
    stopCursorBlinkWhenIdle(application);
    if (sound.wakeOnActivity)
        followSoundActivity(application, std::move(sound.startAfterFirstPaint),
                            std::move(sound.wakeOnActivity));
}
