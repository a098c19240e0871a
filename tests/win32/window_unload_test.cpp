// Unloading the plug-in while its window is open, as the host may at any moment.
#include "../exports/PluginUnderTest.h"
#include "TempDir.h"
#include "window_robot.h"

#include <doctest/doctest.h>

namespace {

const COleDateTime kStart = makeOleDate(2026, 12, 7, 10, 0, 0);
const COleDateTime kEnd = makeOleDate(2026, 12, 7, 12, 0, 0);

void letNextResetOpen() { WritePrivateProfileStringA("Settings", "Start", "0", "Plugins\\MOLTA.ini"); }

bool threadsBackTo(int baseline)
{
    return robot::eventually([&] { return robot::threadsOfThisProcess() <= baseline; });
}

} // namespace

TEST_CASE("FreeLibrary with the window open closes it within a second and the host lives on")
{
    TempDir dir;
    const int baseline = robot::threadsOfThisProcess();
    host::StatsHost h;
    std::string error;
    REQUIRE_MESSAGE(h.load(pluginPath(), host::NameKind::Plain, &error), error);
    letNextResetOpen();
    h.reset(0, "RA3XYZ", kStart, kEnd, "");
    HWND w = robot::waitForWindow();
    REQUIRE(w != nullptr);
    h.add(makeQso("UA1AAA", "40", "SSB", utcNowOle()));
    h.result(nullptr);
    h.check("UA1AAA", "SSB", "40", nullptr); // a refresh is pending as the library goes

    const auto start = robot::Clock::now();
    h.unload();
    const long long took = robot::msSince(start);
    MESSAGE("FreeLibrary with the window open took " << took << " ms");
    CHECK(took < 1000);
    CHECK_FALSE(IsWindow(w));
    CHECK(threadsBackTo(baseline));
    Sleep(100); // a thread left in the unmapped code would have crashed us by now
}

TEST_CASE("load, reset and free 50 times leaves no thread and no window")
{
    TempDir dir;
    const int baseline = robot::threadsOfThisProcess();
    long long slowest = 0;
    for (int round = 0; round < 50; ++round) {
        CAPTURE(round);
        host::StatsHost h;
        REQUIRE(h.load(pluginPath(), host::NameKind::Plain, nullptr));
        letNextResetOpen();
        h.reset(0, "RA3XYZ", kStart, kEnd, "");
        REQUIRE(robot::multiplierWindow() != nullptr); // the reset returns with it up
        if (round % 3 == 1) {
            Sleep(420); // past its first tick
        } else if (round % 3 == 2) {
            h.check("UA1AAA", "CW", "80", nullptr); // a refresh pending
            Sleep(round % 7);
        }
        const auto start = robot::Clock::now();
        h.unload();
        slowest = std::max(slowest, robot::msSince(start));
        CHECK(robot::multiplierWindow() == nullptr);
    }
    MESSAGE("slowest of 50 unloads: " << slowest << " ms");
    CHECK(slowest < 1000);
    CHECK(threadsBackTo(baseline));
    CHECK(robot::multiplierWindow() == nullptr);
}
