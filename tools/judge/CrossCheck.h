#pragma once
// Cross-checking the logs against each other: each QSO is looked for in the worked
// station's log among the QSOs of the same two stations on the same band and mode,
// near in time; never against every other QSO. Stations whose clock was off by a
// constant (whole hours for a log kept in local time, and minutes) are found first and
// their times corrected.

#include "tools/judge/CallMatching.h"
#include "tools/judge/ContestLogs.h"
#include "tools/judge/ExchangeParts.h"
#include "tools/judge/SentExchange.h"

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane::judge {

struct CheckOptions {
    Minute start = 0, end = 0; // the contest period: start <= time < end
    int tolerance = 3;         // minutes two sides' times may differ by
    int minOffset = 2;         // a clock off by less is not reported or corrected
    SuffixRule suffixes = SuffixRule::Ignore;
    int uniqueBustLogs = 3;    // see ContestDefinition; 0 turns the rule off
    int nearMiss = 30;         // minutes apart two QSOs with the same numbers are one
    ExchangeRules exchange;    // a serial unless the contest's definition says otherwise
    // Steps that split into independent halves take a second thread for one of them;
    // the verdicts are the same either way.
    bool twoThreads = false;
};

struct ClockOffset {
    int minutes = 0;          // logged time minus true time; 0 when none was found
    std::uint32_t samples = 0; // QSOs the estimate rests on
};

// A call in no other log, one character from a call many logs hold.
struct MeantCall {
    std::uint32_t call = 0; // in ContestLogs::calls
    std::uint32_t logs = 0; // how many logs hold it
};

struct CrossCheckResult {
    std::vector<std::uint32_t> partner; // by QSO: the other side's QSO, or kNoIndex
    std::vector<ClockOffset> offsets;   // by station
    std::unordered_map<std::uint32_t, MeantCall> meant; // by QSO, for busted calls no log shows
    // By QSO, both ways: a NIL whose QSO the other log holds too far off in time, when
    // neither side's time can be shown wrong.
    std::unordered_map<std::uint32_t, std::uint32_t> nearMiss;
    std::vector<SenderView> senders;    // by station; empty when no exchange part is constant
    std::unordered_map<std::uint32_t, SenderView> sendersWithoutLog; // by call id, the same
};

// Sets every QSO's finding and flags, tour repeats aside (the plug-in finds those), and
// each station's callDoubt.
// meanwhile, when given, runs on a second thread beside the steps that take only one
// (from busted calls on), and is done when this returns; what it throws is thrown here.
// It may read the logs but not the findings.
CrossCheckResult crossCheck(ContestLogs& logs, const CheckOptions& options,
                            const std::function<void()>& meanwhile = {});

} // namespace korvane::judge
