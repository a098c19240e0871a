#pragma once
// The score a receipt names: the log replayed with the tour rule as korvane check does,
// then the plug-in's score of the QSOs it did not refuse, as the committee counts.

#include "tools/host/PluginSession.h"
#include "tools/judge/ContestDefinition.h"
#include "tools/logs/LogQso.h"
#include "tools/robot/Robot.h"

#include <vector>

namespace korvane::robot {

struct Claim {
    long long score = 0;
    std::vector<RefusedQso> refused;
};

// The reset's own call is the log's; its start and end are the contest's period, or the
// first and last QSO where the definition has none. QSOs outside the period are left out.
// Runs on the plug-in's worker only.
Claim claimedScore(PluginSession& plugin, const ReadLog& log, const judge::ContestDefinition& contest);

} // namespace korvane::robot
