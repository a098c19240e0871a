#pragma once
// A Cabrillo log's header: who sent it, in which category, the score the station
// claims. Read once, by the Cabrillo reader, for `score` and the committee alike.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

struct CabrilloHeader {
    std::string version;  // the START-OF-LOG value, trimmed; empty when there is none
    std::string callsign; // CALLSIGN, upper case, trimmed; empty when missing
    std::size_t callsignLine = 0;
    // Every CATEGORY-* line: tag (upper case, e.g. "CATEGORY-POWER") and value (upper case).
    std::vector<std::pair<std::string, std::string>> categories;
    std::optional<long long> claimedScore; // CLAIMED-SCORE when it is a whole number
    std::string operators;                 // OPERATORS as written, trimmed, lines joined
};

// A header line's tag in upper case ("CALLSIGN"), or empty when the line has no colon.
std::string headerTag(std::string_view line);

// Takes one tagged line (not a QSO line) into the header; the first START-OF-LOG and
// CALLSIGN stand, every CATEGORY-* and OPERATORS line adds.
void takeHeaderLine(std::string_view tag, std::string_view line, std::size_t number,
                    CabrilloHeader& header);

// The calls of an OPERATORS value ("K1ABC, K2DEF @W1AW"; '@' marks the host station),
// each once, those that are no callsign left out.
std::vector<std::string> operatorCalls(const std::string& operators);

} // namespace korvane
