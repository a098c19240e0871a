#pragma once
// printf-style formatting onto the end of a std::string, for texts whose byte layout
// is fixed by a format string (score table, Cabrillo lines).

#include <string>

#if defined(__GNUC__)
#define KORVANE_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KORVANE_PRINTF(fmt, args)
#endif

void appendFormat(std::string& out, const char* format, ...) KORVANE_PRINTF(2, 3);
