#include "tools/judge/LooseQsos.h"
#include "tools/judge/Meanwhile.h"
#include "tools/judge/SentExchange.h"

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

// Once every pair is known, busted calls' and near misses' too: what a station sent is
// settled by all who copied it. Each side is judged on its own, so a QSO whose other
// side busted the call still answers for the exchange it took down. A station that sent
// no log is held to what most of those who worked it copied.
void judgeExchanges(CheckState& state)
{
    SentExchanges sent(state.logs, state.result.partner, state.options.exchange);
    auto judged = [](bool right) { return right ? Finding::Confirmed : Finding::BustedExchange; };
    for (std::uint32_t i = 0; i < state.logs.qsos.size(); ++i) {
        const std::uint32_t other = state.result.partner[i];
        if (other == kNoIndex) {
            if (!sent.copiedRightWithoutLog(i))
                raiseFinding(state.logs.qsos[i], Finding::BustedExchange);
        } else if (i < other) {
            // Both sides of a pair while the other's record is at hand: it lies anywhere
            // among all the QSOs, and a second visit would fetch it again.
            raiseFinding(state.logs.qsos[i], judged(sent.copiedRight(i, other)));
            raiseFinding(state.logs.qsos[other], judged(sent.copiedRight(other, i)));
        }
    }
    sent.views(state.result.senders, state.result.sendersWithoutLog);
}

CrossCheckResult crossCheck(ContestLogs& logs, const CheckOptions& options, const std::function<void()>& meanwhile)
{
    CheckState state(logs, options);
    checkEachLog(state);
    matchByPair(state);
    std::vector<Loose> loose = looseQsos(state);
    // The steps up to here split in two; those after take one thread, and the second
    // is free for other work.
    Meanwhile beside(meanwhile ? meanwhile : [] {}, bool(meanwhile));
    matchBustedCalls(state, loose);
    findCallDoubts(state);
    matchNearMisses(state, loose);
    judgeExchanges(state);
    classifyUnmatched(state);
    checkPeriod(state);
    beside.finish();
    return std::move(state.result);
}

} // namespace korvane::judge
