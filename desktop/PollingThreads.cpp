#include "desktop/PollingThreads.h"

#include "desktop/DesktopLog.h"

#include <algorithm>

PollingThreads::PollingThreads() = default;

PollingThreads::~PollingThreads()
{
    shutdown();
}

std::shared_ptr<PollingTask> PollingThreads::start(Work work)
{
    auto task = std::make_shared<PollingTask>();
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_tasks, [](const auto& weak) { return weak.expired(); });
        m_tasks.push_back(task);
    }
    // Never let a new loop wait behind sleeping ones.
    m_pool.setMaxThreadCount(std::max(m_pool.maxThreadCount(), m_pool.activeThreadCount() + 1));
    m_pool.start([task, work = std::move(work)] { work(*task); });
    qCDebug(lcDesktop) << "polling loop started";
    return task;
}

void PollingThreads::cancelAll()
{
    const std::lock_guard lock(m_mutex);
    for (const auto& weak : m_tasks) {
        if (const auto task = weak.lock())
            task->cancel();
    }
}

bool PollingThreads::sleep(std::chrono::milliseconds duration)
{
    Sleeper sleeper;
    {
        std::unique_lock lock(m_mutex);
        if (m_shuttingDown)
            return false;
        if (!m_sleeper) {
            m_wake.wait_for(lock, duration, [this] { return m_shuttingDown; });
            return !m_shuttingDown;
        }
        sleeper = m_sleeper;
    }
    sleeper(duration);
    const std::lock_guard lock(m_mutex);
    return !m_shuttingDown;
}

void PollingThreads::setSleeper(Sleeper sleeper)
{
    const std::lock_guard lock(m_mutex);
    m_sleeper = std::move(sleeper);
}

void PollingThreads::shutdown()
{
    {
        const std::lock_guard lock(m_mutex);
        m_shuttingDown = true;
    }
    cancelAll();
    m_wake.notify_all();
    m_pool.waitForDone();
}

bool PollingThreads::waitForDone(std::chrono::milliseconds timeout)
{
    return m_pool.waitForDone(static_cast<int>(timeout.count()));
}
