// The multiplier window as the operator and the host meet it, through the plug-in's
// exports, under Wine with a display.
#include "../../plugin/exports/PluginUnderTest.h"
#include "TempDir.h"
#include "window_robot.h"

#include <doctest/doctest.h>

namespace {

constexpr const char* kSettings = "Plugins\\MOLTA.ini";

std::string setting(const char* key)
{
    char value[64] = {};
    GetPrivateProfileStringA("Settings", key, "(missing)", value, sizeof value, kSettings);
    return value;
}

// The next reset without a report opens the window (the "Start" alternation).
void letNextResetOpen() { WritePrivateProfileStringA("Settings", "Start", "0", kSettings); }

HWND resetAndWait(PluginUnderTest& p)
{
    letNextResetOpen();
    p.reset(0, "RA3XYZ", kStart, kEnd, "");
    return robot::waitForWindow();
}

POINT topLeft(HWND w)
{
    RECT r{};
    GetWindowRect(w, &r);
    return POINT{r.left, r.top};
}

// The close button: what a click on it sends.
void pressCloseButton(HWND w) { PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0); }

bool gone(HWND w)
{
    return robot::eventually([&] { return !IsWindow(w); });
}

} // namespace

TEST_CASE("a reset opens the list on a thread of its own, topmost at 200, 400, fed live")
{
    TempDir dir;
    PluginUnderTest p(decoratedWhereAvailable());
    REQUIRE(robot::multiplierWindow() == nullptr);
    HWND w = resetAndWait(p);
    REQUIRE(w != nullptr);

    const POINT at = topLeft(w);
    CHECK(at.x == 200);
    CHECK(at.y == 400);
    CHECK((GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    const LONG style = GetWindowLongA(w, GWL_STYLE);
    CHECK((style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME)) ==
          (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    CHECK((style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) == 0);
    const LONG listStyle = GetWindowLongA(GetDlgItem(w, robot::kListId), GWL_STYLE);
    CHECK((listStyle & (LBS_MULTICOLUMN | LBS_NOSEL | LBS_NOINTEGRALHEIGHT)) ==
          (LBS_MULTICOLUMN | LBS_NOSEL | LBS_NOINTEGRALHEIGHT));
    CHECK((listStyle & LBS_SORT) == 0);
    CHECK(GetWindowThreadProcessId(w, nullptr) != GetCurrentThreadId());
    CHECK(SendMessageA(w, WM_GETICON, ICON_BIG, 0) != 0);
    Sleep(450); // past the window's own first tick

    const COleDateTime now = utcNowOle();
    for (const char* call : {"UA1AAA", "RA9XYZ", "UA3CCC"})
        p.add(makeQso(call, "80", "CW", now));
    p.result(nullptr);
    const auto checked = robot::Clock::now();
    p.check("UA4DDD", "CW", "80", nullptr);
    const std::vector<std::string> expected{" UA1AAA", " RA9XYZ", " UA3CCC"};
    CHECK(robot::eventually([&] { return robot::listEntries(w) == expected; }, 1500));
    CHECK(robot::msSince(checked) < 700); // about half a second after the check
    CHECK(robot::saveScreenshot(w, robot::artifactPath("multiplier_window.png")));

    p.reset(0, "RA3XYZ", kStart, kEnd, ""); // "1" stored: opens nothing, stores "0"
    CHECK(setting("Start") == "0");
    p.reset(0, "RA3XYZ", kStart, kEnd, ""); // a window is open: it stays, nothing written
    CHECK(setting("Start") == "0");
    CHECK(robot::windowsCaptioned(robot::kCaption) == std::vector<HWND>{w});

    pressCloseButton(w);
    CHECK(gone(w));
    CHECK(robot::multiplierWindow() == nullptr);
}

TEST_CASE("a moved window reopens where it was moved; only the changed key is written")
{
    TempDir dir;
    PluginUnderTest p(decoratedWhereAvailable());
    HWND w = resetAndWait(p);
    REQUIRE(w != nullptr);

    // Dragged straight down, then the pointer passes over it.
    SetWindowPos(w, nullptr, 200, 650, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    CHECK(setting("member_y") == "650");
    CHECK(setting("member_x") == "(missing)");

    // Dragged again, but closed before the pointer came by: that move is not kept.
    SetWindowPos(w, nullptr, 320, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pressCloseButton(w);
    REQUIRE(gone(w));

    w = resetAndWait(p);
    REQUIRE(w != nullptr);
    const POINT at = topLeft(w);
    CHECK(at.x == 200);
    CHECK(at.y == 650);
    pressCloseButton(w);
    CHECK(gone(w));
}

TEST_CASE("the list keeps a margin of 5 pixels when the window is resized")
{
    TempDir dir;
    PluginUnderTest p(decoratedWhereAvailable());
    HWND w = resetAndWait(p);
    REQUIRE(w != nullptr);

    RECT frame{0, 0, 300, 200};
    AdjustWindowRectEx(&frame, GetWindowLongA(w, GWL_STYLE), FALSE, GetWindowLongA(w, GWL_EXSTYLE));
    SetWindowPos(w, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client{};
    GetClientRect(w, &client);
    RECT list{};
    GetWindowRect(GetDlgItem(w, robot::kListId), &list);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&list), 2);
    CHECK(list.left == 5);
    CHECK(list.top == 5);
    CHECK(list.right == client.right - 5);
    CHECK(list.bottom == client.bottom - 5);
    CHECK(client.right == 300);
    CHECK(client.bottom == 200);
}
