#pragma once
// The entrant's pages: upload, the log check, the receipt and the public list of logs
// received. Every text that came from a log goes through html().

#include "tools/robot/LogsOrder.h"
#include "tools/robot/Robot.h"

#include <string>
#include <vector>

namespace korvane::robot {

// notice: a refusal to show above the form (HTML-escaped here), or empty.
std::string uploadPage(const judge::ContestDefinition& contest, const WindowState& window,
                       const std::string& notice = {});

// The log check's findings with the log back in the text area to fix and send again.
std::string checkPage(const SubmitOutcome& outcome, const std::string& sent);

std::string receiptPage(const Receipt& receipt, bool sameAsBefore);

// logs: sorted already.
std::string logsPage(const std::vector<ReceivedLog>& logs, const LogsOrder& order);

} // namespace korvane::robot
