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

// Sorts bands in place (that order persists), then counts in one pass over the log.
SummaryResult buildSummary(BandList& bands, const QsoLog& log, const ContestState& state);

// The texts of the multiplier list.
std::vector<std::string> multiplierTexts(const QsoLog& log, const SummaryResult& summary);

// Cabrillo mode code: "CW" for CW, "PH" for SSB, "PM" for anything else.
const char* cabrilloModeCode(const std::string& mode);
