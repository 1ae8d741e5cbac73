// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/OutputKeeper.h"

#include "platform/portable/Mixer.h"
#include "platform/portable/Worker.h"

OutputKeeper::OutputKeeper(std::unique_ptr<AudioOutput> output, Mixer &mixer, Worker &worker)
    : m_output(std::move(output)), m_mixer(mixer), m_worker(worker)
{
    m_idleTimer.setSingleShot(true);
    QObject::connect(&m_idleTimer, &QTimer::timeout, [this] { idleTimeReached(); });
}

OutputKeeper::~OutputKeeper()
{
    m_idleTimer.stop();
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
}

void OutputKeeper::idleTimeReached()
{
    if (m_mixer.busy()) {
        m_idleTimer.start(m_idleTimeout);
        return;
    }
    want(false);
}

void OutputKeeper::want(bool open)
{
    {
        std::lock_guard guard(m_mutex);
        if (m_wantOpen == open)
            return;
        m_wantOpen = open;
    }
    // Before any sound still to be decoded: a key's sound waits for the device, not for them.
    m_worker.postUrgent([this] { follow(); });
}

void OutputKeeper::follow()
{
    std::unique_lock guard(m_mutex);
    const bool open = m_wantOpen;
    if ((open && m_state != State::Closed) || (!open && m_state != State::Open))
        return;
    guard.unlock();
    const bool started = open && m_output->start(&m_mixer);
    if (!open)
        m_output->stop();
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
