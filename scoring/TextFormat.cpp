#include "scoring/TextFormat.h"

#include <cstdarg>
#include <cstdio>

void appendFormat(std::string& out, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int needed = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (needed > 0) {
        const std::size_t start = out.size();
        out.resize(start + static_cast<std::size_t>(needed) + 1);
        std::vsnprintf(&out[start], static_cast<std::size_t>(needed) + 1, format, again);
        out.resize(start + static_cast<std::size_t>(needed));
    }
    va_end(again);
}
