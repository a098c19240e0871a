#pragma once
// The tours as a picture: QSOs per tour as bars stacked by band on the left axis, the
// QSOs per 10 minutes as a thin step line on the same axis, the running score as a line
// on the right axis, with title, axis titles and legend. Plain
// SVG 1.1 written by hand, so any browser shows it and nothing else is needed.

#include "tools/output/QsoRates.h"
#include "tools/output/TourTable.h"

#include <string>

namespace korvane {

// Text for an SVG file; title is the chart's heading (any bytes: escaped, valid UTF-8).
// rates gives the 10-minute counts.
std::string tourChartSvg(const TourTable& table, const std::string& title, const QsoRates& rates);

// The smallest 1, 2 or 5 times a power of ten that is at least value (at least 1).
long niceStep(double value);

} // namespace korvane
