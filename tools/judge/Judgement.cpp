#include "tools/judge/Judgement.h"

#include "tools/judge/Categories.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/OutsideContest.h"
#include "tools/judge/PluginJudge.h"
#include "tools/judge/ScoreHelpers.h"

#include <algorithm>
#include <map>

namespace korvane::judge {
namespace {

void report(const JudgeOptions& o, const char* stage, std::size_t done, std::size_t total)
{
    if (o.progress)
        o.progress(stage, done, total);
}

// Logs mostly outside the period are another contest's, or the period is wrong: judging
// them would publish nothing valid and look like success.
std::string periodProblem(const ContestLogs& logs, const JudgeRules& rules)
{
    const std::size_t outside = qsosOutsidePeriod(logs, rules.start, rules.end);
    if (logs.qsos.empty() || outside * 2 <= logs.qsos.size())
        return std::string();
    return std::to_string(outside) + " of the " + std::to_string(logs.qsos.size()) +
           " QSOs lie outside the period " + formatMinute(rules.start, "%Y-%m-%d %H:%M") + " to " +
           formatMinute(rules.end, "%Y-%m-%d %H:%M") + " UTC of " + rules.contest.name +
           ": name the contest (--contest) or its period (--start, --end)";
}

void countFindings(Judgement& j, std::uint32_t s)
{
    const Station& st = j.logs.stations[s];
    StationResult& r = j.results[s];
    r.byFinding.fill(0);
    r.valid = r.nil = r.busted = 0;
    for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
        const Finding f = j.logs.qsos[i].finding;
        ++r.byFinding[static_cast<int>(f)];
        r.valid += counts(f, j.rules) ? 1 : 0;
        const ResultColumn column = findingKind(f).column;
        r.nil += column == ResultColumn::Nil ? 1 : 0;
        r.busted += column == ResultColumn::Busted ? 1 : 0;
    }
    r.penalty = static_cast<long long>(j.rules.penalty) * (r.nil + r.busted);
    r.score = r.pluginScore - r.penalty;
}

// Sorts the stations by score, then call, and numbers them; equal scores share a rank.
void rankByScore(Judgement& j, std::vector<std::uint32_t>& members, std::uint32_t StationResult::*rank)
{
    std::sort(members.begin(), members.end(), [&](std::uint32_t a, std::uint32_t b) {
        const long long sa = j.results[a].score, sb = j.results[b].score;
        return sa != sb ? sa > sb : j.logs.stations[a].call < j.logs.stations[b].call;
    });
    for (std::size_t k = 0; k < members.size(); ++k) {
        const bool tie = k > 0 && j.results[members[k]].score == j.results[members[k - 1]].score;
        j.results[members[k]].*rank = tie ? j.results[members[k - 1]].*rank : static_cast<std::uint32_t>(k + 1);
    }
}

} // namespace

bool counts(Finding finding, const JudgeRules& rules)
{
    switch (findingKind(finding).counting) {
    case Counting::Always:
        return true;
    case Counting::UnlessUniquesRuledOut:
        return rules.uniquesValid;
    case Counting::Never:
        break;
    }
    return false;
}

bool judgeContest(const JudgeOptions& options, Judgement& out, std::string* error)
{
    out.rules = options.rules;
    LoadOptions load;
    load.workers = options.workers;
    load.lenient = options.lenient;
    load.progress = [&](std::size_t done, std::size_t total) { report(options, "reading", done, total); };
    load.chosen = options.chosen;
    load.checkLogCalls = options.checkLogCalls;
    out.logs = loadContestLogs(options.files, load);
    placeInContestCategories(out.logs, options.rules.contest);
    if (std::string why = periodProblem(out.logs, options.rules); !why.empty()) {
        out.stopped = why;
        return false;
    }

    PluginJudge plugin;
    if (!plugin.open(options.plugin, options.workFolder, error))
        return false;
    report(options, "matching and tour check", 0, 1);
    std::vector<std::uint32_t> refused;
    // The tour check needs no verdict of the cross-check: it runs beside the steps of the
    // cross-check that take one thread, the plug-in on that thread alone, and its repeats
    // are marked once both are done. Without a second thread it comes first.
    const std::function<void()> tourCheck = [&] {
        for (std::uint32_t s = 0; s < out.logs.stations.size(); ++s)
            plugin.checkTour(out.logs, s, options.rules.start, options.rules.end, refused);
    };
    if (!options.tourCheckBeside)
        tourCheck();
    CheckOptions check;
    check.start = options.rules.start;
    check.end = options.rules.end;
    check.tolerance = options.rules.tolerance;
    check.suffixes = options.rules.contest.suffixes;
    check.uniqueBustLogs = options.rules.contest.uniqueBustLogs;
    check.exchange = exchangeRules(options.rules.contest);
    check.twoThreads = options.workers > 1;
    out.check = crossCheck(out.logs, check, options.tourCheckBeside ? tourCheck : std::function<void()>());
    markNotInContest(out.logs, options.rules.contest);
    markTourRepeats(out.logs, refused);
    report(options, "matching and tour check", 1, 1);

    ScoreRun scoring;
    const PluginJudge::Counts counting = [&](const CompactQso& q) { return counts(q.finding, options.rules); };
    scoring.score = [&](std::uint32_t s) {
        return plugin.score(out.logs, s, options.rules.start, options.rules.end, counting);
    };
    // No thread of this process runs now: the readers and the tour check are done.
    scoring.helpers = options.scoreHelpers && options.workers > 1 ? options.workers - 1 : 0;
    scoring.progress = [&](std::size_t done, std::size_t total) { report(options, "score", done, total); };
    const std::vector<int> scores = scoreStations(out.logs, scoring);
    out.results.assign(scores.size(), StationResult{});
    for (std::size_t s = 0; s < scores.size(); ++s)
        out.results[s].pluginScore = scores[s];
    rankStations(out);
    return true;
}

void rankStations(Judgement& j)
{
    std::map<std::string, std::vector<std::uint32_t>> byCategory;
    std::vector<std::uint32_t> ranked;
    j.checkLogs.clear();
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        countFindings(j, s);
        const Station& st = j.logs.stations[s];
        if (st.checkLog) {
            j.checkLogs.push_back(s);
            j.results[s].rank = j.results[s].overallRank = 0;
            continue;
        }
        byCategory[st.category].push_back(s);
        ranked.push_back(s);
    }
    std::sort(j.checkLogs.begin(), j.checkLogs.end(), [&](std::uint32_t a, std::uint32_t b) {
        return j.logs.stations[a].call < j.logs.stations[b].call;
    });
    j.categories.clear();
    for (auto& [name, members] : byCategory) {
        rankByScore(j, members, &StationResult::rank);
        j.categories.push_back({name, std::move(members)});
    }
    rankByScore(j, ranked, &StationResult::overallRank);
    j.overall = {"OVERALL", std::move(ranked)};
}

} // namespace korvane::judge
