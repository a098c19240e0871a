#include "tools/robot/ClaimedScore.h"

#include "tools/judge/Minutes.h"
#include "tools/logs/CommitteeScore.h"
#include "tools/logs/ContestPeriod.h"
#include "tools/logs/LogReplay.h"

namespace korvane::robot {
namespace {

ContestRun runOf(const ReadLog& log, const std::vector<LogQso>& qsos, const judge::ContestDefinition& contest)
{
    ContestRun run;
    run.ownCall = log.ownCall;
    run.start.status = run.end.status = kOleNull;
    for (const LogQso& q : qsos) {
        if (run.start.status != kOleValid || q.time.value < run.start.value)
            run.start = q.time;
        if (run.end.status != kOleValid || q.time.value > run.end.value)
            run.end = q.time;
    }
    if (contest.start)
        run.start = judge::oleOf(*contest.start);
    if (contest.end)
        run.end = judge::oleOf(*contest.end);
    return run;
}

} // namespace

Claim claimedScore(PluginSession& plugin, const ReadLog& log, const judge::ContestDefinition& contest)
{
    std::vector<LogQso> qsos = log.qsos;
    std::optional<COleDateTime> start, end;
    if (contest.start)
        start = judge::oleOf(*contest.start);
    if (contest.end)
        end = judge::oleOf(*contest.end);
    keepPeriod(qsos, start, end);
    const ContestRun run = runOf(log, qsos, contest);

    Claim claim;
    std::vector<Refusal> refusals;
    keepWindowClosed();
    plugin.reset(false, run);
    replayLog(plugin, qsos, [&](const ReplayStep& step) {
        if (step.verdict != kRefused)
            return;
        refusals.push_back(refusalOf(step));
        const Refusal& r = refusals.back();
        claim.refused.push_back({r.line, formatOleDate(r.time, "%Y-%m-%d %H:%M"), r.call, r.band, r.mode, r.message});
    });
    claim.score = scoreWithoutRefused(plugin, run, qsos, refusals);
    return claim;
}

} // namespace korvane::robot
