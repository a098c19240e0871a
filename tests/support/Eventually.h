#pragma once
// Waiting in tests without a fixed sleep: poll a condition with a time limit, for what
// another thread does. Not for a timer: hold the monotonic clock and move it instead
// (FakePlatform::holdClock, advanceMs), which returns once the due ticks are handled.

#include "platform/Platform.h"

#include <chrono>

namespace test_support {

using Clock = std::chrono::steady_clock;

inline long long msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Polls condition every 5 ms until it holds or limitMs has passed.
template <typename Condition>
bool eventually(Condition condition, int limitMs = 3000)
{
    const auto start = Clock::now();
    while (!condition()) {
        if (msSince(start) > limitMs)
            return false;
        platform::ops().sleepMs(5);
    }
    return true;
}

} // namespace test_support
