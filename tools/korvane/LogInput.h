#pragma once
// The steps every log command takes before the plug-in is loaded: read the log, name
// each skipped record on stderr, decide whether to go on, settle the reset's values.

#include "tools/korvane/Commands.h"
#include "tools/logs/ContestPeriod.h"
#include "tools/logs/LogFile.h"
#include "tools/host/PluginSession.h"

namespace korvane {

struct LogInput {
    ReadLog log; // only the QSOs within --start and --end
    PeriodCut cut;
    ContestRun run;

    std::size_t qsosRead() const { return log.qsos.size() + cut.before + cut.after; }
};

// kExitOk with input filled, or the status to exit with after the message printed.
// When more QSO records were skipped than options allow (and not --lenient), only the
// count and the first of them are named; a command that writesReport then stops, the
// others go on with a warning. QSOs outside --start and --end are left out, each side
// counted on stderr.
int prepareLog(const LogCommandOptions& options, LogInput& input, bool writesReport = false);

// One line for the output: how many QSOs were read, how many records skipped and how
// many QSOs lay outside the period.
std::string readSummary(const LogCommandOptions& options, const LogInput& input);

// The log as the JSON outputs name it.
JsonLogHead jsonLogHead(const LogCommandOptions& options, const LogInput& input);

// The log as messages name it: its path, or "(standard input)" for -.
std::string logName(const std::string& logPath);

// Loads the plug-in, enters the work folder and keeps the multiplier window closed, for
// a command that needs the clock override: kExitOk, or kExitFailed with the message printed.
int openForReplay(const LogCommandOptions& options, PluginSession& plugin);

} // namespace korvane
