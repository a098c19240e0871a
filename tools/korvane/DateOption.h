#pragma once
// Dates given on the command line (--start, --end), always UTC:
// "2026-11-21 15:00", "2026-11-21T15:00:30Z", "2026-11-21 1500", "20261121 1500",
// or a date alone for its midnight.

#include "contract/OleDateTime.h"

#include <optional>
#include <string>

namespace korvane {

std::optional<COleDateTime> parseDateOption(const std::string& text);

// Empty for a date parseDateOption reads; else why not, with the forms it reads.
std::string dateOptionProblem(const std::string& text);

} // namespace korvane
