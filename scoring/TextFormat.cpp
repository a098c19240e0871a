#include "scoring/TextFormat.h"

#include <cstdarg>
#include <cstdio>

void appendFormat(std::string& out, const char* format, ...)
{
    // Measure first, then format in place; each pass gets its own argument list.
    va_list args;
    va_start(args, format);
    // The analyzer of clang 14 misses va_start here and reports a false uninitialised list.
    const int needed = std::vsnprintf(nullptr, 0, format, args); // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(args);
    if (needed <= 0)
        return;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(needed) + 1);
    va_start(args, format);
    std::vsnprintf(&out[start], static_cast<std::size_t>(needed) + 1, format, args);
    va_end(args);
    out.resize(start + static_cast<std::size_t>(needed));
}
