#include "tools/judge/ContestPeriodRules.h"

namespace korvane::judge {

PeriodProblem settlePeriod(JudgeRules& rules, std::optional<Minute> start, std::optional<Minute> end,
                           std::string* error)
{
    const std::optional<Minute> from = start ? start : rules.contest.start;
    const std::optional<Minute> to = end ? end : rules.contest.end;
    if (!from || !to) {
        *error = rules.contest.name + " names no period";
        return PeriodProblem::Missing;
    }
    if (*to <= *from) {
        *error = "the contest must end after it starts (" + formatMinute(*from, "%Y-%m-%d %H:%M") + " to " +
                 formatMinute(*to, "%Y-%m-%d %H:%M") + ")";
        return PeriodProblem::Backwards;
    }
    rules.start = *from;
    rules.end = *to;
    return PeriodProblem::None;
}

} // namespace korvane::judge
