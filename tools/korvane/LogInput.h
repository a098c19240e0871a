#pragma once
// The steps every log command takes before the plug-in is loaded: read the log, name
// each skipped record on stderr, decide whether to go on, settle the reset's values.

#include "tools/korvane/Commands.h"
#include "tools/korvane/logs/LogFile.h"
#include "tools/korvane/PluginSession.h"

namespace korvane {

struct LogInput {
    ReadLog log;
    ContestRun run;
};

// kExitOk with input filled, or the status to exit with after the message printed.
// When more QSO records were skipped than options allow (and not --lenient), only the
// count and the first of them are named; a command that writesReport then stops, the
// others go on with a warning.
int prepareLog(const LogCommandOptions& options, LogInput& input, bool writesReport = false);

// The log as messages name it: its path, or "(standard input)" for -.
std::string logName(const std::string& logPath);

// One line for the output: how many QSOs were read and how many records skipped.
std::string readSummary(const LogCommandOptions& options, const ReadLog& log);

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
