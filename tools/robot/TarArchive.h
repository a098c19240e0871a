#pragma once
// A tar archive (POSIX ustar) of whole files in memory: enough for the committee's
// download of every latest log, with no library for it.

#include <string>
#include <string_view>

namespace korvane::robot {

class TarArchive {
public:
    // name: a plain file name of at most 100 bytes, made safe by the caller.
    void add(const std::string& name, std::string_view bytes, long long modifiedUnix);
    // The archive with its two closing zero blocks.
    std::string finish();

private:
    std::string data_;
};

} // namespace korvane::robot
