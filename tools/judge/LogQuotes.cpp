#include "tools/judge/LogQuotes.h"

#include "tools/output/ControlText.h"

#include <fstream>

namespace korvane::judge {
std::string visibleLine(std::string_view line, std::size_t maxBytes)
{
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const std::string shown = controlsEscaped(line.substr(0, maxBytes));
    return line.size() > maxBytes ? shown + "..." : shown;
}

const LogQuotes::Lines& LogQuotes::linesOf(std::uint32_t station)
{
    Lines& lines = files_[station];
    if (lines.read)
        return lines;
    lines.read = true;
    const Station& s = logs_.stations[station];
    lines.ends.assign(s.count, 0);
    lines.found.assign(s.count, 0);
    std::ifstream in(s.file, std::ios::binary);
    std::string text;
    // The QSOs stand in file order, so one walk through the file finds every line.
    std::uint32_t k = 0;
    for (std::size_t number = 1; k < s.count && std::getline(in, text); ++number) {
        for (; k < s.count && logs_.qsos[s.first + k].line <= number; ++k) {
            if (logs_.qsos[s.first + k].line == number) {
                lines.text += visibleLine(text);
                lines.found[k] = 1;
            }
            lines.ends[k] = static_cast<std::uint32_t>(lines.text.size());
        }
    }
    return lines;
}

std::string LogQuotes::quote(std::uint32_t station, std::uint32_t index)
{
    const Lines& lines = linesOf(station);
    const Station& s = logs_.stations[station];
    const std::uint32_t k = index - s.first;
    if (index < s.first || k >= s.count || !lines.found[k])
        return cabrilloLine(logs_, s, logs_.qsos[index]);
    const std::uint32_t begin = k ? lines.ends[k - 1] : 0;
    return lines.text.substr(begin, lines.ends[k] - begin);
}

} // namespace korvane::judge
