#pragma once
// A background queue of long-running, cancellable block operations on a thread pool of its own.
// Every operation gets a worker thread to itself, however many run at once, because a polling
// loop holds its thread for its whole life. Cancelling only raises the operation's flag; the
// block decides where it looks at it.

#include <QThreadPool>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class BlockOperation {
public:
    bool isCancelled() const { return m_cancelled.load(); }
    void cancel() { m_cancelled.store(true); }

private:
    std::atomic<bool> m_cancelled{false};
};

class OperationQueue {
public:
    using Block = std::function<void(const BlockOperation&)>;
    // Blocks the calling thread for the given time; tests hand in one they control.
    using Sleeper = std::function<void(std::chrono::milliseconds)>;

    OperationQueue();
    // Shuts down: see shutdown().
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    std::shared_ptr<BlockOperation> addOperation(Block block);
    // Marks every operation added so far as cancelled and returns without waiting.
    void cancelAllOperations();

    // The blocking sleep of an operation. False once the queue shuts down: the sleep then ends
    // early and the block should return without further work.
    bool sleep(std::chrono::milliseconds duration);
    void setSleeper(Sleeper sleeper);

    // For process exit: cancels everything, ends every sleep at once and waits for the blocks.
    void shutdown();
    // Waits until every block has returned; false when `timeout` passed first.
    bool waitForDone(std::chrono::milliseconds timeout);

private:
    QThreadPool m_pool;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_shuttingDown = false;
    Sleeper m_sleeper;
    std::vector<std::weak_ptr<BlockOperation>> m_operations;
};
