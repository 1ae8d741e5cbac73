// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/portable/Worker.h"

#include "platform/portable/ThreadName.h"

Worker::Worker(const char *name, std::function<void()> threadEnd)
    : m_name(name), m_threadEnd(std::move(threadEnd))
{}

Worker::~Worker()
{
    {
        std::lock_guard guard(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void Worker::post(std::function<void()> job)
{
    add(std::move(job), false);
}

void Worker::postUrgent(std::function<void()> job)
{
    add(std::move(job), true);
}

void Worker::add(std::function<void()> job, bool urgent)
{
    {
        std::lock_guard guard(m_mutex);
        if (urgent)
            m_jobs.insert(m_jobs.begin() + std::ptrdiff_t(m_urgent++), std::move(job));
        else
            m_jobs.push_back(std::move(job));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_changed.notify_all();
}

void Worker::waitUntilIdle()
{
    std::unique_lock guard(m_mutex);
    m_changed.wait(guard, [this] { return (m_jobs.empty() && !m_busy) || m_quit; });
}

void Worker::run()
{
    nameThisThread(m_name);
    std::unique_lock guard(m_mutex);
    for (;;) {
        m_changed.wait(guard, [this] { return m_quit || !m_jobs.empty(); });
        if (m_quit)
            break;
        std::function<void()> job = std::move(m_jobs.front());
        m_jobs.pop_front();
        if (m_urgent > 0)
            --m_urgent;
        m_busy = true;
        guard.unlock();
        job();
        job = nullptr; // what the job holds is let go on this thread, outside the lock
        guard.lock();
        m_busy = false;
        m_changed.notify_all();
    }
    guard.unlock();
    if (m_threadEnd)
        m_threadEnd();
}
