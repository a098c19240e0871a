#pragma once
// The committee's whole run: read every log, cross-check them, apply the plug-in's
// tour check and score, and rank the stations by category.

#include "tools/host/PluginSession.h"
#include "tools/judge/ContestDefinition.h"
#include "tools/judge/ContestLogs.h"
#include "tools/judge/CrossCheck.h"

#include <array>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvane::judge {

struct JudgeRules {
    Minute start = 0, end = 0; // the period: start <= time < end
    int tolerance = 3;         // minutes
    int penalty = 0;           // points taken off per NIL or busted QSO, beyond the QSO itself
    bool uniquesValid = true;
    ContestDefinition contest; // KORVANE unless --contest names another
};

// Whether a QSO with this finding counts for the station.
bool counts(Finding finding, const JudgeRules& rules);

struct StationResult {
    std::array<std::uint32_t, kFindingCount> byFinding{};
    std::uint32_t valid = 0;
    std::uint32_t nil = 0, busted = 0; // busted: calls and exchanges
    int pluginScore = 0;               // the plug-in's score of the valid QSOs
    long long penalty = 0;
    long long score = 0;               // pluginScore less the penalty
    std::uint32_t rank = 0;            // in its category, from 1; equal scores share one
    std::uint32_t overallRank = 0;     // among all ranked stations; 0 for a check log
};

struct Category {
    std::string name;
    std::vector<std::uint32_t> stations; // by rank, then call
};

struct Judgement {
    ContestLogs logs;
    CrossCheckResult check;
    std::vector<StationResult> results; // by station
    std::vector<Category> categories;   // by name; check logs in none
    Category overall;                   // every ranked station, by score
    std::vector<std::uint32_t> checkLogs; // stations that sent a check log, by call
    JudgeRules rules;
    std::string stopped; // why the run stopped before judging, when judgeContest says so
};

struct JudgeOptions {
    std::vector<std::string> files; // see listLogFiles
    std::map<std::string, std::string> chosen; // see LoadOptions
    std::set<std::string> checkLogCalls;       // see LoadOptions
    JudgeRules rules;
    bool lenient = false;
    unsigned workers = 2;
    // The plug-in's tour check on a thread of its own while the logs are cross-checked.
    // A caller that keeps the plug-in on one thread of its own (the robot) turns it off.
    bool tourCheckBeside = true;
    // Part of the stations scored by helper processes (workers - 1 of them), each with
    // its own copy of the plug-in. Forking is for a caller without threads of its own:
    // the robot turns it off. POSIX only.
    bool scoreHelpers = true;
    PluginChoice plugin;
    std::string workFolder; // where the plug-in keeps its settings
    // Progress for people: what is being done, how far (done of total).
    std::function<void(const char* stage, std::size_t done, std::size_t total)> progress;
};

// False with the message when the plug-in cannot be used, and with Judgement::stopped
// when most QSOs lie outside the period; a log that cannot be read is listed in
// logs.unreadable instead.
bool judgeContest(const JudgeOptions& options, Judgement& out, std::string* error);

// The counts, scores and ranks from the findings (the plug-in's scores already set).
void rankStations(Judgement& j);

} // namespace korvane::judge
