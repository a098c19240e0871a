#pragma once
// What the cross-check's steps share: the logs, the options, the result so far, and
// every call as the steps compare it (the contest's suffix rule applied).

#include "tools/judge/CrossCheck.h"

#include <cstdint>
#include <vector>

namespace korvane::judge {

struct Loose;

struct CheckState {
    CheckState(ContestLogs& logs, const CheckOptions& options);

    ContestLogs& logs;
    const CheckOptions& options;
    CrossCheckResult result;
    TextTable matched;                        // calls as matched: "PA7F/P" is "PA7F"
    std::vector<std::uint32_t> matchedOf;     // by call id: its id in matched
    std::vector<std::uint32_t> stationOfMatched; // by matched id: the station, or kNoIndex
    std::vector<std::uint32_t> ownMatched;    // by station: its call's id in matched

    Minute corrected(std::uint32_t station, std::uint32_t index) const
    {
        return logs.qsos[index].minute - result.offsets[station].minutes;
    }
    // The submitted station a QSO worked, or kNoIndex.
    std::uint32_t stationWorked(const CompactQso& q) const { return stationOfMatched[matchedOf[q.call]]; }
    const std::string& matchedText(const CompactQso& q) const { return matched.text(matchedOf[q.call]); }
    bool unmatched(std::uint32_t index) const { return result.partner[index] == kNoIndex; }
    void pair(std::uint32_t a, std::uint32_t b)
    {
        result.partner[a] = b;
        result.partner[b] = a;
    }
};

// A duplicate or a band the frequency contradicts takes no part in matching.
inline bool eligible(const CompactQso& q)
{
    return q.finding != Finding::Duplicate && q.finding != Finding::BandMismatch;
}

// A finding only ever rises in precedence; true when it rose.
inline bool raiseFinding(CompactQso& q, Finding f)
{
    if (f <= q.finding)
        return false;
    q.finding = f;
    return true;
}


// The steps, in the order crossCheck takes them.
void checkEachLog(CheckState& state);     // duplicates, bands the frequency contradicts
void matchByPair(CheckState& state);      // clocks, then both sides logged each other right
// Busted calls are looked for among the QSOs still without a partner; those left of
// them after it are where near misses are looked for.
void matchBustedCalls(CheckState& state, std::vector<Loose>& loose); // a call one character off
void matchNearMisses(CheckState& state, const std::vector<Loose>& loose); // one side's time far off
void judgeExchanges(CheckState& state);   // each matched side against what the other sent
void findCallDoubts(CheckState& state);   // a header call no partner logged
void classifyUnmatched(CheckState& state); // NIL, unique, no log, or a busted call after all
void checkPeriod(CheckState& state);

} // namespace korvane::judge
