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

std::vector<std::uint32_t> tourCandidates(const ContestLogs& logs, std::uint32_t station)
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
    std::vector<std::uint32_t> candidates;
    for (std::size_t k = 0; k < order.size();) {
        std::size_t last = k + 1;
        while (last < order.size() && order[last].first == order[k].first)
            ++last;
        for (std::size_t m = k; last - k > 1 && m < last; ++m)
            candidates.push_back(order[m].second);
        k = last;
    }
    std::sort(candidates.begin(), candidates.end());
    return candidates;
}

void PluginJudge::checkTour(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                            std::vector<std::uint32_t>& refused)
{
    const std::vector<std::uint32_t> candidates = tourCandidates(logs, station);
    if (candidates.empty())
        return;
    reset(logs, station, start, end);
    LogQso q;
    for (std::uint32_t i : candidates) {
        toLogQso(logs, logs.qsos[i], q);
        session_.setTourClock(&q.time);
        std::string message;
        if (session_.check(q, &message) == kRefused)
            refused.push_back(i);
        // Added whatever it is: the QSOs after it are checked against it, as live.
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
