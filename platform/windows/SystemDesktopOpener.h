// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/DesktopOpener.h"

#include <QString>

// Windows' own programs: links go to the shell (ShellExecuteW), which starts the mail program
// for a "mailto:" link and the browser for a web address; a file goes to Notepad.
class SystemDesktopOpener final : public DesktopOpener
{
  public:
    bool openUrl(const QUrl &url) override;
    // Notepad either starts, and shows the file (or says itself that it is missing), or it
    // does not: `notShown` is never needed.
    bool openFile(const QString &path, std::function<void()> notShown) override;

    // Opens `file` in Notepad, started by its full path from the Windows folder; false when it
    // could not be started.
    static bool openInNotepad(const QString &file);
};
