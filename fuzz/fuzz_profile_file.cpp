// Any file contents, then reads and writes through the profile-file code. A write
// must leave every other key and section as it was; a read never fills more than the
// buffer it was given.
#include "FuzzInput.h"
#include "platform/profile/ProfileFile.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kSections[] = {"Settings", "settings", " Settings ", "Other", "", "[x]"};
const char* const kKeys[] = {"Start", "start", "Claimed", "Name", " Name ", "member_x", ";c", "a=b"};

// Names compare without regard to case or surrounding blanks: such aliases are one entry.
std::string norm(const char* name)
{
    std::string s(name);
    const auto first = s.find_first_not_of(" \t");
    const auto last = s.find_last_not_of(" \t");
    s = first == std::string::npos ? "" : s.substr(first, last - first + 1);
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string read(const char* section, const char* key, std::size_t size)
{
    std::vector<char> buffer(size + 8, '\x7f');
    const std::size_t n = platform::profile::read("fuzz.ini", section, key, "(default)",
                                                  buffer.data(), size);
    for (std::size_t i = size; i < buffer.size(); ++i)
        if (buffer[i] != '\x7f')
            std::abort(); // wrote past the buffer it was given
    if (size == 0)
        return "";
    if (n >= size || buffer[n] != '\0')
        std::abort(); // more than size-1 bytes, or no terminator after them
    return std::string(buffer.data(), n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool inScratch = [] {
        const auto dir = std::filesystem::temp_directory_path() / "korvane-fuzz-profile";
        std::filesystem::create_directories(dir);
        std::filesystem::current_path(dir);
        return true;
    }();
    (void)inScratch;

    FuzzInput in(data, size);
    const std::string contents = in.text();
    std::ofstream("fuzz.ini", std::ios::binary | std::ios::trunc) << contents;

    while (!in.empty()) {
        const char* section = kSections[in.byte() % 6];
        const char* key = kKeys[in.byte() % 8];
        if (in.byte() % 2) {
            read(section, key, in.byte() % 40);
            continue;
        }
        // Everything readable before the write, except the key written, reads the same after.
        std::vector<std::string> before;
        for (const char* s : kSections)
            for (const char* k : kKeys)
                before.push_back(read(s, k, 4096));
        const std::string value = in.text();
        const bool written = platform::profile::write("fuzz.ini", section, key, value.c_str());
        std::size_t i = 0;
        for (const char* s : kSections) {
            for (const char* k : kKeys) {
                const bool sameEntry = norm(s) == norm(section) && norm(k) == norm(key);
                if (!sameEntry && read(s, k, 4096) != before[i])
                    std::abort(); // a write lost or changed another entry
                ++i;
            }
        }
        (void)written;
    }
    return 0;
}
