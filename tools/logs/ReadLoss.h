#pragma once
// How much of a log could not be read. A report made from a log that lost more than a
// small share of its QSOs (or whose QSOs all lost their calls) is wrong, not incomplete:
// the commands refuse or warn instead of writing it silently.

#include "tools/logs/LogQso.h"

#include <cstddef>
#include <string>

namespace korvane {

inline constexpr double kDefaultMaxSkippedPercent = 5.0;

struct ReadLoss {
    std::size_t skipped = 0; // QSO records skipped
    std::size_t records = 0; // QSO records in the log, read or skipped
    bool heavy = false;      // more than the allowed share skipped
};

ReadLoss readLoss(const ReadLog& log, double maxSkippedPercent);

// "1325 of 1801 QSO records (73.6%) could not be read, more than the 5% allowed:", then
// the first `shownLines` skipped records named as every skipped record is
// ("PATH:LINE: why (record skipped)"), then "  and N more".
std::string lossReport(const std::string& path, const ReadLog& log, const ReadLoss& loss,
                       double maxSkippedPercent, std::size_t shownLines);

} // namespace korvane
