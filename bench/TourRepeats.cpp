#include "TourRepeats.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// "QSO:  3520 CW 2026-11-21 1503 ..." a minute later, unless that leaves its half hour.
std::string minuteLater(const std::string& line)
{
    std::istringstream in(line);
    std::string tag, freq, mode, date, time;
    in >> tag >> freq >> mode >> date >> time;
    const std::size_t at = line.find(" " + time + " ", line.find(date) + date.size());
    if (time.size() != 4 || at == std::string::npos)
        return line;
    const int hour = std::stoi(time.substr(0, 2)), minute = std::stoi(time.substr(2, 2));
    if (minute % 30 == 29)
        return line;
    char later[16];
    std::snprintf(later, sizeof later, "%02d%02d", hour, minute + 1);
    std::string copy = line;
    copy.replace(at + 1, 4, later);
    return copy;
}

bool copyWithRepeats(const fs::path& from, const fs::path& to, double share)
{
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary);
    // One line in every `every` of the result is a copy.
    const long every = std::lround(1.0 / share);
    long qsos = 0;
    for (std::string line; std::getline(in, line);) {
        out << line << '\n';
        if (line.rfind("QSO:", 0) == 0 && ++qsos % (every - 1) == 0)
            out << minuteLater(line) << '\n';
    }
    return static_cast<bool>(out);
}

std::size_t filesIn(const fs::path& dir)
{
    std::error_code ec;
    std::size_t n = 0;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        ++n;
    return n;
}

} // namespace

bool addTourRepeats(const fs::path& from, const fs::path& to, double share, std::string* error)
{
    if (share <= 0 || share >= 0.5) {
        *error = "--repeats wants a share between 0 and 0.5";
        return false;
    }
    if (filesIn(to) == filesIn(from) && filesIn(to) > 0)
        return true;
    std::error_code ec;
    fs::create_directories(to, ec);
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec))
        if (!copyWithRepeats(it->path(), to / it->path().filename(), share)) {
            *error = "cannot write " + (to / it->path().filename()).string();
            return false;
        }
    return !ec;
}
