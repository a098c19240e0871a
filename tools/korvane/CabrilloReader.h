#pragma once
// Cabrillo 3.0: header lines "TAG: value", QSO lines, END-OF-LOG.
//
// A QSO line is "QSO: freq mode date time", then the sent half (own call, report,
// exchange) and the received half (worked call, report, exchange). Exchanges may hold
// blanks, so where the worked call stands is taken from the file's own alignment (the
// column where it stands in the lines whose halves are of equal length), failing that
// from halves of equal length, and last from the template's column.

#include "tools/korvane/LogQso.h"

#include <string_view>

namespace korvane {

// Never fails as a whole: a QSO line that cannot be read is listed in problems with
// its line number and left out; text after END-OF-LOG is named once and ignored.
ReadLog readCabrillo(std::string_view text);

} // namespace korvane
