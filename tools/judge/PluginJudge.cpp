#include "tools/judge/PluginJudge.h"

#include "contract/CheckAnswer.h"

#include <algorithm>
#include <vector>

namespace korvane::judge {

bool PluginJudge::open(const PluginChoice& plugin, const std::string& workFolder,
                       std::string* error)
{
    return openWithTourClock(session_, plugin, workFolder, error);
}

void PluginJudge::reset(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end)
{
    // Every reset without a report flips the plug-in's window setting; each must find
    // it set, or every other station would open a window.
    keepWindowClosed();
    ContestRun run;
    run.ownCall = logs.stations[station].call;
    run.start = oleOf(start);
    run.end = oleOf(end);
    session_.reset(false, run);
}

std::vector<TourStep> tourSteps(const ContestLogs& logs, std::uint32_t station)
{
    // The check refuses a QSO only for an earlier one with the same call, band and mode
    // in the same half hour of the day. Call, band, mode and tour packed into one number,
    // the index below it.
    const Station& s = logs.stations[station];
    std::vector<std::pair<std::uint64_t, std::uint32_t>> order;
    order.reserve(s.count);
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const CompactQso& q = logs.qsos[i];
        order.push_back({std::uint64_t{q.call} << 24 | std::uint64_t{q.band} << 16 | std::uint64_t{q.mode} << 8 |
                             static_cast<std::uint64_t>(tourOfDay(q.minute)),
                         i});
    }
    std::sort(order.begin(), order.end());
    // Marked by position in the log, then read back in file order: no second sort.
    enum : std::uint8_t { kCheck = 1, kAdd = 2 };
    std::vector<std::uint8_t> marks(s.count, 0);
    std::size_t marked = 0;
    for (std::size_t k = 0; k < order.size();) {
        std::size_t last = k + 1;
        while (last < order.size() && order[last].first == order[k].first)
            ++last;
        for (std::size_t m = k; last - k > 1 && m < last; ++m, ++marked)
            marks[order[m].second - s.first] = static_cast<std::uint8_t>((m > k ? kCheck : 0) | (m + 1 < last ? kAdd : 0));
        k = last;
    }
    std::vector<TourStep> steps;
    steps.reserve(marked);
    for (std::uint32_t k = 0; k < s.count; ++k)
        if (marks[k])
            steps.push_back({s.first + k, (marks[k] & kCheck) != 0, (marks[k] & kAdd) != 0});
    return steps;
}

void PluginJudge::checkTour(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                            std::vector<std::uint32_t>& refused)
{
    const std::vector<TourStep> steps = tourSteps(logs, station);
    if (steps.empty())
        return;
    reset(logs, station, start, end);
    LogQso q;
    for (const TourStep& step : steps) {
        toLogQso(logs, logs.qsos[step.index], q);
        std::string message;
        session_.setTourClock(&q.time);
        if (step.check && session_.check(q, &message) == kRefused)
            refused.push_back(step.index);
        // Added whatever the answer, as live, for the QSOs after it to be checked against.
        if (step.add)
            session_.add(q);
    }
    session_.setTourClock(nullptr);
}

int PluginJudge::score(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                       const Counts& counts)
{
    const Station& s = logs.stations[station];
    reset(logs, station, start, end);
    LogQso q;
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
        if (counts(logs.qsos[i])) {
            toLogQso(logs, logs.qsos[i], q);
            session_.add(q);
        }
    int points = 0;
    session_.result(&points);
    return points;
}

int PluginJudge::judgeLog(ContestLogs& logs, std::uint32_t station, Minute start, Minute end, const Counts& counts)
{
    std::vector<std::uint32_t> refused;
    checkTour(logs, station, start, end, refused);
    markTourRepeats(logs, refused);
    return score(logs, station, start, end, counts);
}

void markTourRepeats(ContestLogs& logs, const std::vector<std::uint32_t>& refused)
{
    for (std::uint32_t i : refused)
        if (logs.qsos[i].finding < Finding::TourRepeat)
            logs.qsos[i].finding = Finding::TourRepeat;
}

} // namespace korvane::judge
