// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/DesktopOpener.h"

#include <QList>
#include <QUrl>
#include <stdexcept>

// Writes down what the program asked the desktop to open, instead of opening it. It can
// also play a desktop that has no program for the link, or one whose opening fails outright.
class RecordingDesktopOpener : public DesktopOpener
{
  public:
    enum class Answer
    {
        Opened,
        NoProgram,
        Throws
    };

    bool openUrl(const QUrl &url) override
    {
        opened << url;
        if (answer == Answer::Throws)
            throw std::runtime_error("the desktop could not start a program");
        return answer == Answer::Opened;
    }

    QList<QUrl> opened;
    Answer answer = Answer::Opened;
};
