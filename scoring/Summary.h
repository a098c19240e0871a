#pragma once
// The score summary: one point per QSO with a call, one more per distinct call.

#include "scoring/BandList.h"
#include "scoring/ContestState.h"
#include "scoring/QsoLog.h"

#include <cstdint>
#include <string>
#include <vector>

struct SummaryResult {
    std::string text;                     // the tab-separated table for the host
    int score = 0;
    // Distinct calls in counting order, less listFilter, as the log's interned key ids:
    // comparing them tells whether the multiplier list changed without touching texts.
    std::vector<std::uint32_t> multiplierKeyIds;
};

// What the summary counts per band, for the bands of bandOrder in that order. A multiplier
// key counts as a new call under the first of those bands that has a record with it and
// a call, in the log order of that band's records; bands not in bandOrder count nothing.
// The list filter's key counts but is not listed.
struct BandCounts {
    std::vector<int> qsos;                          // per band: its records with a call
    std::vector<int> newCalls;                      // per band: the keys it counts first
    std::vector<std::vector<std::uint32_t>> listed; // per band: those keys, less the filter's
};
BandCounts countBands(const QsoLog& log, const std::vector<std::string>& bandOrder,
                      const std::string& listFilter);

// Sorts bands in place (that order persists), then counts them (countBands).
SummaryResult buildSummary(BandList& bands, const QsoLog& log, const ContestState& state);

// The texts of the multiplier list.
std::vector<std::string> multiplierTexts(const QsoLog& log, const SummaryResult& summary);

// Cabrillo mode code: "CW" for CW, "PH" for SSB, "PM" for anything else.
const char* cabrilloModeCode(const std::string& mode);
