#include "tools/korvane/LogInput.h"

#include "contract/SettingsKeys.h"
#include "tools/korvane/DateOption.h"
#include "tools/logs/ReadLoss.h"

#include <cstdio>
#include <filesystem>

namespace korvane {
namespace {

std::optional<COleDateTime> givenDate(const std::string& text)
{
    return text.empty() ? std::nullopt : parseDateOption(text);
}

// False, with the message printed, when no QSO is left.
bool leaveOutOfPeriod(const RunOptions& run, LogInput& input)
{
    const std::optional<COleDateTime> start = givenDate(run.start), end = givenDate(run.end);
    if (start && end && start->value >= end->value) {
        std::fprintf(stderr, "korvane: --start %s is not before --end %s\n",
                     formatOleDate(*start, "%Y-%m-%d %H:%M").c_str(),
                     formatOleDate(*end, "%Y-%m-%d %H:%M").c_str());
        return false;
    }
    input.cut = keepPeriod(input.log.qsos, start, end);
    for (const std::string& line : periodCutLines(input.cut))
        std::fprintf(stderr, "korvane: %s\n", line.c_str());
    if (!input.log.qsos.empty())
        return true;
    std::fprintf(stderr, "korvane: none of the %zu QSOs lies between --start and --end\n",
                 input.qsosRead());
    return false;
}

} // namespace

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
    for (const std::string& warning : input.log.warnings)
        std::fprintf(stderr, "korvane: warning: %s: %s\n", name.c_str(), warning.c_str());
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
    if (!leaveOutOfPeriod(options.run, input))
        return kExitFailed;
    std::string error;
    if (!resolveRun(options.run, input.log, input.run, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

std::string readSummary(const LogCommandOptions& options, const LogInput& input)
{
    const ReadLog& log = input.log;
    std::string line = "Read " + std::to_string(input.qsosRead()) + " QSOs from " +
                       logName(options.logPath) + " (" + formatName(log.format) + "), " +
                       std::to_string(log.skippedRecords()) + " malformed record(s) skipped";
    if (const std::size_t out = input.cut.before + input.cut.after; out > 0)
        line += ", " + std::to_string(out) + " outside the period left out";
    return line + "\n";
}

JsonLogHead jsonLogHead(const LogCommandOptions& options, const LogInput& input)
{
    return {options.logPath,     formatName(input.log.format), input.run.ownCall,
            input.qsosRead(),    input.log.skippedRecords(),   input.cut.before,
            input.cut.after};
}

int openForReplay(const LogCommandOptions& options, PluginSession& plugin)
{
    std::string error;
    if (!openWithTourClock(plugin, options.plugin, options.workdir, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    if (!keepWindowClosed())
        std::fprintf(stderr, "korvane: warning: cannot write %s\n", settings::kFile);
    return kExitOk;
}

} // namespace korvane
