#pragma once
// Nanoseconds as a short reading: "512 ns", "58.65 us", "1.24 ms".

#include <cstdio>
#include <string>

inline std::string humanTime(double ns)
{
    char text[32];
    if (ns >= 1e6)
        std::snprintf(text, sizeof text, "%.2f ms", ns / 1e6);
    else if (ns >= 1e3)
        std::snprintf(text, sizeof text, "%.2f us", ns / 1e3);
    else
        std::snprintf(text, sizeof text, "%.0f ns", ns);
    return text;
}
