// reports/NAME.txt: a station's call made into a file name that is valid on every
// system the results are copied to, bounded, and never shared by two calls.
#include "tools/judge/ResultFiles.h"

#include <cstdint>
#include <cstdio>

namespace korvane::judge {
namespace {

// Past this the name keeps its start and gains a hash of the whole call.
constexpr std::size_t kMaxStem = 64;
constexpr std::size_t kHashDigits = 16;

// Windows opens these as devices whatever extension follows, in any case.
bool deviceName(const std::string& stem)
{
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

std::uint64_t fnv1a(const std::string& text)
{
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text)
        h = (h ^ c) * 0x100000001b3ull;
    return h;
}

// Upper-case letters and digits stand for themselves and '/' becomes '-'; every other
// byte, lower-case letters too (some file systems ignore case), becomes '_' and two hex
// digits. '-', '_' and '~' have no other source, which keeps distinct calls distinct.
std::string escapedStem(const std::string& call)
{
    std::string stem;
    for (unsigned char c : call) {
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            stem += static_cast<char>(c);
        } else if (c == '/') {
            stem += '-';
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "_%02X", c);
            stem += hex;
        }
    }
    return stem.empty() ? "_" : stem;
}

} // namespace

std::string reportFileName(const std::string& call)
{
    std::string stem = escapedStem(call);
    // A trailing '_' alone is no escape, so it cannot meet another call's name.
    if (deviceName(stem))
        stem += '_';
    if (stem.size() > kMaxStem) {
        char hash[kHashDigits + 1];
        std::snprintf(hash, sizeof hash, "%016llX", static_cast<unsigned long long>(fnv1a(call)));
        stem.resize(kMaxStem - kHashDigits - 1);
        stem += '~';
        stem += hash;
    }
    return stem + ".txt";
}

} // namespace korvane::judge
