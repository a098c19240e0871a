// How long the multiplier window takes to take in a new list of 100, 1 000 and 5 000
// calls, measured under Wine through Stats.dll. A robot like the GUI tests: it finds the
// window and sends it its refresh timer's message, which the window's thread handles
// before the send returns; the one repaint that follows is not counted.
#include "LogGenerator.h"
#include "contract/SettingsKeys.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr unsigned kRefreshTimer = 1443;
constexpr int kListId = 1019;

struct Found {
    HWND window = nullptr;
};

BOOL CALLBACK findMultiplierWindow(HWND w, LPARAM p)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char caption[64] = {};
    GetWindowTextA(w, caption, sizeof caption);
    if (pid == GetCurrentProcessId() && std::string(caption) == "Korvane Multiplier") {
        reinterpret_cast<Found*>(p)->window = w;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow()
{
    for (int i = 0; i < 300; ++i) {
        Found found;
        EnumWindows(findMultiplierWindow, reinterpret_cast<LPARAM>(&found));
        if (found.window)
            return found.window;
        Sleep(10);
    }
    return nullptr;
}

// One refresh, from the timer's message to the list answering with its new count.
double refreshMs(HWND window, HWND list, LRESULT* count)
{
    const auto start = std::chrono::steady_clock::now();
    SendMessageA(window, WM_TIMER, kRefreshTimer, 0);
    const auto end = std::chrono::steady_clock::now();
    *count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    return std::chrono::duration<double, std::milli>(end - start).count();
}

} // namespace

int main(int argc, char** argv)
{
    host::StatsHost plugin;
    std::string error;
    if (!plugin.load(argc > 1 ? argv[1] : "Stats.dll", host::NameKind::Decorated, &error)) {
        std::fprintf(stderr, "window_refill_timing: %s\n", error.c_str());
        return 1;
    }
    const auto scratch = std::filesystem::temp_directory_path() / "korvane-refill";
    std::filesystem::create_directories(scratch / "Plugins");
    std::filesystem::current_path(scratch);
    WritePrivateProfileStringA(settings::kSection, settings::key::kStart, "0", settings::kFile);
    const COleDateTime start = makeOleDate(2026, 12, 5, 12, 0, 0), end = makeOleDate(2026, 12, 7, 12, 0, 0);
    plugin.reset(0, "RA3XYZ", start, end, "");
    HWND window = waitForWindow();
    HWND list = window ? GetDlgItem(window, kListId) : nullptr;
    if (!list) {
        std::fprintf(stderr, "window_refill_timing: the multiplier window did not open\n");
        return 1;
    }

    std::printf("%-28s %8s %10s\n", "window refresh", "calls", "time");
    int status = 0;
    for (std::size_t calls : {100u, 1000u, 5000u}) {
        plugin.reset(0, "RA3XYZ", start, end, ""); // the open window stays open
        host::Qso q = generateLog(1, 1).front();
        for (std::size_t i = 0; i < calls; ++i) {
            q.call = "UA" + std::to_string(i) + "X";
            plugin.add(q);
        }
        plugin.result(nullptr);
        LRESULT count = 0;
        const double fill = refreshMs(window, list, &count);
        const LRESULT filled = count;
        const double unchanged = refreshMs(window, list, &count);
        std::printf("%-28s %8zu %8.2f ms\n", "refill with a new list", calls, fill);
        std::printf("%-28s %8zu %8.2f ms\n", "refresh, list unchanged", calls, unchanged);
        if (static_cast<std::size_t>(filled) != calls || count != filled) {
            std::fprintf(stderr, "the list shows %ld entries, not %zu\n", static_cast<long>(count), calls);
            status = 1;
        }
    }
    plugin.unload();
    std::filesystem::current_path(scratch.parent_path());
    std::filesystem::remove_all(scratch);
    return status;
}
