// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QString;

// Where the window's sound effects go: the audio engine in the program, a recorder in tests.
class SoundSink
{
  public:
    virtual ~SoundSink() = default;
    // Starts the named effect from the sound folder and returns at once.
    virtual void playSound(const QString &name) = 0;
};
