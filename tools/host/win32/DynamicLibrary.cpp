#include "tools/host/DynamicLibrary.h"

#include <windows.h>

namespace host {

bool DynamicLibrary::open(const std::string& path)
{
    close();
    handle_ = LoadLibraryA(path.c_str());
    if (!handle_)
        error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return handle_ != nullptr;
}

void DynamicLibrary::close()
{
    if (handle_)
        FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
}

void* DynamicLibrary::find(const char* name) const
{
    if (!handle_ || !name)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

} // namespace host
