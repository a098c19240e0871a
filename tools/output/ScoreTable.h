#pragma once
// Reading the plug-in's score table back: korvane prints it as returned, and names the
// multipliers in the order the plug-in counts them (scoring's countBands over the bands
// in the table's order), since the list itself is no export.

#include "tools/logs/LogQso.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// The table for a terminal: CR LF as line ends of the platform, a last line end added.
std::string printableTable(const std::string& table);

// The band texts of the table's band lines, in the table's order.
std::vector<std::string> tableBands(const std::string& table);

// The last number of the Total line (the New Call count); empty if there is none.
std::optional<int> tableNewCalls(const std::string& table);

// The table's numbers: the band lines, the total line and the score line.
struct ScoreSummary {
    struct Band {
        std::string band;
        int qsos = 0, points = 0;
    };
    std::string title;      // the heading's first line, trimmed ("Korvane 21.11.26")
    std::string contestant; // after "Contestant: "
    std::vector<Band> bands;
    int qsos = 0, points = 0, newCalls = 0, score = 0;
};

// Empty when the table lacks its total or score line or a number cannot be read.
std::optional<ScoreSummary> parseScoreTable(const std::string& table);

// A multiplier and the band it is counted under (the first band, in the plug-in's
// order, that it was worked on).
struct Multiplier {
    std::string call, band;
};

// Distinct non-empty calls, first seen per band in the given band order, less listFilter.
std::vector<Multiplier> multipliersByBand(const std::vector<LogQso>& qsos,
                                          const std::vector<std::string>& bandOrder,
                                          const std::string& listFilter);

// The same calls without their bands.
std::vector<std::string> multipliers(const std::vector<LogQso>& qsos,
                                     const std::vector<std::string>& bandOrder,
                                     const std::string& listFilter);

// Calls joined by blanks, broken into lines of at most width characters.
std::string wrapped(const std::vector<std::string>& words, std::size_t width, const std::string& indent);

} // namespace korvane
