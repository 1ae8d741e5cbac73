// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

class QString;
class QUrl;

// Hands links and files to the desktop's own programs: "mailto:" links to the mail program,
// web addresses to the browser, a text file to the text editor. What those programs do with
// them is theirs; the program only asks.
class DesktopOpener
{
  public:
    virtual ~DesktopOpener() = default;
    // Asks the desktop to open the link `url`; false when the desktop had no program for it.
    virtual bool openUrl(const QUrl &url) = 0;
    // Asks the desktop to show the file at `path` in its program for it (the text editor);
    // false when it has none or could not start it. A desktop that finds out only afterwards
    // that the file was not shown (its opener ended in failure soon after it started) calls
    // `notShown` then, on the thread that asked, once; never after returning false.
    virtual bool openFile(const QString &path, std::function<void()> notShown) = 0;
};

// The desktop opener of the system the program runs on.
std::unique_ptr<DesktopOpener> makeSystemDesktopOpener();
