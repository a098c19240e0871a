#pragma once
// QSOs the contest does not have: on its bands and modes, and in its period.

#include "tools/judge/ContestDefinition.h"
#include "tools/judge/ContestLogs.h"

namespace korvane::judge {

// A QSO on a band or with a mode the contest does not have is that, whatever its partner
// logged: never a NIL or a bust. Findings that go before it (see Finding) stay.
void markNotInContest(ContestLogs& logs, const ContestDefinition& contest);

// The QSOs logged outside start <= time < end.
std::size_t qsosOutsidePeriod(const ContestLogs& logs, Minute start, Minute end);

} // namespace korvane::judge
