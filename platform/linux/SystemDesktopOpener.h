// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/DesktopOpener.h"

// The desktop's own opener: Qt's desktop services, which hand links and files to xdg-open.
class SystemDesktopOpener final : public DesktopOpener
{
  public:
    bool openUrl(const QUrl &url) override;
};
