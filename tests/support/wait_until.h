#pragma once
// Polls a condition until it holds, for tests that drive sockets, servers or transfers step by
// step; gives up after ten seconds, so that a fault fails the test instead of hanging the run.

#include <chrono>
#include <functional>

namespace test {

inline bool wait_until(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
    }
    return true;
}

}  // namespace test
