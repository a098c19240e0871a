#pragma once
// The submitted files' lines as their senders wrote them, for the reports to quote: a
// committee argues over what a log says, not over the judge's reading of it.

#include "tools/judge/ContestLogs.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>

namespace korvane::judge {

class LogQuotes {
public:
    explicit LogQuotes(const ContestLogs& logs) : logs_(logs) {}

    // The QSO's line as written in its station's file, control bytes shown as \xNN and
    // cut to a readable length; the judge's own rendering when the file cannot be read
    // again or no longer holds the line.
    std::string quote(std::uint32_t station, const CompactQso& qso);

private:
    using Lines = std::unordered_map<std::size_t, std::string>;
    const Lines& linesOf(std::uint32_t station);

    const ContestLogs& logs_;
    // A station's QSO lines by number; dropped whole when many files are held, so that
    // memory stays bounded however many reports quote them.
    std::unordered_map<std::uint32_t, Lines> files_;
};

// A line shown safely: control bytes as \xNN, at most maxBytes of it, "..." when cut.
std::string visibleLine(std::string_view line, std::size_t maxBytes = 200);

} // namespace korvane::judge
