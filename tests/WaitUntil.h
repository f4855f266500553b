// Waiting in tests: for a condition, never for a fixed time. The limit only ends a test that
// is failing; a passing one goes on as soon as its condition holds, so a loaded machine makes
// the suite slower, not red.
#pragma once

#include <chrono>
#include <thread>

namespace zel::test {

// How long any wait in a test may take before it counts as failed.
inline constexpr std::chrono::seconds kWaitLimit{30};

// Polls `done` until it returns true; false when `limit` passed first.
template <typename Predicate>
bool WaitUntil(Predicate&& done, std::chrono::milliseconds limit = kWaitLimit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace zel::test
