// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/OutputKeeper.h"

#include "platform/portable/Mixer.h"
#include "platform/portable/Worker.h"

#include <algorithm>

OutputKeeper::OutputKeeper(std::unique_ptr<AudioOutput> output, Mixer &mixer, Worker &worker)
    : m_output(std::move(output)), m_mixer(mixer), m_worker(worker)
{
    // Each timer is the context of its own connection: the call goes away with it.
    m_idleTimer.setSingleShot(true);
    QObject::connect(&m_idleTimer, &QTimer::timeout, &m_idleTimer, [this] { idleTimeReached(); });
    QObject::connect(&m_checkTimer, &QTimer::timeout, &m_checkTimer, [this] { check(false); });
}

OutputKeeper::~OutputKeeper()
{
    m_idleTimer.stop();
    m_checkTimer.stop();
    if (m_state == State::Open)
        m_output->stop();
}

void OutputKeeper::start()
{
    if (m_started || !m_output)
        return;
    m_started = true;
    keepOpen({});
}

void OutputKeeper::keepOpen(std::chrono::milliseconds extra)
{
    if (!m_started)
        return;
    // Never shorter than what is already counting: a long sound keeps its own time.
    const auto wanted = m_idleTimeout + extra;
    if (!m_idleTimer.isActive() || m_idleTimer.remainingTimeAsDuration() < wanted)
        m_idleTimer.start(wanted);
    want(true);
    check(true);
}

void OutputKeeper::idleTimeReached()
{
    // A sound waiting for a device that never came does not keep the tries going; the music
    // does, so that it plays on once a device is back.
    if (isOpen() ? m_mixer.busy() : m_mixer.musicActive()) {
        m_idleTimer.start(m_idleTimeout);
        return;
    }
    want(false);
}

void OutputKeeper::want(bool open)
{
    std::lock_guard guard(m_mutex);
    if (m_wantOpen == open)
        return;
    m_wantOpen = open;
    if (open)
        m_checkTimer.start(m_checkInterval);
    else
        m_checkTimer.stop();
    queueFollow();
}

void OutputKeeper::check(bool activity)
{
    std::lock_guard guard(m_mutex);
    if (!m_wantOpen)
        return;
    if (m_state == State::Failed) {
        // The check tries less often the longer it fails: every try starts SDL's audio.
        if (!activity)
            m_checkTimer.setInterval(std::min(m_checkTimer.intervalAsDuration() * 2,
                                              std::max(m_checkInterval, longestRetry)));
        queueFollow();
    } else if (m_state == State::Open) {
        m_checkTimer.setInterval(m_checkInterval);
        if (m_output->lost())
            queueFollow();
    }
}

void OutputKeeper::queueFollow()
{
    if (m_followQueued)
        return;
    m_followQueued = true;
    // Before any sound still to be decoded: a key's sound waits for the device, not for them.
    m_worker.postUrgent([this] { follow(); });
}

void OutputKeeper::follow()
{
    std::unique_lock guard(m_mutex);
    m_followQueued = false;
    const bool open = m_wantOpen;
    const State state = m_state;
    const bool lost = state == State::Open && m_output->lost();
    if (open ? state == State::Open && !lost : state != State::Open) {
        m_state = open ? state : State::Closed;
        return;
    }
    guard.unlock();
    // Closing an idle device, or a lost one before its replacement opens.
    if (state == State::Open)
        m_output->stop();
    const bool started = open && m_output->start(&m_mixer);
    guard.lock();
    m_state = !open ? State::Closed : (started ? State::Open : State::Failed);
}

bool OutputKeeper::isOpen() const
{
    std::lock_guard guard(m_mutex);
    return m_state == State::Open;
}

int OutputKeeper::periodFrames() const
{
    return isOpen() ? m_output->periodFrames() : 0;
}

int OutputKeeper::sampleRate() const
{
    return isOpen() ? m_output->sampleRate() : 0;
}
