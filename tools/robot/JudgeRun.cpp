#include "tools/robot/JudgeRun.h"

#include "tools/judge/ContestPeriodRules.h"
#include "tools/judge/Judgement.h"
#include "tools/judge/ResultFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace korvane::robot {
namespace {

namespace fs = std::filesystem;

bool writeFile(const fs::path& path, const std::string& bytes, std::string* error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (out)
        return true;
    *error = "cannot write " + path.string() + " (is the disk full?)";
    return false;
}

} // namespace

std::string logFileName(const std::string& call)
{
    std::string name = judge::reportFileName(call);
    const std::size_t dot = name.rfind('.');
    return (dot == std::string::npos ? name : name.substr(0, dot)) + ".cbr";
}

bool writeJudgeLogs(JudgeJob& job, const std::vector<LatestLog>& logs, std::string* error)
{
    const fs::path dir = fs::path(job.folder) / "logs";
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        *error = "cannot create " + dir.string() + ": " + ec.message();
        return false;
    }
    job.files.clear();
    for (const LatestLog& log : logs) {
        const fs::path file = dir / logFileName(log.call);
        if (!writeFile(file, log.text, error))
            return false;
        job.files.push_back(file.string());
    }
    return true;
}

bool runJudge(const JudgeJob& job, const std::function<void(const char*, std::size_t, std::size_t)>& progress,
              std::string* summary, std::string* error)
{
    if (job.files.empty()) {
        *error = "there is no log to judge";
        return false;
    }
    judge::JudgeOptions o;
    o.rules.contest = job.contest;
    if (judge::settlePeriod(o.rules, std::nullopt, std::nullopt, error) != judge::PeriodProblem::None)
        return false;
    o.files = job.files;
    o.checkLogCalls = job.checklogCalls;
    o.plugin = job.plugin;
    o.workFolder = (fs::path(job.folder) / "work").string();
    o.workers = 2;
    o.tourCheckBeside = false; // the plug-in stays on the robot's worker thread
    o.scoreHelpers = false;    // a forked copy of a server with threads holds only one
    o.progress = progress;
    judge::Judgement j;
    if (!judge::judgeContest(o, j, error)) {
        if (!j.stopped.empty())
            *error = j.stopped;
        return false;
    }
    if (progress)
        progress("writing the results", 0, 1);
    if (!judge::writeResults(j, (fs::path(job.folder) / "results").string(), error))
        return false;
    std::size_t qsos = 0, valid = 0;
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        qsos += j.logs.stations[s].count;
        valid += j.results[s].valid;
    }
    *summary = "judged " + std::to_string(j.logs.stations.size()) + " logs with " + std::to_string(qsos) + " QSOs: " +
               std::to_string(valid) + " valid, " + std::to_string(j.logs.unreadable.size()) + " logs not read, " +
               std::to_string(j.checkLogs.size()) + " check logs";
    return true;
}

} // namespace korvane::robot
