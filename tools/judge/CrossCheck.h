#pragma once
// Cross-checking the logs against each other: each QSO is looked for in the worked
// station's log among the QSOs of the same two stations on the same band and mode,
// near in time; never against every other QSO. Stations whose clock was off by a
// constant are found first and their times corrected.

#include "tools/judge/ContestLogs.h"
#include "tools/judge/ExchangeParts.h"
#include "tools/judge/SentExchange.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane::judge {

struct CheckOptions {
    Minute start = 0, end = 0; // the contest period: start <= time < end
    int tolerance = 3;         // minutes two sides' times may differ by
    int minOffset = 2;         // a clock off by less is not reported or corrected
    ExchangeRules exchange;    // a serial unless the contest's definition says otherwise
};

struct ClockOffset {
    int minutes = 0;          // logged time minus true time; 0 when none was found
    std::uint32_t samples = 0; // QSOs the estimate rests on
};

struct CrossCheckResult {
    std::vector<std::uint32_t> partner; // by QSO: the other side's QSO, or kNoIndex
    std::vector<ClockOffset> offsets;   // by station
    std::vector<SenderView> senders;    // by station; empty when no exchange part is constant
    std::unordered_map<std::uint32_t, SenderView> sendersWithoutLog; // by call id, the same
};

// Sets every QSO's finding and flags, tour repeats aside (the plug-in finds those).
CrossCheckResult crossCheck(ContestLogs& logs, const CheckOptions& options);

// One callsign where another was meant: one character replaced, added or left out,
// or a portable-style suffix ("/P", "/M", "/3") added or left out.
bool oneCharacterApart(const std::string& a, const std::string& b);

} // namespace korvane::judge
