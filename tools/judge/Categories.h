#pragma once
// The category a station is ranked in, from its header's CATEGORY-* lines, in Cabrillo
// 3.0's words whatever words the log used.

#include "tools/judge/ContestDefinition.h"
#include "tools/judge/ContestLogs.h"
#include "tools/logs/CabrilloHeader.h"

#include <string>
#include <vector>

namespace korvane::judge {

// The values of the CATEGORY-* lines in the order operator, band, mode, power, assisted,
// transmitter, station, time, overlay, then any other tags by tag. A value of a known
// tag is written as Cabrillo 3.0 writes it ("LO" is "LOW"); one it has no word for is
// left out, with a note. "UNSPECIFIED" when nothing is left.
std::string categoryLabel(const CabrilloHeader& header, std::vector<std::string>* notes = nullptr);

// A check log helps the judge and is never ranked.
bool isCheckLog(const CabrilloHeader& header);

// Where a contest names its categories, each station is ranked in the first one whose
// words its label holds all of ("SINGLE-OP ALL CW LOW" for "SINGLE-OP ALL CW LOW
// NON-ASSISTED ONE"), else in "UNSPECIFIED" with a note. Check logs stay as they are.
void placeInContestCategories(ContestLogs& logs, const ContestDefinition& contest);

} // namespace korvane::judge
