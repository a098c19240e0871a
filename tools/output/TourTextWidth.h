#pragma once
// The tours table within a width: a log of many bands and modes would give a table
// too wide for a terminal, so the least busy modes, then bands, are counted together
// under "other modes" and "other" until it fits, and a line says which.

#include "tools/output/TourTable.h"

#include <string>

namespace korvane {

// Columns of the widest line of a UTF-8 text.
std::size_t widestLine(const std::string& text);

// tourText within width columns where merging can make it so.
std::string fittedTourText(const TourTable& table, const std::string& ownCall, std::size_t width);

} // namespace korvane
