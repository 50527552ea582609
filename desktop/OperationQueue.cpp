#include "desktop/OperationQueue.h"

#include <algorithm>

OperationQueue::OperationQueue() = default;

OperationQueue::~OperationQueue()
{
    shutdown();
}

std::shared_ptr<BlockOperation> OperationQueue::addOperation(Block block)
{
    auto operation = std::make_shared<BlockOperation>();
    {
        const std::lock_guard lock(m_mutex);
        std::erase_if(m_operations, [](const auto& weak) { return weak.expired(); });
        m_operations.push_back(operation);
    }
    // Never let a new operation wait behind sleeping ones.
    m_pool.setMaxThreadCount(std::max(m_pool.maxThreadCount(), m_pool.activeThreadCount() + 1));
    m_pool.start([operation, block = std::move(block)] { block(*operation); });
    return operation;
}

void OperationQueue::cancelAllOperations()
{
    const std::lock_guard lock(m_mutex);
    for (const auto& weak : m_operations) {
        if (const auto operation = weak.lock())
            operation->cancel();
    }
}

bool OperationQueue::sleep(std::chrono::milliseconds duration)
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

void OperationQueue::setSleeper(Sleeper sleeper)
{
    const std::lock_guard lock(m_mutex);
    m_sleeper = std::move(sleeper);
}

void OperationQueue::shutdown()
{
    {
        const std::lock_guard lock(m_mutex);
        m_shuttingDown = true;
    }
    cancelAllOperations();
    m_wake.notify_all();
    m_pool.waitForDone();
}

bool OperationQueue::waitForDone(std::chrono::milliseconds timeout)
{
    return m_pool.waitForDone(static_cast<int>(timeout.count()));
}
