#pragma once
// The test side's hands and eyes on the multiplier window under Wine: finding it, counting
// the process's threads, and saving what the screen shows as a PNG.

#include "Eventually.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace robot {

inline constexpr const char* kCaption = "Korvane Multiplier";
inline constexpr int kListId = 1019;

using test_support::Clock;
using test_support::eventually;
using test_support::msSince;

struct CaptionSearch {
    const char* caption;
    std::vector<HWND> found;
};

inline BOOL CALLBACK collectCaptioned(HWND w, LPARAM p)
{
    auto* search = reinterpret_cast<CaptionSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char text[128] = {};
    GetWindowTextA(w, text, sizeof text);
    if (pid == GetCurrentProcessId() && std::string(text) == search->caption)
        search->found.push_back(w);
    return TRUE;
}

// Every top-level window of this process with the caption.
inline std::vector<HWND> windowsCaptioned(const char* caption)
{
    CaptionSearch search{caption, {}};
    EnumWindows(collectCaptioned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline HWND multiplierWindow()
{
    const std::vector<HWND> found = windowsCaptioned(kCaption);
    return found.empty() ? nullptr : found.front();
}

// Waits for a visible multiplier window; null after limitMs.
inline HWND waitForWindow(int limitMs = 3000)
{
    HWND w = nullptr;
    eventually([&] { return (w = multiplierWindow()) != nullptr && IsWindowVisible(w); }, limitMs);
    return w;
}

inline std::vector<std::string> listEntries(HWND window)
{
    std::vector<std::string> entries;
    HWND list = GetDlgItem(window, kListId);
    const LRESULT n = list ? SendMessageA(list, LB_GETCOUNT, 0, 0) : 0;
    for (LRESULT i = 0; i < n; ++i) {
        char text[256] = {};
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

inline int threadsOfThisProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId())
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// Next to the test program: the build folder keeps it as an artifact.
inline std::string artifactPath(const char* name)
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + name;
}

// PNG with stored (uncompressed) deflate blocks: no library needed.
inline bool writePng(const std::string& file, int width, int height, const std::vector<std::uint8_t>& rgb)
{
    std::uint32_t table[256];
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    auto crc = [&](const std::string& bytes) {
        std::uint32_t c = 0xFFFFFFFFu;
        for (unsigned char b : bytes)
            c = table[(c ^ b) & 0xFF] ^ (c >> 8);
        return c ^ 0xFFFFFFFFu;
    };
    auto be32 = [](std::uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto chunk = [&](const char* type, const std::string& data) {
        const std::string body = type + data;
        return be32(static_cast<std::uint32_t>(data.size())) + body + be32(crc(body));
    };
    std::string raw;
    for (int y = 0; y < height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(&rgb[static_cast<std::size_t>(y) * width * 3]),
                   static_cast<std::size_t>(width) * 3);
    }
    std::string z = "\x78\x01";
    for (std::size_t at = 0; at < raw.size() || at == 0; at += 65535) {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n >= raw.size();
        z += char(last ? 1 : 0);
        z += char(n & 0xFF);
        z += char(n >> 8);
        z += char(~n & 0xFF);
        z += char((~n >> 8) & 0xFF);
        z.append(raw, at, n);
        if (last)
            break;
    }
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    z += be32((b << 16) | a);
    const std::string header = be32(static_cast<std::uint32_t>(width)) +
                               be32(static_cast<std::uint32_t>(height)) + std::string("\x08\x02\0\0\0", 5);
    std::ofstream out(file, std::ios::binary);
    out << "\x89PNG\r\n\x1a\n" << chunk("IHDR", header) << chunk("IDAT", z) << chunk("IEND", "");
    return static_cast<bool>(out);
}

// What the screen shows in the rectangle.
inline bool saveScreenshot(const RECT& r, const std::string& file)
{
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<std::uint8_t> bgra(static_cast<std::size_t>(w) * h * 4);
    const int rows = GetDIBits(memory, bitmap, 0, h, bgra.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != h)
        return false;
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (std::size_t i = 0, n = static_cast<std::size_t>(w) * h; i < n; ++i) {
        rgb[i * 3] = bgra[i * 4 + 2];
        rgb[i * 3 + 1] = bgra[i * 4 + 1];
        rgb[i * 3 + 2] = bgra[i * 4];
    }
    return writePng(file, w, h, rgb);
}

// What the screen shows where the window is.
inline bool saveScreenshot(HWND window, const std::string& file)
{
    RECT r{};
    GetWindowRect(window, &r);
    return saveScreenshot(r, file);
}

} // namespace robot
