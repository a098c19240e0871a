#include "tools/korvane/LogInput.h"

#include "tools/korvane/logs/ReadLoss.h"

#include <cstdio>
#include <filesystem>

namespace korvane {

std::string logName(const std::string& logPath)
{
    return logPath == kStandardInput ? "(standard input)" : logPath;
}

int prepareLog(const LogCommandOptions& options, LogInput& input, bool writesReport)
{
    const std::string name = logName(options.logPath);
    LogFileResult file = readLogFile(options.logPath, AdifOptions{options.exchangeField});
    if (!file.ok) {
        std::fprintf(stderr, "korvane: %s: %s\n", name.c_str(), file.error.c_str());
        return kExitFailed;
    }
    input.log = std::move(file.log);
    const ReadLoss loss = readLoss(input.log, options.maxSkippedPercent);
    // Thousands of skipped lines would bury the one line that matters: the count.
    const bool summarised = loss.heavy && !options.lenient;
    for (const LogProblem& p : input.log.problems)
        if (!summarised || !p.recordSkipped)
            std::fprintf(stderr, "%s:%zu: %s%s\n", name.c_str(), p.line,
                         p.message.c_str(), p.recordSkipped ? " (record skipped)" : "");
    if (options.strict && input.log.skippedRecords() > 0) {
        std::fprintf(stderr, "korvane: %zu malformed record(s) and --strict: nothing done\n",
                     input.log.skippedRecords());
        return kExitFailed;
    }
    if (summarised) {
        std::fprintf(stderr, "korvane: %s: %s", name.c_str(),
                     lossReport(name, input.log, loss, options.maxSkippedPercent, 5).c_str());
        if (writesReport) {
            std::fprintf(stderr, "korvane: no report written (--lenient writes it anyway, "
                                 "--max-skipped allows more)\n");
            return kExitFailed;
        }
        std::fprintf(stderr, "korvane: warning: the results count only the %zu QSOs read "
                             "(--lenient names every skipped record)\n", input.log.qsos.size());
    }
    if (input.log.qsos.empty()) {
        std::fprintf(stderr, "korvane: %s: no QSO could be read\n", name.c_str());
        return kExitFailed;
    }
    std::string error;
    if (!resolveRun(options.run, input.log, input.run, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

std::string readSummary(const LogCommandOptions& options, const ReadLog& log)
{
    return "Read " + std::to_string(log.qsos.size()) + " QSOs from " + logName(options.logPath) + " (" +
           formatName(log.format) + "), " + std::to_string(log.skippedRecords()) +
           " malformed record(s) skipped\n";
}

bool enterWorkFolder(const std::string& workdir, std::string* error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path dir = workdir.empty() ? fs::current_path(ec) : fs::path(workdir);
    // A mistyped --workdir must not quietly become a new folder full of settings.
    const bool existed = fs::exists(dir, ec);
    fs::create_directories(dir / "Plugins", ec);
    if (ec) {
        *error = "cannot create " + (dir / "Plugins").string() + ": " + ec.message();
        return false;
    }
    if (!existed)
        std::fprintf(stderr, "korvane: note: %s did not exist and was created\n", dir.string().c_str());
    fs::current_path(dir, ec);
    if (ec) {
        *error = "cannot enter " + dir.string() + ": " + ec.message();
        return false;
    }
    return true;
}

bool openWithTourClock(PluginSession& plugin, const PluginChoice& choice,
                       const std::string& workdir)
{
    std::string error;
    if (!plugin.load(choice, &error) || !enterWorkFolder(workdir, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return false;
    }
    // Without it every QSO would be checked at the time of the run, not its own.
    if (!plugin.hasTourClock()) {
        std::fprintf(stderr, "korvane: %s has no %s export: it cannot check a log at the QSOs' "
                             "own times\n", plugin.path().c_str(), host::kSetTourClock);
        return false;
    }
    return true;
}

} // namespace korvane
