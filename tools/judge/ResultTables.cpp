// results.txt and results.csv: the standings, category by category.
#include "tools/judge/ResultFiles.h"

#include "tools/output/ControlText.h"
#include "tools/output/OutputFormat.h"

#include <cstdarg>
#include <cstdio>

namespace korvane::judge {
namespace {

std::string claimedText(const Station& s)
{
    return s.claimedScore ? std::to_string(*s.claimedScore) : "-";
}

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
            out += "  " + s.call + ": its partners logged " + s.callDoubt + "\n";
    return out.empty() ? out : "\nLogs whose CALLSIGN no partner logged (their partners' QSOs are not busted):\n" + out;
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
    std::string out = "KORVANE contest results\n";
    out += "Period " + periodText(j.rules) + "; " + std::to_string(j.logs.stations.size()) +
           " logs judged, " + std::to_string(j.logs.unreadable.size()) + " could not be read\n";
    out += "Times may differ by " + std::to_string(j.rules.tolerance) + " minutes; " +
           (j.rules.penalty ? std::to_string(j.rules.penalty) + " penalty points" : "no penalty") +
           " per NIL or busted QSO beyond the QSO itself; unique calls " +
           (j.rules.uniquesValid ? "count" : "do not count") + "\n";
    for (const Category& c : j.categories) {
        out += "\n" + controlsEscaped(c.name) + "\n";
        out += line("%4s  %-13s %8s %6s %6s %5s %7s %8s\n", "Rank", "Call", "Claimed", "QSOs",
                    "Valid", "NIL", "Busted", "Score");
        for (std::uint32_t s : c.stations) {
            const Station& st = j.logs.stations[s];
            const StationResult& r = j.results[s];
            out += line("%4u  %-13s %8s %6u %6u %5u %7u %8lld\n", r.rank, controlsEscaped(st.call).c_str(),
                        claimedText(st).c_str(), st.count, r.valid, r.nil, r.busted, r.score);
        }
    }
    out += doubtedCallsText(j.logs);
    if (!j.logs.unreadable.empty()) {
        out += "\nLogs that could not be read (their stations count as not submitted):\n";
        for (const UnreadableLog& u : j.logs.unreadable)
            out += "  " + controlsEscaped(u.file) + (u.line ? ":" + std::to_string(u.line) : std::string()) +
                   ": " + (u.call.empty() ? std::string() : controlsEscaped(u.call) + ": ") +
                   controlsEscaped(u.reason) + "\n";
    }
    return out;
}

std::string resultsCsv(const Judgement& j)
{
    std::string out = csvRow({"category", "rank", "call", "claimed_score", "qsos", "valid", "nil",
                             "busted", "score"});
    for (const Category& c : j.categories)
        for (std::uint32_t s : c.stations) {
            const Station& st = j.logs.stations[s];
            const StationResult& r = j.results[s];
            out += csvRow({c.name, std::to_string(r.rank), st.call,
                          st.claimedScore ? std::to_string(*st.claimedScore) : std::string(),
                          std::to_string(st.count), std::to_string(r.valid), std::to_string(r.nil),
                          std::to_string(r.busted), std::to_string(r.score)});
        }
    return out;
}

} // namespace korvane::judge
