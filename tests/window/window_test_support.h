#pragma once
// Shared by the window tests: a window host of the test's own, time passing for the
// window's timers, waiting with a time limit, and the window as anyone outside it sees and
// moves it: on Win32 through the system (list box messages, window rectangles, the test's
// own thread), natively through the headless backend's view of its windows.

#include "Eventually.h"
#include "FakePlatform.h"
#include "platform/Dialog.h"
#include "platform/Platform.h"
#include "resources/MultiplierWindowIds.h"
#include "window/MultiplierList.h"
#include "window/WindowHost.h"

#include <doctest/doctest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include "platform/DialogTestSeam.h"
#endif

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace window_test {

using test_support::Clock;
using test_support::eventually;
using test_support::msSince;
using platform::dialog::Rect;
using platform::dialog::WindowHandle;

// The list a window shows and the host that runs the window; the window closes as the
// host goes.
struct HostedList {
    MultiplierList list;
    WindowHost host{list};

    void setMultipliers(std::vector<std::string> calls) { list.rebuild(std::move(calls)); }
};


// Time for the window's timers. Natively they run on the monotonic clock, which a test
// holds (FakePlatform::holdClock, before the window opens) and moves: once pass returns,
// every tick that fell due has been handled. Win32's timers keep the system's time, so
// there the test sleeps, and what a tick does shows a moment later (eventually waits).
#if defined(_WIN32)
// Room for the system's timers and Wine's pace when a test looks just before a tick.
constexpr unsigned kTimerSlackMs = 50;
#else
constexpr unsigned kTimerSlackMs = 1;
#endif

inline void pass(unsigned milliseconds)
{
#if defined(_WIN32)
    platform::ops().sleepMs(milliseconds);
#else
    REQUIRE(FakePlatform::advanceMs(milliseconds));
#endif
}

// Up to just before a timer armed the given time ago falls due, then just past it.
inline void passAlmost(unsigned milliseconds) { pass(milliseconds - kTimerSlackMs); }
inline void passTheRest() { pass(kTimerSlackMs); }

#if defined(_WIN32)

inline std::vector<std::string> listEntries(WindowHandle window)
{
    std::vector<std::string> entries;
    HWND list = window ? GetDlgItem(static_cast<HWND>(window), IDC_MULTIPLIER_LIST) : nullptr;
    const LRESULT n = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < n; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::string text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, '\0');
        const LRESULT copied = SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&text[0]));
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        entries.push_back(text);
    }
    return entries;
}

inline bool outerRect(WindowHandle window, Rect& rect)
{
    RECT r{};
    if (!window || !GetWindowRect(static_cast<HWND>(window), &r))
        return false;
    rect = Rect{r.left, r.top, r.right, r.bottom};
    return true;
}

inline void dragTo(WindowHandle window, int x, int y)
{
    SetWindowPos(static_cast<HWND>(window), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

inline void pointerPasses(WindowHandle window)
{
    HWND w = static_cast<HWND>(window);
    SendMessageA(w, WM_SETCURSOR, reinterpret_cast<WPARAM>(w), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
}

inline bool isMultiplierWindow(HWND w)
{
    DWORD process = 0;
    GetWindowThreadProcessId(w, &process);
    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof caption);
    return process == GetCurrentProcessId() && std::string(caption) == "Korvane Multiplier";
}

inline BOOL CALLBACK countMultiplierWindow(HWND w, LPARAM count)
{
    if (isMultiplierWindow(w))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

inline BOOL CALLBACK findMultiplierWindow(HWND w, LPARAM found)
{
    if (!isMultiplierWindow(w))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// The multiplier window open in this process, as the operator finds it on screen; null
// when none is.
inline WindowHandle multiplierWindow()
{
    HWND found = nullptr;
    EnumWindows(findMultiplierWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Win32 keeps no such record: the most that any count here has seen.
inline int& mostCounted()
{
    static int most = 0;
    return most;
}

inline int windowCount()
{
    int count = 0;
    EnumWindows(countMultiplierWindow, reinterpret_cast<LPARAM>(&count));
    mostCounted() = std::max(mostCounted(), count);
    return count;
}

inline int mostAtOnce() { return std::max(mostCounted(), windowCount()); }

#else

namespace headless = platform::dialog::headless;

inline std::vector<std::string> listEntries(WindowHandle window)
{
    return headless::listEntries(window, IDC_MULTIPLIER_LIST);
}

inline bool outerRect(WindowHandle window, Rect& rect) { return headless::windowRect(window, rect); }

inline void dragTo(WindowHandle window, int x, int y) { headless::moveWindow(window, x, y); }

inline void pointerPasses(WindowHandle window)
{
    platform::dialog::sendMessage(window, platform::dialog::kSetCursor);
}

inline WindowHandle multiplierWindow() { return headless::newestWindow(IDD_MULTIPLIER_WINDOW); }

inline int windowCount() { return headless::windowCount(IDD_MULTIPLIER_WINDOW); }
inline int mostAtOnce() { return headless::mostWindowsAtOnce(IDD_MULTIPLIER_WINDOW); }

#endif

// The tests run one window host at a time, so its window is the multiplier window that is
// open; a host whose window is not up finds none.
inline WindowHandle published(const WindowHost&) { return multiplierWindow(); }
inline bool windowUp(const WindowHost& host) { return published(host) != nullptr; }

// What the host's open window shows in its list; empty without a window.
inline std::vector<std::string> shown(const WindowHost& host) { return listEntries(published(host)); }

// The host's open window's outer top-left corner, once a window is up.
inline std::pair<int, int> topLeft(const WindowHost& host)
{
    Rect r;
    REQUIRE(eventually([&] { return outerRect(published(host), r); }));
    return {r.left, r.top};
}

} // namespace window_test
