#pragma once
// One run of the committee's judge on the latest logs, in a folder of its own:
// run-N/logs (the logs as judged), run-N/work (the plug-in's settings for the judge),
// run-N/results (what publishing makes public).

#include "tools/host/PluginSession.h"
#include "tools/judge/ContestDefinition.h"
#include "tools/robot/SubmissionStore.h"

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace korvane::robot {

struct JudgeJob {
    std::string folder; // absolute: DATA/judge/run-N
    std::vector<std::string> files; // the logs written, in call order
    std::set<std::string> checklogCalls;
    judge::ContestDefinition contest;
    PluginChoice plugin;
};

// The call made safe for a file name, as the judge names its reports: "RK3AZ-P.cbr".
std::string logFileName(const std::string& call);

// Writes each log as logs/CALL.cbr (the call made safe for a file name) and fills
// job.files; false with the reason.
bool writeJudgeLogs(JudgeJob& job, const std::vector<LatestLog>& logs, std::string* error);

// Judges job.files and writes results/. Loads the plug-in itself and changes the
// current directory: only on the plug-in's worker, which must enter its own folder
// again afterwards. summary: one line for the committee.
bool runJudge(const JudgeJob& job, const std::function<void(const char*, std::size_t, std::size_t)>& progress,
              std::string* summary, std::string* error);

} // namespace korvane::robot
