#pragma once
// The score the committee will count. The plug-in counts every QSO it is given, also a
// repeat that its own tour rule refuses when asked live; the committee leaves those
// repeats out. So the claim is the plug-in's score of the log without them.

#include "tools/logs/LogReplay.h"
#include "tools/host/PluginSession.h"

#include <vector>

namespace korvane {

// A fresh reset (no report) and the QSOs fed in order, less the refused positions; the
// plug-in's score of what is left.
int scoreWithoutRefused(PluginSession& plugin, const ContestRun& run,
                        const std::vector<LogQso>& qsos, const std::vector<Refusal>& refusals);

} // namespace korvane
