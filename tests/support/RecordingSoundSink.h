// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/SoundSink.h"

#include <QString>
#include <QStringList>

// Remembers which sounds the window asked for, in order.
class RecordingSoundSink : public SoundSink
{
  public:
    void playSound(const QString &name) override { played << name; }
    QStringList played;
};
