#pragma once
// The score summary: one point per QSO with a call, one more per distinct call.

#include "scoring/BandList.h"
#include "scoring/ContestState.h"
#include "scoring/QsoLog.h"

#include <string>
#include <vector>

struct SummaryResult {
    std::string text;                     // the tab-separated table for the host
    int score = 0;
    std::vector<std::string> multipliers; // distinct calls in counting order, less listFilter
};

// Sorts bands in place (that order persists), then counts in one pass over the log.
SummaryResult buildSummary(BandList& bands, const QsoLog& log, const ContestState& state);

// Cabrillo mode code: "CW" for CW, "PH" for SSB, "PM" for anything else.
const char* cabrilloModeCode(const std::string& mode);
