// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/DesktopOpener.h"

#include <QList>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <stdexcept>

// Writes down what the program asked the desktop to open (a file as its file: URL), instead of
// opening it. It can also play a desktop that has no program for it, one whose opening fails
// outright, or (for a file) one whose program fails once started.
class RecordingDesktopOpener : public DesktopOpener
{
  public:
    enum class Answer
    {
        Opened,
        NoProgram,
        Throws,
        FailsLater
    };

    bool openUrl(const QUrl &url) override
    {
        opened << url;
        if (answer == Answer::Throws)
            throw std::runtime_error("the desktop could not start a program");
        return answer == Answer::Opened || answer == Answer::FailsLater;
    }

    bool openFile(const QString &path, std::function<void()> notShown) override
    {
        const bool started = openUrl(QUrl::fromLocalFile(path));
        if (answer == Answer::FailsLater)
            QTimer::singleShot(20, std::move(notShown));
        return started;
    }

    QList<QUrl> opened;
    Answer answer = Answer::Opened;
};
