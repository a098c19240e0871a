#pragma once
// The log replayed as if live, the way check, tours and score's script formats see it:
// before each AddData0, CheckCall0 is asked at the QSO's own time through the plug-in's
// clock override, so the tour rule judges each QSO against the QSOs logged before it.

#include "contract/CheckAnswer.h"
#include "tools/host/PluginSession.h"
#include "tools/logs/LogQso.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace korvane {

struct ReplayStep {
    std::size_t position = 0; // 1 for the first QSO fed
    const LogQso* qso = nullptr;
    int verdict = kNewCall;   // CheckCall0's answer
    std::string message;      // the refusal in UTF-8; empty unless refused
};

// A refused QSO as the outputs name it.
struct Refusal {
    std::size_t position = 0, line = 0;
    COleDateTime time;
    std::string call, band, mode, message;
};

Refusal refusalOf(const ReplayStep& step);

// Feeds the QSOs in the given order (the reset is the caller's); onStep runs after each
// AddData0. The plug-in's own clock is back in force when this returns.
void replayLog(PluginSession& plugin, const std::vector<LogQso>& qsos,
               const std::function<void(const ReplayStep&)>& onStep);

} // namespace korvane
