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
// A device that goes away while wanted (its sound server dies or restarts, it is unplugged) is
// closed and the default device opened in its place: looked for at every sign of activity, so
// that the sound asked for next is played on the new device, and every checkInterval while the
// device is wanted, so that the music comes back by itself. When none can be opened, the next
// sign of activity tries again, and so does the check, less often the longer it fails (up to
// longestRetry); with the music off the tries end with the idle time, as the device would.
//
// Opening and closing can take milliseconds (more than a second on some sound servers) and
// run on the sound worker; every function belongs to the thread that made the keeper (the
// window's).
class OutputKeeper
{
  public:
    static constexpr std::chrono::milliseconds defaultIdleTimeout{30000};
    // While the device is wanted: how often it is checked, and the longest wait between two
    // tries to open one when none could be opened.
    static constexpr std::chrono::milliseconds checkInterval{1000};
    static constexpr std::chrono::milliseconds longestRetry{10000};

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
    // How often a wanted device is checked (checkInterval unless set).
    void setCheckInterval(std::chrono::milliseconds interval) { m_checkInterval = interval; }

    // Whether a device (the system's or the silent fallback) is pulling samples.
    bool isOpen() const;
    int periodFrames() const;
    int sampleRate() const;

  private:
    enum class State
    {
        Closed,
        Open,
        Failed // none opened: silent until a later try opens one
    };

    void idleTimeReached();
    // Asks the worker to bring the device to what is wanted.
    void want(bool open);
    // Asks the worker to replace a device that went away or, after a failed open, to try
    // again: at once on a sign of activity, by the check's slowing pace otherwise.
    void check(bool activity);
    // Queues follow() unless it is queued already. With m_mutex held.
    void queueFollow();
    // On the worker: opens or closes the device, as wanted now; replaces a lost one.
    void follow();

    std::unique_ptr<AudioOutput> m_output;
    Mixer &m_mixer;
    Worker &m_worker;
    std::chrono::milliseconds m_idleTimeout = defaultIdleTimeout;
    std::chrono::milliseconds m_checkInterval = checkInterval;
    QTimer m_idleTimer;
    QTimer m_checkTimer;
    bool m_started = false;

    // Shared with the worker.
    mutable std::mutex m_mutex;
    bool m_wantOpen = false;
    bool m_followQueued = false;
    State m_state = State::Closed;
};
