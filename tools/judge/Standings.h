#pragma once
// The columns of the standings, once for the text table, the CSV and the page: what a
// committee reads off each station besides its rank and call.

#include "tools/judge/Judgement.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::judge {

struct StandingsColumn {
    const char* heading; // in the text table and on the page
    const char* csvName;
    int width;           // in the text table
    std::string (*value)(const Judgement& j, std::uint32_t station);
};

extern const std::vector<StandingsColumn> kStandingsColumns;

// The share of a station's QSOs with calls in no other log, in whole percent.
unsigned uniquePercent(const Judgement& j, std::uint32_t station);

// A log whose QSOs are mostly with calls no other log holds: made-up lines look so.
bool mostlyUniques(const Judgement& j, std::uint32_t station);

// Every station's QSOs of each finding, added up.
std::array<std::uint64_t, kFindingCount> contestCounts(const Judgement& j);

} // namespace korvane::judge
