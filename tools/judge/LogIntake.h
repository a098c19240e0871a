#pragma once
// Whose log a file is: the call it is judged under, and what the committee should be
// told about how that call was found.

#include "tools/logs/LogQso.h"

#include <cstddef>
#include <string>

namespace korvane::judge {

struct LogIdentity {
    std::string call;     // empty: the log names no call it can be judged under
    std::size_t line = 0; // where the call stands, 0 when no one line gives it
    std::string note;     // how the call was found when the header did not give it
    std::string problem;  // why the log cannot be judged, when call is empty
};

// Cabrillo (any version): the CALLSIGN line, else the own call of the QSO lines with a
// note. ADIF: the station's call the reader found in the records.
LogIdentity identityOf(const ReadLog& log);

} // namespace korvane::judge
