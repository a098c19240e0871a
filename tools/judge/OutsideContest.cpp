#include "tools/judge/OutsideContest.h"

#include "tools/judge/ContestDefinitionFile.h"

#include <map>

namespace korvane::judge {

void markNotInContest(ContestLogs& logs, const ContestDefinition& contest)
{
    if (contest.bands.empty() && contest.modes.empty())
        return;
    // A contest's logs hold few bands and modes: decide each pair once.
    std::map<std::pair<std::uint8_t, std::uint8_t>, bool> decided;
    for (CompactQso& q : logs.qsos) {
        const auto key = std::make_pair(q.band, q.mode);
        auto it = decided.find(key);
        if (it == decided.end())
            it = decided.emplace(key, inContest(contest, logs.bands.text(q.band), logs.modes.text(q.mode))).first;
        if (!it->second && q.finding < Finding::NotInContest)
            q.finding = Finding::NotInContest;
    }
}

std::size_t qsosOutsidePeriod(const ContestLogs& logs, Minute start, Minute end)
{
    std::size_t outside = 0;
    for (const CompactQso& q : logs.qsos)
        outside += q.minute < start || q.minute >= end;
    return outside;
}

} // namespace korvane::judge
