// Unloading the plug-in while its window is open, as the host may at any moment.
#include "../../plugin/exports/PluginUnderTest.h"
#include "TempDir.h"
#include "window_robot.h"

#include <doctest/doctest.h>

#include <atomic>

namespace {

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

namespace {

// The operator: presses the close button of the window whenever one is up, now and then.
std::atomic<bool> operatorOnDuty{false};
std::atomic<int> operatorCloses{0};

DWORD WINAPI closeAtRandom(LPVOID)
{
    unsigned seed = 77;
    while (operatorOnDuty.load()) {
        seed = seed * 1103515245u + 12345u;
        Sleep((seed >> 16) % 40);
        if (HWND w = robot::multiplierWindow()) {
            if (PostMessageA(w, WM_CLOSE, 0, 0))
                ++operatorCloses;
        }
    }
    return 0;
}

} // namespace

TEST_CASE("an operator closing the window at random moments while the host works and unloads")
{
    TempDir dir;
    const int baseline = robot::threadsOfThisProcess();
    operatorOnDuty = true;
    operatorCloses = 0;
    HANDLE operatorThread = CreateThread(nullptr, 0, closeAtRandom, nullptr, 0, nullptr);
    REQUIRE(operatorThread != nullptr);

    long long slowest = 0;
    const auto began = robot::Clock::now();
    for (int round = 0; round < 30; ++round) {
        CAPTURE(round);
        host::StatsHost h;
        REQUIRE(h.load(pluginPath(), host::NameKind::Plain, nullptr));
        for (int reset = 0; reset < 1 + round % 3; ++reset) {
            letNextResetOpen();
            h.reset(0, "RA3XYZ", kStart, kEnd, "");
            for (int i = 0; i < 10; ++i) {
                const std::string call = "UA" + std::to_string(i);
                h.check(call.c_str(), "CW", "80", nullptr);
                h.add(makeQso(call.c_str(), "80", "CW", utcNowOle()));
                h.result(nullptr);
            }
            Sleep(static_cast<DWORD>(round * 7 % 30));
        }
        const auto start = robot::Clock::now();
        h.unload();
        slowest = std::max(slowest, robot::msSince(start));
        CHECK(robot::multiplierWindow() == nullptr);
    }
    operatorOnDuty = false;
    WaitForSingleObject(operatorThread, INFINITE);
    CloseHandle(operatorThread);
    MESSAGE("30 sessions in " << robot::msSince(began) << " ms, " << operatorCloses.load()
            << " closes by the operator, slowest unload " << slowest << " ms");
    CHECK(slowest < 1000);
    CHECK(threadsBackTo(baseline));
    CHECK(robot::multiplierWindow() == nullptr);
}
