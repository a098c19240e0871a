#pragma once
// Cabrillo 3.0: header lines "TAG: value", QSO lines, END-OF-LOG.
//
// A QSO line is "QSO: freq mode date time", then the sent half (own call, report,
// exchange) and the received half (worked call, report, exchange), and in
// multi-transmitter logs the transmitter's number. Where the worked call stands, whether
// reports lead the halves and whether a transmitter number ends the lines is decided
// once for the file, from all its QSO lines (CabrilloLayout.h). Exchanges are passed on
// whole, blanks inside them as written.

#include "tools/logs/LogQso.h"

#include <string_view>

namespace korvane {

// Never fails as a whole: a QSO line that cannot be read, or that does not fit the
// file's layout, is listed in problems with its line number and left out; text after
// END-OF-LOG is named once and ignored.
ReadLog readCabrillo(std::string_view text, const ReadLimits& limits = {});

} // namespace korvane
