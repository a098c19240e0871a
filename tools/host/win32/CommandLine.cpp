#include "tools/host/CommandLine.h"

#include <windows.h>

#include <shellapi.h>

namespace host {
namespace {

std::wstring wide(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
    return out;
}

std::string narrow(const wchar_t* text, UINT codePage, bool* lossy)
{
    const int n = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<std::size_t>(n), '\0');
    BOOL defaulted = FALSE;
    WideCharToMultiByte(codePage, codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS, text, -1, out.data(), n,
                        nullptr, codePage == CP_UTF8 ? nullptr : &defaulted);
    if (lossy)
        *lossy = defaulted != FALSE;
    out.resize(static_cast<std::size_t>(n - 1)); // without the NUL
    return out;
}

} // namespace

std::vector<std::string> utf8Arguments(int argc, char** argv)
{
    int count = 0;
    LPWSTR* wideArgs = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wideArgs || count != argc) {
        // Not the command line argv came from: the ANSI arguments are all there is.
        if (wideArgs)
            LocalFree(wideArgs);
        return std::vector<std::string>(argv, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 0; i < count; ++i)
        args.push_back(narrow(wideArgs[i], CP_UTF8, nullptr));
    LocalFree(wideArgs);
    return args;
}

std::string systemPath(const std::string& utf8, std::string& path)
{
    if (GetACP() == CP_UTF8) { // the system's narrow functions take UTF-8 themselves
        path = utf8;
        return std::string();
    }
    bool lossy = false;
    path = narrow(wide(utf8).c_str(), CP_ACP, &lossy);
    if (lossy)
        return "the path " + utf8 + " has characters that this system's code page lacks";
    return std::string();
}

} // namespace host
