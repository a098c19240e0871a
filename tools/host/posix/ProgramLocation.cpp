#include "tools/host/ProgramLocation.h"

#include <unistd.h>

namespace host {

std::string programDirectory()
{
    char path[4096];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return std::string();
    const std::string full(path, static_cast<std::size_t>(n));
    const std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? std::string() : full.substr(0, slash);
}

} // namespace host
