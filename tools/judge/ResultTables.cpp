// results.txt and results.csv: the standings, overall and category by category, the
// check logs apart, and the findings of the whole contest.
#include "tools/judge/ResultFiles.h"

#include "tools/output/ControlText.h"
#include "tools/judge/Standings.h"
#include "tools/output/OutputFormat.h"

#include <cstdarg>
#include <cstdio>

namespace korvane::judge {
namespace {

std::string line(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string line(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    // The analyser loses va_start through the format attribute above.
    std::vsnprintf(text, sizeof text, format, args); // NOLINT(clang-analyzer-valist.Uninitialized)
    va_end(args);
    return text;
}

// Logs whose header call no partner logged: the committee should look at them first.
std::string doubtedCallsText(const ContestLogs& logs)
{
    std::string out;
    for (const Station& s : logs.stations)
        if (!s.callDoubt.empty())
            out += "  " + controlsEscaped(s.call) + ": its partners logged " + controlsEscaped(s.callDoubt) + "\n";
    return out.empty() ? out : "\nLogs whose CALLSIGN no partner logged (their partners' QSOs are not busted):\n" + out;
}

std::string standingsText(const Judgement& j, const Category& c)
{
    std::string out = "\n" + controlsEscaped(c.name) + "\n" + line("%4s  %-13s", "Rank", "Call");
    for (const StandingsColumn& column : kStandingsColumns)
        out += line(" %*s", column.width, column.heading);
    out += "\n";
    const bool overall = &c == &j.overall;
    for (std::uint32_t s : c.stations) {
        const StationResult& r = j.results[s];
        out += line("%4u  %-13s", overall ? r.overallRank : r.rank, controlsEscaped(j.logs.stations[s].call).c_str());
        for (const StandingsColumn& column : kStandingsColumns) {
            const std::string value = column.value(j, s);
            out += line(" %*s", column.width, value.empty() ? "-" : value.c_str());
        }
        out += "\n";
    }
    return out;
}

std::string checkLogsText(const Judgement& j)
{
    if (j.checkLogs.empty())
        return std::string();
    std::string out = "\nCheck logs (they help the checking and are not ranked):\n ";
    for (std::uint32_t s : j.checkLogs)
        out += " " + controlsEscaped(j.logs.stations[s].call);
    return out + "\n";
}

std::string mostlyUniquesText(const Judgement& j)
{
    std::string out;
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s)
        if (mostlyUniques(j, s))
            out += "  " + controlsEscaped(j.logs.stations[s].call) + ": " + std::to_string(uniquePercent(j, s)) + "% of " +
                   std::to_string(j.logs.stations[s].count) + " QSOs\n";
    return out.empty() ? out : "\nLogs whose QSOs are mostly with calls in no other log (look at them):\n" + out;
}

std::string findingTotalsText(const Judgement& j)
{
    const auto counts = contestCounts(j);
    std::string out = "\nQSOs in all logs, by finding:\n";
    for (const FindingKind& kind : kFindingKinds)
        out += line("  %-28s %8llu\n", kind.label,
                    static_cast<unsigned long long>(counts[static_cast<int>(kind.finding)]));
    return out;
}

} // namespace

std::string periodText(const JudgeRules& rules)
{
    const bool sameDay = rules.start / 1440 == (rules.end - 1) / 1440;
    return formatMinute(rules.start, "%Y-%m-%d %H:%M") + " to " +
           formatMinute(rules.end, sameDay ? "%H:%M" : "%Y-%m-%d %H:%M") + " UTC";
}

std::string resultsText(const Judgement& j)
{
    std::string out = j.rules.contest.name + " results\n";
    out += "Period " + periodText(j.rules) + "; " + std::to_string(j.logs.stations.size()) +
           " logs judged, " + std::to_string(j.logs.unreadable.size()) + " could not be read\n";
    out += "Times may differ by " + std::to_string(j.rules.tolerance) + " minutes; " +
           (j.rules.penalty ? std::to_string(j.rules.penalty) + " penalty points" : "no penalty") +
           " per NIL or busted QSO beyond the QSO itself; unique calls " +
           (j.rules.uniquesValid ? "count" : "do not count") + "\n";
    if (j.rules.contest.deadline)
        out += "Logs were due by " + formatMinute(*j.rules.contest.deadline, "%Y-%m-%d %H:%M") + " UTC\n";
    out += standingsText(j, j.overall);
    for (const Category& c : j.categories)
        out += standingsText(j, c);
    out += checkLogsText(j) + doubtedCallsText(j.logs) + mostlyUniquesText(j) + findingTotalsText(j);
    if (!j.logs.unreadable.empty()) {
        out += "\nLogs that could not be read or were set aside (their stations count as not submitted):\n";
        for (const UnreadableLog& u : j.logs.unreadable)
            out += "  " + controlsEscaped(u.file) + (u.line ? ":" + std::to_string(u.line) : std::string()) +
                   ": " + (u.call.empty() ? std::string() : controlsEscaped(u.call) + ": ") +
                   controlsEscaped(u.reason) + "\n";
    }
    return out;
}

std::string resultsCsv(const Judgement& j)
{
    std::vector<std::string> heading = {"category", "rank", "overall_rank", "call"};
    for (const StandingsColumn& column : kStandingsColumns)
        heading.push_back(column.csvName);
    std::string out = csvRow(heading);
    auto add = [&](const std::string& category, std::uint32_t s) {
        const StationResult& r = j.results[s];
        std::vector<std::string> row = {category, r.rank ? std::to_string(r.rank) : std::string(),
                                        r.overallRank ? std::to_string(r.overallRank) : std::string(),
                                        j.logs.stations[s].call};
        for (const StandingsColumn& column : kStandingsColumns)
            row.push_back(column.value(j, s));
        out += csvRow(row);
    };
    for (const Category& c : j.categories)
        for (std::uint32_t s : c.stations)
            add(c.name, s);
    for (std::uint32_t s : j.checkLogs)
        add("CHECKLOG", s);
    return out;
}

} // namespace korvane::judge
