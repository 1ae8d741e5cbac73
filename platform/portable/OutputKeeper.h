// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/portable/AudioOutput.h"

#include <QTimer>
#include <chrono>
#include <memory>
#include <mutex>

class Mixer;
class Worker;

// Keeps the output device open while sound may come and closed otherwise: an open device
// costs the program and the sound server a wake-up every period even when it plays silence.
// Nothing opens before start(); then the device stays open until the idle time has passed with
// nothing to play and the music off, and opens again at the next sign of activity, wake().
//
// Opening and closing can take milliseconds (more than a second on some sound servers) and
// run on the sound worker; every function belongs to the thread that made the keeper (the
// window's).
class OutputKeeper
{
  public:
    static constexpr std::chrono::milliseconds defaultIdleTimeout{30000};

    // `output` may be null: then there is no device, and nothing is ever opened.
    OutputKeeper(std::unique_ptr<AudioOutput> output, Mixer &mixer, Worker &worker);
    // Closes the device, on the calling thread. The worker must have ended before.
    ~OutputKeeper();
    OutputKeeper(const OutputKeeper &) = delete;
    OutputKeeper &operator=(const OutputKeeper &) = delete;

    bool hasDevice() const { return m_output != nullptr; }
    // Opens the device, and from now on follows the activity.
    void start();
    bool started() const { return m_started; }
    // A sign that a sound may come soon: opens the device if it is closed, and starts the idle
    // time again.
    void wake() { keepOpen({}); }
    // Keeps the device open, or opens it, for the idle time and `extra` (a sound's length).
    void keepOpen(std::chrono::milliseconds extra);
    void setIdleTimeout(std::chrono::milliseconds timeout) { m_idleTimeout = timeout; }

    // Whether a device (the system's or the silent fallback) is pulling samples.
    bool isOpen() const;
    int periodFrames() const;
    int sampleRate() const;

  private:
    enum class State
    {
        Closed,
        Open,
        Failed // neither the system's device nor the silent one: stays silent
    };

    void idleTimeReached();
    // Asks the worker to bring the device to what is wanted.
    void want(bool open);
    // On the worker: opens or closes the device, as wanted now.
    void follow();

    std::unique_ptr<AudioOutput> m_output;
    Mixer &m_mixer;
    Worker &m_worker;
    std::chrono::milliseconds m_idleTimeout = defaultIdleTimeout;
    QTimer m_idleTimer;
    bool m_started = false;

    // Shared with the worker.
    mutable std::mutex m_mutex;
    bool m_wantOpen = false;
    State m_state = State::Closed;
};
