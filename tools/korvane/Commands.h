#pragma once
// The three commands. Each returns the exit status: 0 done, 1 the input or the
// plug-in could not be used (nothing written), 2 is left to the command line parser.

#include "tools/korvane/RunOptions.h"
#include "tools/korvane/HeaderSettings.h"
#include "tools/output/OutputFormat.h"
#include "tools/host/PluginSession.h"

#include <cstddef>
#include <string>

namespace CLI {
class App;
}

namespace korvane {

enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

struct LogCommandOptions {
    std::string logPath;
    PluginChoice plugin;
    RunOptions run;
    std::string workdir; // empty: the current directory
    bool strict = false;
    double maxSkippedPercent = 5.0; // more QSO records skipped: no report, a warning otherwise
    bool lenient = false;           // write the report however many were skipped
    std::string exchangeField; // ADIF fields of the received exchange; empty: automatic
};

struct ScoreOptions : LogCommandOptions {
    bool report = false;
    bool interactive = false;
    HeaderOptions header;
    std::string sentExchange; // see SentExchange.h; empty: as the log has it
    OutputFormat format = OutputFormat::Text;
};

int runScore(const ScoreOptions& options);
int runCheck(const LogCommandOptions& options);
int runExports(const PluginChoice& plugin);

// korvane robot: the contest's log-submission service (serve, init, backup). Not built
// for Windows, where the command says so.
struct RobotOptions {
    std::string dataDir;
    std::string contest; // a contest definition file; empty: KORVANE
    std::string listen = "127.0.0.1:8080";
    PluginChoice plugin;
    std::size_t uploadsPerMinute = 30;
    bool behindProxy = false;
    std::size_t threads = 8;
    std::string backupTo;
    CLI::App* command = nullptr;
    CLI::App* init = nullptr;
    CLI::App* backup = nullptr;
};

void addRobotCommand(CLI::App& app, RobotOptions& options);
int runRobot(const RobotOptions& options);

} // namespace korvane
