#pragma once
// The reset's values as the command line gives them. Each comes from the command line
// when given there, else from the log.

#include "tools/host/ContestRun.h"
#include "tools/logs/LogQso.h"

#include <optional>
#include <string>

namespace korvane {

struct RunOptions {
    std::string call, start, end, filter; // as typed; empty when not given
};

// False with a reason for a start or end that cannot be read, or a log that names no
// own call when none is given.
bool resolveRun(const RunOptions& options, const ReadLog& log, ContestRun& run,
                std::string* error);

} // namespace korvane
