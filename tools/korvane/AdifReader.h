#pragma once
// ADIF (.adi): data specifiers <NAME:LENGTH[:TYPE]>DATA, records ended by <EOR>, an
// optional header ended by <EOH>. Lengths count bytes, so values may hold any byte.

#include "tools/korvane/LogQso.h"

#include <string_view>

namespace korvane {

// Never fails as a whole: a record that is damaged (a bad length, a field running past
// the end of the file, a missing or unusable CALL, QSO_DATE, TIME_ON, BAND/FREQ or
// MODE) is listed in problems with the line it starts on, and left out.
ReadLog readAdif(std::string_view text);

} // namespace korvane
