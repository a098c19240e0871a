#include "tools/logs/ReadLoss.h"

#include <cstdio>

namespace korvane {
namespace {

std::string percent(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3g%%", value);
    return text;
}

} // namespace

ReadLoss readLoss(const ReadLog& log, double maxSkippedPercent)
{
    ReadLoss loss;
    loss.skipped = log.skippedRecords();
    loss.records = log.qsos.size() + loss.skipped;
    loss.heavy = loss.skipped > 0 &&
                 static_cast<double>(loss.skipped) * 100.0 > maxSkippedPercent * static_cast<double>(loss.records);
    return loss;
}

std::string lossReport(const std::string& path, const ReadLog& log, const ReadLoss& loss,
                       double maxSkippedPercent, std::size_t shownLines)
{
    const double share = loss.records == 0 ? 0.0 : 100.0 * static_cast<double>(loss.skipped) /
                                                       static_cast<double>(loss.records);
    std::string text = std::to_string(loss.skipped) + " of " + std::to_string(loss.records) +
                       " QSO records (" + percent(share) + ") could not be read, more than the " +
                       percent(maxSkippedPercent) + " allowed:\n";
    std::size_t shown = 0;
    for (const LogProblem& p : log.problems) {
        if (!p.recordSkipped)
            continue;
        if (shown == shownLines)
            break;
        text += path + ":" + std::to_string(p.line) + ": " + p.message + " (record skipped)\n";
        ++shown;
    }
    if (loss.skipped > shown)
        text += "  and " + std::to_string(loss.skipped - shown) + " more\n";
    return text;
}

} // namespace korvane
