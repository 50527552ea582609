#pragma once
// The threads of long-running, cancellable polling loops, in a thread pool of their own. Every
// loop gets a worker thread to itself, however many run at once, because a polling loop holds its
// thread for its whole life.

#include "desktop/PollingTask.h"

#include <QThreadPool>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class PollingThreads {
public:
    using Work = std::function<void(const PollingTask&)>;
    // Blocks the calling thread for the given time; tests hand in one they control.
    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    PollingThreads();
    // Shuts down: see shutdown().
    ~PollingThreads();
    PollingThreads(const PollingThreads&) = delete;
    PollingThreads& operator=(const PollingThreads&) = delete;

    // Runs `work` on a thread of its own.
    std::shared_ptr<PollingTask> start(Work work);
    // Marks every task started so far as cancelled and returns without waiting.
    void cancelAll();

    // The blocking sleep of a loop. False once the threads shut down: the sleep then ends early
    // and the loop should return without further work.
    bool sleep(std::chrono::milliseconds duration);
    void setSleeper(Sleeper sleeper);

    // For process exit: cancels everything, ends every sleep at once and waits for the loops.
    void shutdown();
    // Waits until every loop has returned; false when `timeout` passed first.
    bool waitForDone(std::chrono::milliseconds timeout);

private:
    QThreadPool m_pool;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_shuttingDown = false;
    Sleeper m_sleeper;
    std::vector<std::weak_ptr<PollingTask>> m_tasks;
};
