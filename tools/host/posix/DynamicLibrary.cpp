#include "tools/host/DynamicLibrary.h"

#include <dlfcn.h>

namespace host {

bool DynamicLibrary::open(const std::string& path)
{
    close();
    // A path without a slash would make dlopen search the library path instead.
    const std::string name = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = dlerror();
        error_ = reason ? reason : "cannot load " + path;
    }
    return handle_ != nullptr;
}

void DynamicLibrary::close()
{
    if (handle_)
        dlclose(handle_);
    handle_ = nullptr;
}

void* DynamicLibrary::find(const char* name) const
{
    return handle_ && name ? dlsym(handle_, name) : nullptr;
}

} // namespace host
