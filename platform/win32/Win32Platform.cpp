// The real backend: every call is the Win32 function of the same purpose.
#include "platform/Platform.h"

#include <windows.h>

#include <string>

namespace platform {

struct File {
    HANDLE handle;
};

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

CivilDateTime win32UtcNow()
{
    SYSTEMTIME st;
    GetSystemTime(&st);
    return CivilDateTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::uint64_t win32MonotonicMs() { return GetTickCount64(); }

void win32Sleep(unsigned milliseconds) { Sleep(milliseconds); }

void setReason(std::string* reason, DWORD error)
{
    if (!reason)
        return;
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    if (length > 0 && text) {
        *reason = std::string(text, length);
        while (!reason->empty() && (reason->back() == '\r' || reason->back() == '\n' || reason->back() == ' '))
            reason->pop_back();
    } else {
        *reason = "system error " + std::to_string(error);
    }
    if (text)
        LocalFree(text);
}

File* win32FileOpen(const char* path, FileAccess access, std::string* reason)
{
    const bool write = access == FileAccess::Write;
    HANDLE handle = CreateFileA(path, write ? GENERIC_WRITE : GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                write ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        setReason(reason, GetLastError());
        return nullptr;
    }
    return new File{handle};
}

bool win32FileWrite(File* file, const char* data, std::size_t size, std::string* reason)
{
    while (size > 0) {
        const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file->handle, data, chunk, &written, nullptr) || written == 0) {
            setReason(reason, GetLastError());
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

long win32FileRead(File* file, char* buffer, std::size_t size, std::string* reason)
{
    const DWORD chunk = size > 0x10000000 ? 0x10000000 : static_cast<DWORD>(size);
    DWORD read = 0;
    if (!ReadFile(file->handle, buffer, chunk, &read, nullptr)) {
        setReason(reason, GetLastError());
        return -1;
    }
    return static_cast<long>(read);
}

bool win32FileClose(File* file, std::string* reason)
{
    const BOOL closed = CloseHandle(file->handle);
    const DWORD error = GetLastError();
    delete file;
    if (!closed)
        setReason(reason, error);
    return closed != FALSE;
}

constexpr Ops kWin32Ops = {
    win32ProfileRead, win32ProfileWrite, win32MessageBox, win32UtcNow, win32MonotonicMs, win32Sleep,
    nullptr, // dialogAnswer: the operator answers
    win32FileOpen, win32FileWrite, win32FileRead, win32FileClose,
};

} // namespace

const Ops& defaultOps() { return kWin32Ops; }

} // namespace platform
