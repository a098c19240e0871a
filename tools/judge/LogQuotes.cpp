#include "tools/judge/LogQuotes.h"

#include <cstdio>
#include <fstream>
#include <unordered_set>

namespace korvane::judge {
namespace {

constexpr std::size_t kFilesHeld = 64;

} // namespace

std::string visibleLine(std::string_view line, std::size_t maxBytes)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    std::string out;
    for (std::size_t i = 0; i < line.size() && i < maxBytes; ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return line.size() > maxBytes ? out + "..." : out;
}

const LogQuotes::Lines& LogQuotes::linesOf(std::uint32_t station)
{
    if (const auto it = files_.find(station); it != files_.end())
        return it->second;
    if (files_.size() >= kFilesHeld)
        files_.clear();
    const Station& s = logs_.stations[station];
    std::unordered_set<std::size_t> wanted;
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
        wanted.insert(logs_.qsos[i].line);
    Lines& lines = files_[station];
    std::ifstream in(s.file, std::ios::binary);
    std::string text;
    for (std::size_t number = 1; !wanted.empty() && std::getline(in, text); ++number)
        if (wanted.erase(number))
            lines.emplace(number, visibleLine(text));
    return lines;
}

std::string LogQuotes::quote(std::uint32_t station, const CompactQso& qso)
{
    const Lines& lines = linesOf(station);
    const auto it = lines.find(qso.line);
    return it != lines.end() ? it->second : cabrilloLine(logs_, logs_.stations[station], qso);
}

} // namespace korvane::judge
