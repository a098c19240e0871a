#pragma once
// The score summary computed the slow, obvious way: a rescan of the whole log for
// every band and a list of seen calls searched from the front. It is the reference
// the real summary is measured against, and the oracle its tests compare with.

#include "scoring/ContestState.h"
#include "scoring/QsoRecord.h"

#include <string>
#include <vector>

struct LiteralSummary {
    std::string text;
    int score = 0;
    std::vector<std::string> multipliers;
};

// Sorts bandList in place exactly as the plug-in does.
LiteralSummary literalSummary(std::vector<std::string>& bandList,
                              const std::vector<QsoRecord>& log, const ContestState& state);
