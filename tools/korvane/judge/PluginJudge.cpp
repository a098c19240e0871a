#include "tools/korvane/judge/PluginJudge.h"

#include "tools/korvane/HeaderSettings.h"
#include "tools/korvane/LogInput.h"

#include <cstdio>

namespace korvane::judge {
namespace {

constexpr int kCheckRefused = 0; // CheckCall0: the QSO repeats one of this tour

} // namespace

bool PluginJudge::open(const PluginChoice& plugin, const std::string& workFolder)
{
    std::string error;
    if (!session_.load(plugin, &error) || !enterWorkFolder(workFolder, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return false;
    }
    // Without it every QSO would be checked at the time of the run, not its own.
    if (!session_.hasTourClock()) {
        std::fprintf(stderr, "korvane: %s has no %s export: it cannot check a log at the QSOs' own times\n",
                     session_.path().c_str(), host::kSetTourClock);
        return false;
    }
    return true;
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

void PluginJudge::findTourRepeats(ContestLogs& logs, std::uint32_t station, Minute start, Minute end)
{
    const Station& s = logs.stations[station];
    reset(logs, station, start, end);
    // As korvane check replays a log: each QSO checked at its own time, then added.
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        CompactQso& record = logs.qsos[i];
        const LogQso q = toLogQso(logs, record);
        session_.setTourClock(&q.time);
        std::string message;
        if (session_.check(q, &message) == kCheckRefused && record.finding < Finding::TourRepeat)
            record.finding = Finding::TourRepeat;
        session_.add(q);
    }
    session_.setTourClock(nullptr);
}

int PluginJudge::score(const ContestLogs& logs, std::uint32_t station, Minute start, Minute end,
                       const std::function<bool(const CompactQso&)>& counts)
{
    const Station& s = logs.stations[station];
    reset(logs, station, start, end);
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
        if (counts(logs.qsos[i]))
            session_.add(toLogQso(logs, logs.qsos[i]));
    int points = 0;
    session_.result(&points);
    return points;
}

} // namespace korvane::judge
