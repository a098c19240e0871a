#pragma once
// korvane tours: the log replayed tour by tour, as a table and optionally a chart.

#include "tools/korvane/Commands.h"
#include "tools/output/OutputFormat.h"

#include <string>

namespace korvane {

struct ToursOptions : LogCommandOptions {
    OutputFormat format = OutputFormat::Text;
    std::string chartPath; // empty: no chart
};

int runTours(const ToursOptions& options);

} // namespace korvane
