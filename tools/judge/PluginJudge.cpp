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

int PluginJudge::judgeLog(ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                          const std::function<bool(const CompactQso&)>& counts)
{
    const Station& s = logs.stations[station];
    const std::vector<std::uint32_t> candidates = tourCandidates(logs, station);
    reset(logs, station, start, end);
    std::vector<std::uint32_t> remove;
    LogQso q;
    auto next = candidates.begin();
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        CompactQso& record = logs.qsos[i];
        const bool checked = next != candidates.end() && *next == i;
        if (checked) {
            ++next;
            toLogQso(logs, record, q);
            session_.setTourClock(&q.time);
            std::string message;
            if (session_.check(q, &message) == kRefused && record.finding < Finding::TourRepeat)
                record.finding = Finding::TourRepeat;
            // Added whatever it is: the QSOs after it are checked against it, as live.
            session_.add(q);
            if (!counts(record))
                remove.push_back(i);
        } else if (counts(record)) {
            toLogQso(logs, record, q);
            session_.add(q);
        }
    }
    session_.setTourClock(nullptr);
    bool removed = true;
    for (std::uint32_t i : remove) {
        toLogQso(logs, logs.qsos[i], q);
        removed = removed && session_.host().remove(q) == 1;
    }
    if (!removed) {
        // The host cannot delete a QSO without both exchanges; then the QSOs that count
        // are fed again after a reset of their own.
        reset(logs, station, start, end);
        for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
            if (counts(logs.qsos[i])) {
                toLogQso(logs, logs.qsos[i], q);
                session_.add(q);
            }
    }
    int points = 0;
    session_.result(&points);
    return points;
}

} // namespace korvane::judge
