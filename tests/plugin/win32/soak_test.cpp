// A contest's worth of host sessions in one process: every cycle loads the plug-in,
// opens its window, feeds it and unloads it with the window open. Nothing may pile up.
#include "../exports/PluginUnderTest.h"
#include "TempDir.h"
#include "bench/ProcessStats.h"
#include "window_robot.h"

#include <doctest/doctest.h>

namespace {

void cycle(int round)
{
    host::StatsHost h;
    REQUIRE(h.load(pluginPath(), host::NameKind::Decorated, nullptr));
    WritePrivateProfileStringA("Settings", "Start", "0", "Plugins\\MOLTA.ini"); // opens
    h.reset(0, "RA3XYZ", kStart, kEnd, "");
    for (int i = 0; i < 20; ++i) {
        const std::string call = "UA" + std::to_string(round % 10) + "A" + std::to_string(i);
        h.check(call, "CW", i % 2 ? "80" : "160", nullptr);
        h.add(makeQso(call.c_str(), i % 2 ? "80" : "160", "CW", utcNowOle()));
    }
    int score = 0;
    h.result(&score);
    CHECK(score == 40);
    REQUIRE(robot::waitForWindow() != nullptr); // the window is open at every unload
    h.unload();
    REQUIRE(robot::multiplierWindow() == nullptr);
}

} // namespace

TEST_CASE("soak: 200 cycles of load, reset, add, check, summary and unload with the window open")
{
    TempDir dir;
    for (int round = 0; round < 5; ++round) // the system's own caches settle first
        cycle(round);
    robot::eventually([] { return robot::threadsOfThisProcess() <= 1; });
    const bench::ProcessStats before = bench::currentProcessStats();

    for (int round = 5; round < 205; ++round) {
        CAPTURE(round);
        cycle(round);
    }
    robot::eventually([] { return robot::threadsOfThisProcess() <= 1; });
    const bench::ProcessStats after = bench::currentProcessStats();

    MESSAGE("after 200 cycles: threads " << before.threads << " -> " << after.threads
            << ", handles " << before.handles << " -> " << after.handles << ", heap bytes "
            << before.heapBytes << " -> " << after.heapBytes);
    CHECK(robot::multiplierWindow() == nullptr);
    CHECK(after.threads <= before.threads);
    // The compiler's runtime registers the DLL's unwind tables under a lock of its own
    // that it creates at every load and never closes: one handle per load, with any C++
    // DLL built by this compiler. The plug-in's own code must add none on top.
    CHECK(after.handles <= before.handles + 200 + 4);
    CHECK(after.heapBytes <= before.heapBytes + 256 * 1024);
}
