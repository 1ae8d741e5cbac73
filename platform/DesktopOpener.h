// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

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

// The desktop's own opener (Qt's desktop services).
class SystemDesktopOpener final : public DesktopOpener
{
  public:
    bool openUrl(const QUrl &url) override;
};

// The first of `paths` that is an existing file, as an absolute path; an empty string when
// none exists.
QString firstExistingFile(const QStringList &paths);
