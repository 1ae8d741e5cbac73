// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Mixer;

// The device the mix is played on. The program uses the SDL output; tests use none at all
// and render through Mixer::mix() themselves.
class AudioOutput
{
  public:
    virtual ~AudioOutput() = default;
    // Starts pulling samples from `mixer`; false when no output could be opened.
    virtual bool start(Mixer *mixer) = 0;
    virtual void stop() = 0;
    // Frames per period of the opened device, 0 when not started.
    virtual int periodFrames() const = 0;
    virtual int sampleRate() const = 0;
};
