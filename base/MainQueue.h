#pragma once
// Work handed to the main thread's event loop: the one place where completions, parsing and
// user-interface updates run. Safe to call from any thread.

#include <chrono>
#include <functional>

namespace MainQueue {

// Runs `work` on the main thread, after the caller has returned (also when the caller is the
// main thread itself). Calls queued from one thread run in the order they were queued.
void async(std::function<void()> work);

// Runs `work` on the main thread once `delay` has passed.
void asyncAfter(std::chrono::milliseconds delay, std::function<void()> work);

// True on the thread that runs the application's event loop.
bool isMainThread();

} // namespace MainQueue
