// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an output plays: the mix, pulled a period at a time on the output's own thread.
class SampleSource
{
  public:
    virtual ~SampleSource() = default;
    // Fills `out` with `frames` frames of interleaved stereo.
    virtual void mix(float *out, int frames) = 0;
};

// The device the mix is played on. The program uses the SDL output; tests use none at all
// and render through Mixer::mix() themselves.
class AudioOutput
{
  public:
    virtual ~AudioOutput() = default;
    // Starts pulling samples from `source`; false when no output could be opened.
    virtual bool start(SampleSource *source) = 0;
    virtual void stop() = 0;
    // Whether the device went away while open (its sound server died or restarted, it was
    // unplugged, a write failed): it plays nothing more, and the mix is no longer pulled. The
    // owner stops the output and starts it again. Safe to ask from any thread.
    virtual bool lost() const { return false; }
    // Frames per period of the opened device, 0 when not started.
    virtual int periodFrames() const = 0;
    virtual int sampleRate() const = 0;
};
