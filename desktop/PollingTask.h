#pragma once
// One loop on PollingThreads: cancelling only raises its flag; the loop decides where it looks
// at it.

#include <atomic>

class PollingTask {
public:
    bool isCancelled() const { return m_cancelled.load(); }
    void cancel() { m_cancelled.store(true); }

private:
    std::atomic<bool> m_cancelled{false};
};
