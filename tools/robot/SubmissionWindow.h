#pragma once
// When uploads are taken: from the contest's start till its deadline, unless the
// committee has opened or closed the window by hand. A definition without a deadline
// keeps it open from the start on; one without a start, from now.

#include "tools/judge/ContestDefinition.h"
#include "tools/robot/Robot.h"

#include <optional>
#include <string>

namespace korvane::robot {

// "2026-11-21 18:03:12", UTC.
std::string utcText(Clock::time_point time);
// "2026-11-21 15:00" for a minute of the contest, empty for none.
std::string minuteText(const std::optional<judge::Minute>& minute);
// The minute the time falls in, in the judge's count.
judge::Minute minuteOfTime(Clock::time_point time);

WindowState windowAt(const judge::ContestDefinition& contest, WindowMode mode, Clock::time_point now);

// "automatic", "open", "closed", as stored; from text, Automatic for anything else.
const char* windowModeName(WindowMode mode);
WindowMode windowModeOf(const std::string& name);

} // namespace korvane::robot
