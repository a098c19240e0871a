#include "setup_dialog_robot.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace robot {

Robot::Robot(Script script) : script_(std::move(script))
{
    thread_ = CreateThread(nullptr, 0, threadMain, this, 0, nullptr);
    if (!thread_)
        failures.push_back("the robot's thread did not start");
}

Robot::~Robot()
{
    if (thread_) {
        join(INFINITE);
        CloseHandle(thread_);
    }
}

DWORD WINAPI Robot::threadMain(void* self)
{
    Robot& r = *static_cast<Robot*>(self);
    r.script_(r);
    return 0;
}

bool Robot::join(DWORD timeoutMs)
{
    if (!thread_)
        return true;
    return WaitForSingleObject(thread_, timeoutMs) == WAIT_OBJECT_0;
}

void Robot::expect(bool condition, const std::string& what)
{
    if (!condition)
        failures.push_back(what);
}

void Robot::expectEqual(const std::string& actual, const std::string& expected, const std::string& what)
{
    if (actual != expected)
        failures.push_back(what + ": \"" + actual + "\", expected \"" + expected + "\"");
}

HWND Robot::waitForDialog(const char* caption, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND w = FindWindowA("#32770", caption);
        if (w && IsWindowVisible(w))
            return w;
        if (GetTickCount() - start > timeoutMs) {
            failures.push_back(std::string("no dialog \"") + caption + "\" appeared");
            return nullptr;
        }
        Sleep(20);
    }
}

bool Robot::waitUntilGone(HWND window, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start > timeoutMs) {
            failures.push_back("a window did not close");
            return false;
        }
        Sleep(20);
    }
    return true;
}

std::string Robot::text(HWND window)
{
    if (!window)
        return "(no window)";
    const int length = GetWindowTextLengthA(window);
    std::string s(static_cast<std::size_t>(length) + 1, '\0');
    s.resize(static_cast<std::size_t>(GetWindowTextA(window, &s[0], length + 1)));
    return s;
}

std::vector<std::string> Robot::comboEntries(HWND dialog, int id)
{
    std::vector<std::string> entries;
    const LRESULT count = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::string s(static_cast<std::size_t>(SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, i, 0)) + 1, '\0');
        s.resize(static_cast<std::size_t>(
            SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&s[0]))));
        entries.push_back(s);
    }
    return entries;
}

int Robot::comboSelection(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

void Robot::type(HWND dialog, int id, const std::string& keys)
{
    HWND control = GetDlgItem(dialog, id);
    char className[32] = "";
    GetClassNameA(control, className, sizeof className);
    if (lstrcmpiA(className, "ComboBox") == 0)
        control = FindWindowExA(control, nullptr, "Edit", nullptr);
    if (!control) {
        failures.push_back("no control " + std::to_string(id) + " to type into");
        return;
    }
    SendMessageA(control, WM_SETFOCUS, 0, 0);
    SendMessageA(control, EM_SETSEL, 0, -1);
    if (keys.empty()) {
        SendMessageA(control, WM_CHAR, VK_BACK, 1);
        return;
    }
    for (char c : keys)
        SendMessageA(control, WM_CHAR, static_cast<unsigned char>(c), 1);
}

void Robot::choose(HWND dialog, int comboId, const std::string& entry)
{
    HWND combo = GetDlgItem(dialog, comboId);
    const LRESULT index = SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(entry.c_str()));
    if (index == CB_ERR) {
        failures.push_back("no entry \"" + entry + "\" in combo box " + std::to_string(comboId));
        return;
    }
    SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
}

void Robot::press(HWND dialog, int buttonId)
{
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button) {
        failures.push_back("no button " + std::to_string(buttonId));
        return;
    }
    // As a click: the button tells its dialog; the dialog's own loop ends it.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

namespace {

struct ChildSearch {
    HWND found = nullptr;
    bool wantIcon = false;
};

BOOL CALLBACK findChild(HWND child, LPARAM lParam)
{
    ChildSearch& search = *reinterpret_cast<ChildSearch*>(lParam);
    char className[32] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0)
        return TRUE;
    const bool isIcon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    if (isIcon == search.wantIcon && (isIcon || GetWindowTextLengthA(child) > 0)) {
        search.found = child;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::string Robot::messageBoxText(HWND box)
{
    ChildSearch search;
    EnumChildWindows(box, findChild, reinterpret_cast<LPARAM>(&search));
    return search.found ? text(search.found) : "(no text)";
}

HICON Robot::messageBoxIcon(HWND box)
{
    ChildSearch search;
    search.wantIcon = true;
    EnumChildWindows(box, findChild, reinterpret_cast<LPARAM>(&search));
    return search.found ? reinterpret_cast<HICON>(SendMessageA(search.found, STM_GETICON, 0, 0)) : nullptr;
}

// ---- PNG: RGB, 8 bits, zlib with stored (uncompressed) blocks ----------------------------

namespace {

std::uint32_t crc32(const unsigned char* data, std::size_t size, std::uint32_t crc = 0)
{
    static std::uint32_t table[256];
    if (!table[1]) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
    }
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBigEndian(std::string& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

void chunk(std::string& png, const char* type, const std::string& data)
{
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    std::string typed = std::string(type, 4) + data;
    png += typed;
    putBigEndian(png, crc32(reinterpret_cast<const unsigned char*>(typed.data()), typed.size()));
}

std::string encodePng(int width, int height, const std::string& rgbRows /* filter byte + RGB per row */)
{
    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);
    chunk(png, "IHDR", header);

    std::string z("\x78\x01", 2);
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : rgbRows) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    std::size_t at = 0;
    bool last = false;
    do { // stored blocks of at most 65535 bytes
        const std::size_t n = std::min<std::size_t>(65535, rgbRows.size() - at);
        last = at + n >= rgbRows.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(rgbRows, at, n);
        at += n;
    } while (!last);
    putBigEndian(z, (b << 16) | a);
    chunk(png, "IDAT", z);
    chunk(png, "IEND", std::string());
    return png;
}

} // namespace

bool Robot::screenshot(HWND window, const std::string& pngPath)
{
    RECT r;
    if (!GetWindowRect(window, &r))
        return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // What the screen shows there: the dialog is on top while the robot looks at it.
    const bool copied = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory, previous);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::string bgra(static_cast<std::size_t>(width) * height * 4, '\0');
    const int rows = GetDIBits(memory, bitmap, 0, height, &bgra[0], &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied || rows != height)
        return false;

    std::string raw;
    raw.reserve(static_cast<std::size_t>(height) * (1 + width * 3));
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < width; ++x) {
            const std::size_t p = (static_cast<std::size_t>(y) * width + x) * 4;
            raw.push_back(bgra[p + 2]);
            raw.push_back(bgra[p + 1]);
            raw.push_back(bgra[p]);
        }
    }
    const std::string png = encodePng(width, height, raw);
    FILE* f = std::fopen(pngPath.c_str(), "wb");
    if (!f)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && written;
}

std::string artifactsFolder()
{
    const char* plugin = std::getenv("KORVANE_PLUGIN");
    std::string folder = plugin ? plugin : "";
    for (int i = 0; i < 2; ++i) { // drop "\Stats.dll", then "\bin"
        const std::size_t cut = folder.find_last_of("\\/");
        folder = cut == std::string::npos ? std::string(".") : folder.substr(0, cut);
    }
    folder += "\\artifacts";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

} // namespace robot
