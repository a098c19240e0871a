// The real backend: every call is the Win32 function of the same purpose.
#include "platform/Platform.h"

#include <windows.h>

namespace platform {
namespace {

std::size_t win32ProfileRead(const char* file, const char* section, const char* key,
                             const char* defaultValue, char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return 0;
    // Null section or key would make Windows list names instead of reading a value.
    if (!file || !section || !key) {
        lstrcpynA(buffer, defaultValue ? defaultValue : "", static_cast<int>(size));
        return lstrlenA(buffer);
    }
    DWORD capped = size > 0x7fffffff ? 0x7fffffff : static_cast<DWORD>(size);
    return GetPrivateProfileStringA(section, key, defaultValue ? defaultValue : "", buffer,
                                    capped, file);
}

bool win32ProfileWrite(const char* file, const char* section, const char* key,
                       const char* value)
{
    if (!file || !section || !key)
        return false;
    return WritePrivateProfileStringA(section, key, value, file) != 0;
}

void win32MessageBox(const char* text, const char* caption, BoxIcon icon,
                     bool ownedByActiveWindow)
{
    UINT style = MB_OK;
    if (icon == BoxIcon::Information)
        style |= MB_ICONINFORMATION;
    else if (icon == BoxIcon::Error)
        style |= MB_ICONERROR;
    HWND owner = ownedByActiveWindow ? GetActiveWindow() : nullptr;
    MessageBoxA(owner, text ? text : "", caption, style);
}

UtcTime win32UtcNow()
{
    SYSTEMTIME st;
    GetSystemTime(&st);
    UtcTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    return t;
}

void win32Sleep(unsigned milliseconds) { Sleep(milliseconds); }

const Ops kWin32Ops = {
    win32ProfileRead, win32ProfileWrite, win32MessageBox, win32UtcNow, win32Sleep,
    nullptr, // dialogAnswer: the operator answers
};

Ops current = kWin32Ops;

} // namespace

Ops& ops() { return current; }
const Ops& defaultOps() { return kWin32Ops; }

} // namespace platform
