// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

// One thread that runs jobs one after another: urgent ones before the others, each kind in the
// order given. The thread starts with the first job, under the worker's name, and sleeps, with
// no timeout, whenever there is nothing to do, so an idle worker never wakes the program. It
// ends with the object, after the job under way; jobs still waiting are dropped.
//
// Every job and `threadEnd` run on the worker's thread; post(), postUrgent() and
// waitUntilIdle() may be called from any other thread, and from a job.
class Worker
{
  public:
    // `name` is the thread's (nameThisThread: at most 15 characters), a string that outlives
    // the worker. `threadEnd` runs on the thread just before it ends (to free what a library
    // keeps for each thread that called it).
    explicit Worker(const char *name, std::function<void()> threadEnd = {});
    ~Worker();
    Worker(const Worker &) = delete;
    Worker &operator=(const Worker &) = delete;

    void post(std::function<void()> job);
    void postUrgent(std::function<void()> job);
    // Blocks until no job is waiting or running.
    void waitUntilIdle();

  private:
    void add(std::function<void()> job, bool urgent);
    void run();

    const char *m_name;
    std::function<void()> m_threadEnd;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_jobs;
    std::size_t m_urgent = 0; // how many of m_jobs, at its front, are urgent
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};
