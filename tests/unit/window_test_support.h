#pragma once
// Shared by the window tests: waiting with a time limit, and what the open window shows.

#include "Eventually.h"
#include "platform/Platform.h"
#include "scoring/StatsEngine.h"
#include "window/WindowAddress.h"

#include <chrono>
#include <string>
#include <vector>

namespace window_test {

using test_support::Clock;
using test_support::eventually;
using test_support::msSince;

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
