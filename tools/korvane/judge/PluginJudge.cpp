#include "tools/korvane/judge/PluginJudge.h"

#include "tools/korvane/HeaderSettings.h"
#include "tools/korvane/LogReplay.h"

#include <cstdio>

namespace korvane::judge {

bool PluginJudge::open(const PluginChoice& plugin, const std::string& workFolder)
{
    LogCommandOptions options;
    options.plugin = plugin;
    options.workdir = workFolder;
    return openForReplay(options, session_) == kExitOk;
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
    std::vector<LogQso> qsos;
    qsos.reserve(s.count);
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
        qsos.push_back(toLogQso(logs, logs.qsos[i]));
    reset(logs, station, start, end);
    replayLog(session_, qsos, [&](const ReplayStep& step) {
        CompactQso& q = logs.qsos[s.first + step.position - 1];
        if (step.verdict == kRefused && q.finding < Finding::TourRepeat)
            q.finding = Finding::TourRepeat;
    });
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
