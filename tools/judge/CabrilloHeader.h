#pragma once
// What the committee needs from a Cabrillo log's header, besides its QSOs: who sent
// it, in which category, and the score the station claims.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::judge {

struct CabrilloHeader {
    std::string version;  // the START-OF-LOG value, trimmed; empty when there is none
    std::string callsign; // CALLSIGN, upper case, trimmed; empty when missing
    std::size_t callsignLine = 0;
    // Every CATEGORY-* line: tag (upper case, e.g. "CATEGORY-POWER") and value (upper case).
    std::vector<std::pair<std::string, std::string>> categories;
    std::optional<long long> claimedScore; // CLAIMED-SCORE when it is a whole number
    std::string operators;                 // OPERATORS as written, trimmed
};

// Reads the tag lines of the whole file up to END-OF-LOG; never fails.
CabrilloHeader readCabrilloHeader(std::string_view text);

// Why the log is not one the committee can judge (not Cabrillo 3.0, no CALLSIGN),
// or empty when it is.
std::string headerProblem(const CabrilloHeader& header);

// The category a station is ranked in: the values of its CATEGORY-* lines in the
// order operator, band, mode, power, assisted, transmitter, station, time, overlay,
// then any others by tag; "UNSPECIFIED" when the log gives none.
std::string categoryLabel(const CabrilloHeader& header);

} // namespace korvane::judge
