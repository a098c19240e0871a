#include "tools/judge/CheckState.h"

namespace korvane::judge {

CheckState::CheckState(ContestLogs& l, const CheckOptions& o) : logs(l), options(o)
{
    logs.indexStations();
    result.partner.assign(logs.qsos.size(), kNoIndex);
    result.offsets.assign(logs.stations.size(), ClockOffset{});
    matchedOf.resize(logs.calls.size());
    for (std::uint32_t call = 0; call < logs.calls.size(); ++call)
        matchedOf[call] = matched.intern(matchedCall(logs.calls.text(call), options.suffixes));
    stationOfMatched.assign(matched.size(), kNoIndex);
    ownMatched.resize(logs.stations.size());
    for (std::uint32_t s = 0; s < logs.stations.size(); ++s) {
        ownMatched[s] = matchedOf[logs.stations[s].callId];
        // Two logs of one station (with and without "/P"): the first is the one worked.
        if (stationOfMatched[ownMatched[s]] == kNoIndex)
            stationOfMatched[ownMatched[s]] = s;
    }
}

void judgeExchange(CheckState& state, std::uint32_t mine, std::uint32_t theirs)
{
    CompactQso& q = state.logs.qsos[mine];
    raiseFinding(q, q.received == state.logs.qsos[theirs].sent ? Finding::Confirmed : Finding::BustedExchange);
}

CrossCheckResult crossCheck(ContestLogs& logs, const CheckOptions& options)
{
    CheckState state(logs, options);
    checkEachLog(state);
    matchByPair(state);
    matchBustedCalls(state);
    findCallDoubts(state);
    matchNearMisses(state);
    classifyUnmatched(state);
    checkPeriod(state);
    return std::move(state.result);
}

} // namespace korvane::judge
