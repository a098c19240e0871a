#include "tools/logs/ContestPeriod.h"

#include <algorithm>
#include <tuple>

namespace korvane {
namespace {

using MinuteKey = std::tuple<int, int, int, int, int>;

// The minute a time falls in; seconds do not move a QSO across a bound.
std::optional<MinuteKey> minuteOf(const COleDateTime& time)
{
    CivilDateTime c;
    if (!breakDown(time, c))
        return std::nullopt;
    return MinuteKey{c.year, c.month, c.day, c.hour, c.minute};
}

std::string qsoCount(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " QSO " : " QSOs ");
}

} // namespace

PeriodCut keepPeriod(std::vector<LogQso>& qsos, const std::optional<COleDateTime>& start,
                     const std::optional<COleDateTime>& end)
{
    PeriodCut cut;
    std::optional<MinuteKey> first, stop;
    if (start) {
        cut.start = *start;
        first = minuteOf(*start);
    }
    if (end) {
        cut.end = *end;
        stop = minuteOf(*end);
    }
    const auto outside = [&](const LogQso& q) {
        const std::optional<MinuteKey> at = minuteOf(q.time);
        if (!at)
            return false; // the readers hand on only dates they could read
        if (first && *at < *first) {
            ++cut.before;
            return true;
        }
        if (stop && *at >= *stop) {
            ++cut.after;
            return true;
        }
        return false;
    };
    qsos.erase(std::remove_if(qsos.begin(), qsos.end(), outside), qsos.end());
    return cut;
}

std::vector<std::string> periodCutLines(const PeriodCut& cut)
{
    std::vector<std::string> lines;
    if (cut.before > 0)
        lines.push_back(qsoCount(cut.before) + "before " +
                        formatOleDate(cut.start, "%Y-%m-%d %H:%M") + " left out");
    if (cut.after > 0)
        lines.push_back(qsoCount(cut.after) + "from " + formatOleDate(cut.end, "%Y-%m-%d %H:%M") +
                        " on left out");
    return lines;
}

} // namespace korvane
