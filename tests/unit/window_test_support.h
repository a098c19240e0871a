#pragma once
// Shared by the window tests: waiting with a time limit, and what the open window shows.

#include "platform/Platform.h"
#include "scoring/StatsEngine.h"
#include "window/WindowAddress.h"

#include <chrono>
#include <string>
#include <vector>

namespace window_test {

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

inline bool windowUp() { return window::publishedAddress() != nullptr; }

inline std::vector<std::string> shown()
{
    window::WindowView view;
    window::viewWindow(view);
    return view.entries;
}

inline void setMultipliers(std::vector<std::string> calls)
{
    theEngine().multipliers.rebuild(std::move(calls));
}

} // namespace window_test
