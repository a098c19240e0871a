#pragma once
// The submitted files' lines as their senders wrote them, for the reports to quote: a
// committee argues over what a log says, not over the judge's reading of it.

#include "tools/judge/ContestLogs.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::judge {

class LogQuotes {
public:
    explicit LogQuotes(const ContestLogs& logs) : logs_(logs), files_(logs.stations.size()) {}

    // The line of qsos[index] as written in its station's file, control bytes shown as \xNN and
    // cut to a readable length; the judge's own rendering when the file cannot be read
    // again or no longer holds the line. Each file is read once, when first quoted, and
    // its QSO lines kept: every report quotes partners' lines, so a file dropped would
    // be read again for each of them.
    std::string quote(std::uint32_t station, std::uint32_t index);

private:
    struct Lines {
        bool read = false;
        std::string text;                 // the station's QSO lines, one after the other
        std::vector<std::uint32_t> ends;  // by QSO of the station: where its line ends in text
        std::vector<std::uint32_t> found; // by QSO: 1 when its line was found in the file
    };
    const Lines& linesOf(std::uint32_t station);

    const ContestLogs& logs_;
    std::vector<Lines> files_; // by station
};

// A line shown safely: control bytes as \xNN, at most maxBytes of it, "..." when cut.
std::string visibleLine(std::string_view line, std::size_t maxBytes = 200);

} // namespace korvane::judge
