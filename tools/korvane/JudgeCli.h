#pragma once
// The committee's two subcommands of korvane: judge (cross-check every submitted log
// and publish the results) and simulate (a made-up contest with a known truth).

#include "tools/host/PluginSession.h"
#include "tools/judge/Simulation.h"

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace korvane::judge {

// The KORVANE contest of 2026, the one the bundled sample log is from.
inline constexpr const char* kDefaultStart = "2026-11-21 15:00";
inline constexpr const char* kDefaultEnd = "2026-11-21 18:00";

struct JudgeCommandOptions {
    std::vector<std::string> inputs; // folders of logs, or log files
    std::string out;
    std::string start, end; // empty: the contest definition's period
    std::string contest;    // a contest definition file; empty: KORVANE
    std::vector<std::string> choose; // CALL=FILE, the committee's choice among logs of one call
    int tolerance = 3;
    int penalty = 0;
    std::string uniques = "valid";
    int uniqueBustLogs = -1; // -1: the contest definition's
    bool lenient = false;
    unsigned workers = 2;
    PluginChoice plugin;
    std::string workdir; // empty: a new temporary folder, removed afterwards
    bool quiet = false;
    std::string truth; // a simulation's truth.txt: print how the judgement compares
};

struct SimulateCommandOptions {
    SimulationOptions contest; // the period aside: it is given as text, below
    bool withoutHardCases = false;
    std::string out;
    std::string start = kDefaultStart, end = kDefaultEnd;
};

int runJudge(const JudgeCommandOptions& options);
int runSimulate(const SimulateCommandOptions& options);

// Adds both subcommands to korvane's command line.
class JudgeCommands {
public:
    explicit JudgeCommands(CLI::App& app);
    JudgeCommands(const JudgeCommands&) = delete; // the parser holds pointers into it
    JudgeCommands& operator=(const JudgeCommands&) = delete;

    // Whether the parsed command line chose one of them.
    bool chosen() const;
    int run() const;

private:
    JudgeCommandOptions judge_;
    SimulateCommandOptions simulate_;
    CLI::App* judgeCommand_ = nullptr;
    CLI::App* simulateCommand_ = nullptr;
};

} // namespace korvane::judge
