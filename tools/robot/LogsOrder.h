#pragma once
// The order of the logs-received list, from the page's ?sort=...&order=... Unknown
// values fall back to the default (by call, ascending) rather than fail.

#include "tools/robot/Robot.h"

#include <string>
#include <vector>

namespace korvane::robot {

struct LogsOrder {
    enum class Key : std::uint8_t { Call, Category, Qsos, Score, Time };
    Key key = Key::Call;
    bool descending = false;
};

LogsOrder logsOrder(const std::string& sort, const std::string& order);
const char* logsOrderKeyName(LogsOrder::Key key);

// Sorted by the key, ties by call; stable.
void sortLogs(std::vector<ReceivedLog>& logs, const LogsOrder& order);

} // namespace korvane::robot
