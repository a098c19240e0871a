#pragma once
// The score the committee will count. The plug-in counts every QSO it is given, also a
// repeat that its own tour rule refuses when asked live; the committee leaves those
// repeats out. So the claim is the plug-in's score of the log without them.

#include "tools/korvane/ContestRun.h"
#include "tools/korvane/LogReplay.h"
#include "tools/korvane/PluginSession.h"

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// A fresh reset (no report) and the QSOs fed in order, less the refused positions; the
// plug-in's score of what is left.
int scoreWithoutRefused(PluginSession& plugin, const ContestRun& run,
                        const std::vector<LogQso>& qsos, const std::vector<Refusal>& refusals);

// The line that says which score to claim: the committee's when the refusals are known
// (empty: the plug-in cannot replay), with the plug-in's beside it when they differ.
std::string claimLine(int pluginScore, const std::optional<int>& committeeScore,
                      std::size_t refused);

} // namespace korvane
