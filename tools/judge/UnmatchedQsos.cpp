// What is left without a partner: a NIL when the worked station sent a log; otherwise a
// QSO that only sent no log, a unique, or a busted copy of a call many logs hold.
#include "tools/judge/LooseQsos.h"

namespace korvane::judge {
namespace {

// In how many logs each call is worked, to tell uniques from calls that only sent no log.
std::vector<std::uint32_t> logsHolding(const ContestLogs& logs)
{
    std::vector<std::uint32_t> logsWith(logs.calls.size(), 0), lastStation(logs.calls.size(), kNoIndex);
    for (std::uint32_t s = 0; s < logs.stations.size(); ++s) {
        const Station& st = logs.stations[s];
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
            const std::uint32_t call = logs.qsos[i].call;
            if (lastStation[call] != s) {
                lastStation[call] = s;
                ++logsWith[call];
            }
        }
    }
    return logsWith;
}

// The calls at least the contest's threshold of logs hold, to find what a unique call
// was probably meant to be.
NearCalls wellKnownCalls(const CheckState& state, const std::vector<std::uint32_t>& logsWith)
{
    NearCalls known;
    const int threshold = state.options.uniqueBustLogs;
    if (threshold <= 0)
        return known;
    for (std::uint32_t call = 0; call < logsWith.size(); ++call)
        if (logsWith[call] >= static_cast<std::uint32_t>(threshold))
            known.add(call, state.logs.calls.text(call), logsWith[call]);
    return known;
}

} // namespace

void classifyUnmatched(CheckState& state)
{
    ContestLogs& logs = state.logs;
    const std::vector<std::uint32_t> logsWith = logsHolding(logs);
    const NearCalls known = wellKnownCalls(state, logsWith);
    for (std::uint32_t i = 0; i < logs.qsos.size(); ++i) {
        CompactQso& q = logs.qsos[i];
        if (!state.unmatched(i) || !eligible(q))
            continue;
        if (state.stationWorked(q) != kNoIndex) {
            raiseFinding(q, Finding::Nil);
        } else if (logsWith[q.call] > 1) {
            raiseFinding(q, Finding::NoLog);
        } else if (const auto meant = known.heaviest(logs.calls.text(q.call))) {
            raiseFinding(q, Finding::BustedCall);
            state.result.meant[i] = {*meant, known.weight(*meant)};
        } else {
            raiseFinding(q, Finding::Unique);
        }
    }
}

void checkPeriod(CheckState& state)
{
    const ContestLogs& logs = state.logs;
    for (std::uint32_t s = 0; s < logs.stations.size(); ++s) {
        const Station& st = logs.stations[s];
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
            const Minute t = state.corrected(s, i);
            if (t < state.options.start || t >= state.options.end)
                raiseFinding(state.logs.qsos[i], Finding::OutOfPeriod);
        }
    }
}

} // namespace korvane::judge
