#pragma once
// Logs that claim one call: a resubmission, or a log sent in another station's name.
// The first file by name must never win by its name alone.

#include "tools/judge/ContestLogs.h"

#include <map>
#include <string>
#include <vector>

namespace korvane::judge {

// Leaves at most one station per call and moves the others to logs.unreadable, each
// with the reason:
//   - the committee's choice (chosen: call to a file's path or name) is the one judged;
//   - when each log's QSOs are all in the next larger one (a log sent again with more
//     or fewer QSOs), the newest file (fileTimes, by station) is;
//   - otherwise none is, and the reason tells the committee to choose.
// Call before indexStations.
void settleSharedCalls(ContestLogs& logs, const std::vector<long long>& fileTimes,
                       const std::map<std::string, std::string>& chosen);

} // namespace korvane::judge
