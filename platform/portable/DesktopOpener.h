// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

class QUrl;

// Hands links and files to the desktop's own programs: "mailto:" links to the mail program,
// web addresses to the browser, a text file to the text editor. What those programs do with
// them is theirs; the program only asks.
class DesktopOpener
{
  public:
    virtual ~DesktopOpener() = default;
    // Asks the desktop to open `url`; false when the desktop had no program for it.
    virtual bool openUrl(const QUrl &url) = 0;
};

// The desktop opener of the system the program runs on.
std::unique_ptr<DesktopOpener> makeSystemDesktopOpener();
