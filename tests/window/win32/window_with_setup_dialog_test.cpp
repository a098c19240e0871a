// The Cabrillo setup dialog runs modally on the host's thread while the multiplier window
// goes on on its own: each thread has its own message loop.
#include "../../plugin/exports/PluginUnderTest.h"
#include "TempDir.h"
#include "window_robot.h"

#include <doctest/doctest.h>

namespace {

struct WhatTheOperatorSaw {
    bool setupShown = false;
    bool multiplierShown = false;
    bool multiplierEnabled = false;
    bool onDifferentThreads = false;
    bool multiplierRefreshed = false;
    bool multiplierAbove = false;
};

// Stands in for the operator: looks at both windows, then confirms the setup dialog.
DWORD WINAPI operatorAtTheScreen(LPVOID parameter)
{
    auto& saw = *static_cast<WhatTheOperatorSaw*>(parameter);
    HWND setup = nullptr;
    robot::eventually([&] {
        const std::vector<HWND> found = robot::windowsCaptioned("Korvane");
        setup = found.empty() ? nullptr : found.front();
        return setup && IsWindowVisible(setup);
    }, 5000);
    HWND multiplier = robot::multiplierWindow();
    if (setup && multiplier) {
        saw.setupShown = IsWindowVisible(setup) != FALSE;
        saw.multiplierShown = IsWindowVisible(multiplier) != FALSE;
        saw.multiplierEnabled = IsWindowEnabled(multiplier) != FALSE;
        saw.onDifferentThreads =
            GetWindowThreadProcessId(setup, nullptr) != GetWindowThreadProcessId(multiplier, nullptr);
        for (HWND w = multiplier; w; w = GetWindow(w, GW_HWNDNEXT))
            saw.multiplierAbove = saw.multiplierAbove || w == setup; // topmost: above the dialog
        // Its refresh timer firing now: the list follows while the setup dialog is up.
        PostMessageA(multiplier, WM_TIMER, 1443, 0);
        saw.multiplierRefreshed = robot::eventually(
            [&] { return robot::listEntries(multiplier) == std::vector<std::string>{" UA1AAA"}; }, 2000);
        Sleep(300); // let both finish painting
        RECT a{}, b{}, both{};
        GetWindowRect(setup, &a);
        GetWindowRect(multiplier, &b);
        UnionRect(&both, &a, &b);
        robot::saveScreenshot(both, robot::artifactPath("multiplier_window_with_setup.png"));
    }
    if (setup) {
        PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (!robot::eventually([&] { return !IsWindow(setup); }, 2000))
            PostMessageA(setup, WM_CLOSE, 0, 0);
    }
    return 0;
}

} // namespace

TEST_CASE("the setup dialog runs modally on the host's thread while the window runs on")
{
    TempDir dir;
    PluginUnderTest p(decoratedWhereAvailable());
    WritePrivateProfileStringA("Settings", "Start", "0", "Plugins\\MOLTA.ini");
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    HWND multiplier = robot::waitForWindow();
    REQUIRE(multiplier != nullptr);
    Sleep(450); // past its first tick: the list below reaches it only by a later one
    p.add(makeQso("UA1AAA", "80", "CW", utcNowOle()));
    p.result(nullptr);
    REQUIRE(robot::listEntries(multiplier).empty());

    WhatTheOperatorSaw saw;
    HANDLE robotThread = CreateThread(nullptr, 0, operatorAtTheScreen, &saw, 0, nullptr);
    REQUIRE(robotThread != nullptr);
    p.reset(1, "RA3XYZ", kStart, kEnd, ""); // returns when the operator has confirmed
    CHECK(WaitForSingleObject(robotThread, 10000) == WAIT_OBJECT_0);
    CloseHandle(robotThread);

    CHECK(saw.setupShown);
    CHECK(saw.multiplierShown);
    CHECK(saw.multiplierEnabled); // the modal dialog disables none of the window's
    CHECK(saw.onDifferentThreads);
    CHECK(saw.multiplierAbove);
    CHECK(saw.multiplierRefreshed);
    CHECK(IsWindow(multiplier)); // a reset while it is open leaves it open
}
