#pragma once
// The steps every log command takes before the plug-in is loaded: read the log, name
// each skipped record on stderr, decide whether to go on, settle the reset's values.

#include "tools/korvane/Commands.h"
#include "tools/korvane/ContestPeriod.h"
#include "tools/korvane/logs/LogFile.h"
#include "tools/korvane/PluginSession.h"

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

// Makes the work folder (and its Plugins folder) the current directory, as the host's
// current directory is for the plug-in; a work folder that had to be made is named on
// stderr.
bool enterWorkFolder(const std::string& workdir, std::string* error);

// Loads the plug-in and enters the work folder for a replay at the QSOs' own times,
// which needs the plug-in's clock override: false, with the message printed, when the
// plug-in cannot be loaded, the folder cannot be entered or the override is missing.
bool openWithTourClock(PluginSession& plugin, const PluginChoice& choice,
                       const std::string& workdir);

} // namespace korvane
