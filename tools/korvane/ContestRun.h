#pragma once
// What the reset is given: own call, contest start and end, list filter. Each comes
// from the command line when given there, else from the log.

#include "contract/OleDateTime.h"
#include "tools/korvane/logs/LogQso.h"

#include <optional>
#include <string>

namespace korvane {

struct RunOptions {
    std::string call, start, end, filter; // as typed; empty when not given
};

struct ContestRun {
    std::string ownCall;
    COleDateTime start, end;
    std::string listFilter;
};

// False with a reason for a start or end that cannot be read, or a log that names no
// own call when none is given.
bool resolveRun(const RunOptions& options, const ReadLog& log, ContestRun& run,
                std::string* error);

} // namespace korvane
