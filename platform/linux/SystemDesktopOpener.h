// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/DesktopOpener.h"

#include <QObject>
#include <chrono>

// The desktop's own opener: links through Qt's desktop services, which hand them to xdg-open;
// files to xdg-open, watched: Qt only starts it, and an xdg-open that finds no program for the
// file (a lab desktop with no text editor registered) ends with an error nobody sees. A failure
// (an exit status other than 0, or a crash) within `watch` of the start counts as the file not
// shown; later, xdg-open is the program it started for the file (it waits for it on a bare
// desktop), and its end says nothing more.
class SystemDesktopOpener final : public DesktopOpener
{
  public:
    explicit SystemDesktopOpener(std::chrono::milliseconds watch = std::chrono::seconds(10));
    ~SystemDesktopOpener() override;

    bool openUrl(const QUrl &url) override;
    bool openFile(const QString &path, std::function<void()> notShown) override;

  private:
    std::chrono::milliseconds m_watch;
    QObject m_openers; // the xdg-open processes still running
};
