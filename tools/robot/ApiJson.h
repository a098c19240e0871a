#pragma once
// The JSON API's bodies, made from the robot's own structs. Texts from a log go in as
// they are; nlohmann-json escapes them, and invalid UTF-8 is replaced rather than thrown.

#include "tools/robot/Robot.h"
#include "tools/robot/SubmissionWindow.h" // windowModeName

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace korvane::robot {

nlohmann::json checkJson(const LogCheck& check);
nlohmann::json receiptJson(const Receipt& receipt);
nlohmann::json outcomeJson(const SubmitOutcome& outcome);
nlohmann::json logsJson(const std::vector<ReceivedLog>& logs);
nlohmann::json contestJson(const judge::ContestDefinition& contest, const WindowState& window);
nlohmann::json submissionsJson(const std::vector<Submission>& submissions);
nlohmann::json judgeJson(const JudgeProgress& progress);
const char* judgeStateName(JudgeProgress::State state);

// {"status":status,"message":message}
nlohmann::json statusJson(const std::string& status, const std::string& message);

// The body as sent: never throws on bytes that are not UTF-8.
std::string jsonText(const nlohmann::json& value);


} // namespace korvane::robot
