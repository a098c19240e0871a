#pragma once
// The judge's period for a contest: each end as the committee gives it, else the
// contest definition's. korvane judge and the log robot settle it the same way.

#include "tools/judge/Judgement.h"

#include <optional>
#include <string>

namespace korvane::judge {

enum class PeriodProblem : std::uint8_t {
    None,
    Missing,   // neither given nor defined
    Backwards, // the end is not after the start
};

// Sets rules.start and rules.end from rules.contest and the ends given; on a problem
// the rules are unchanged and error says it ("the contest must end after it starts
// (2026-11-21 15:00 to 2026-11-21 14:00)").
PeriodProblem settlePeriod(JudgeRules& rules, std::optional<Minute> start, std::optional<Minute> end,
                           std::string* error);

} // namespace korvane::judge
