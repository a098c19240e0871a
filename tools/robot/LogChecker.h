#pragma once
// The log check an entrant sees at once: korvane's readers and the contest definition,
// each finding tied to the line it is about and that line quoted.

#include "tools/judge/ContestDefinition.h"
#include "tools/logs/LogQso.h"
#include "tools/robot/Robot.h"

#include <string_view>

namespace korvane::robot {

struct CheckedLog {
    LogCheck check;
    ReadLog log; // the QSOs as read (of the upload itself, also when it was ADIF)
};

// Never throws and never refuses to answer: an upload that is no log at all gets one
// error on line 0. The number of findings listed per kind is bounded.
CheckedLog checkLog(std::string_view bytes, const judge::ContestDefinition& contest);

} // namespace korvane::robot
