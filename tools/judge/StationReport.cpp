// reports/CALL.txt: the log check report a station receives.
#include "tools/judge/FindingDetail.h"
#include "tools/judge/LogQuotes.h"
#include "tools/judge/ResultFiles.h"
#include "tools/output/ControlText.h"
#include "tools/judge/Standings.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace korvane::judge {
namespace {

std::string row(const char* label, std::uint32_t n)
{
    char text[96];
    std::snprintf(text, sizeof text, "  %-26s %6u\n", label, n);
    return text;
}

std::string countOf(int n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// "5 minutes", "1 hour", "2 hours 5 minutes": a log kept in local time is whole hours off.
std::string offsetText(int minutes)
{
    const int m = std::abs(minutes);
    if (m < 60)
        return countOf(m, "minute", "minutes");
    return countOf(m / 60, "hour", "hours") + (m % 60 ? " " + countOf(m % 60, "minute", "minutes") : "");
}

std::string clockText(const ClockOffset& o)
{
    return "Your clock was " + offsetText(o.minutes) + " " + (o.minutes > 0 ? "fast" : "slow") + " (from " +
           std::to_string(o.samples) + " QSOs matched with other logs); your times were corrected by it before " +
           "checking.\n";
}

std::string callDoubtText(const Station& s)
{
    return "Your partners logged you as " + s.callDoubt + ", not " + s.call +
           " as your log's CALLSIGN says; their QSOs with you were not counted as busted.\n";
}

// How the partners copied the station's exchange beside its own log, so that a log
// at fault on its own side shows at once.
std::string senderText(const SenderView& v)
{
    return "Your exchange: " + std::to_string(v.agreeing) + " of " + std::to_string(v.partners) +
           (v.partners == 1 ? " partner" : " partners") + " copied " +
           (v.copied.empty() ? std::string("it otherwise") : v.copied) + "; your log says " +
           (v.ownLog.empty() ? std::string("nothing") : v.ownLog) + "\n";
}

std::vector<const FindingKind*> inSummaryOrder()
{
    std::vector<const FindingKind*> kinds;
    kinds.reserve(kFindingKinds.size());
    for (const FindingKind& kind : kFindingKinds)
        kinds.push_back(&kind);
    std::sort(kinds.begin(), kinds.end(),
              [](const FindingKind* a, const FindingKind* b) { return a->summaryRow < b->summaryRow; });
    return kinds;
}

// A kind whose counting the committee decides says which way it went.
std::string summaryLabel(const FindingKind& kind, const JudgeRules& rules)
{
    std::string label = kind.label;
    if (kind.counting == Counting::UnlessUniquesRuledOut)
        label += rules.uniquesValid ? " (counted)" : " (not counted)";
    return label;
}

std::string summaryText(const Judgement& j, std::uint32_t station)
{
    const Station& s = j.logs.stations[station];
    const StationResult& r = j.results[station];
    std::string out = row("QSOs in the log", s.count);
    for (const FindingKind* kind : inSummaryOrder())
        out += row(summaryLabel(*kind, j.rules).c_str(), r.byFinding[static_cast<int>(kind->finding)]);
    out += row("Valid QSOs", r.valid);
    if (s.skippedLines)
        out += row("Unreadable QSO lines", static_cast<std::uint32_t>(s.skippedLines));
    out += "  Unique share                 " + std::to_string(uniquePercent(j, station)) + "%" +
           (mostlyUniques(j, station) ? ": most of your QSOs are with calls in no other log" : "") + "\n";
    return out;
}

std::string scoreText(const Judgement& j, std::uint32_t station)
{
    const Station& s = j.logs.stations[station];
    const StationResult& r = j.results[station];
    std::string out = "\nScore: claimed " + (s.claimedScore ? std::to_string(*s.claimedScore) : std::string("-")) +
                      ", checked " + std::to_string(r.pluginScore);
    if (r.penalty)
        out += ", less " + std::to_string(r.penalty) + " penalty points";
    out += " = " + std::to_string(r.score);
    if (s.checkLog)
        return out + " (a check log: not ranked)\n";
    return out + " (rank " + std::to_string(r.rank) + " in " + controlsEscaped(s.category) + ", " +
           std::to_string(r.overallRank) + " overall)\n";
}

// The other side's QSOs with a time far from this station's, which name this station.
std::string partnersNearMisses(const Judgement& j, std::uint32_t station, LogQuotes& quotes)
{
    const Station& s = j.logs.stations[station];
    std::string out;
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const std::uint32_t other = i < j.check.partner.size() ? j.check.partner[i] : kNoIndex;
        if (other == kNoIndex || j.logs.qsos[other].finding != Finding::WrongTime)
            continue;
        const std::uint32_t o = j.logs.stationOf(other);
        out += "Line " + std::to_string(j.logs.qsos[i].line) + ": " + controlsEscaped(j.logs.stations[o].call) +
               " logged this QSO at a time far from yours, and its clock is the one off: " +
               controlsEscaped(explainFinding(j, o, other).why) + "\n    " + quotes.quote(o, other) + "\n";
    }
    return out;
}

// What the committee and the station should know besides the findings: how the log was
// read, its clock, and the near misses on either side.
std::string notesText(const Judgement& j, std::uint32_t station, LogQuotes& quotes)
{
    const Station& s = j.logs.stations[station];
    std::string out;
    for (const std::string& note : s.notes)
        out += controlsEscaped(note) + "\n";
    const ClockOffset& clock = j.check.offsets[station];
    if (clock.minutes != 0)
        out += clockText(clock);
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
        if (j.logs.qsos[i].finding == Finding::WrongTime)
            out += "Line " + std::to_string(j.logs.qsos[i].line) + ": near miss: " +
                   controlsEscaped(explainFinding(j, station, i).why) + "\n";
    out += partnersNearMisses(j, station, quotes);
    return out.empty() ? out : "\nNotes:\n" + out;
}

std::string findingEntry(const Judgement& j, std::uint32_t station, std::uint32_t i, LogQuotes& quotes)
{
    const CompactQso& q = j.logs.qsos[i];
    const FindingDetail d = explainFinding(j, station, i);
    std::string entry = "Line " + std::to_string(q.line) + ": " + findingWords(q.finding) + ": " +
                        controlsEscaped(d.why) + "\n    " + quotes.quote(station, i) + "\n";
    if (d.otherIndex != kNoIndex) {
        const Station& o = j.logs.stations[d.otherStation];
        const CompactQso& oq = j.logs.qsos[d.otherIndex];
        entry += "    " + controlsEscaped(o.call) + ", line " + std::to_string(oq.line) + ":\n    " +
                 quotes.quote(d.otherStation, d.otherIndex) + "\n";
    }
    return entry;
}

// Every confirmed QSO beside the partner's line for it, as log checkers list them.
std::string confirmedText(const Judgement& j, std::uint32_t station, LogQuotes& quotes)
{
    const Station& s = j.logs.stations[station];
    std::string out;
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const CompactQso& q = j.logs.qsos[i];
        const std::uint32_t other = i < j.check.partner.size() ? j.check.partner[i] : kNoIndex;
        if (q.finding != Finding::Confirmed || other == kNoIndex)
            continue;
        const std::uint32_t o = j.logs.stationOf(other);
        out += "Line " + std::to_string(q.line) + ", " + controlsEscaped(j.logs.stations[o].call) + " line " +
               std::to_string(j.logs.qsos[other].line) + ":\n    " + quotes.quote(station, i) + "\n    " +
               quotes.quote(o, other) + "\n";
    }
    return out.empty() ? out : "\nConfirmed QSOs, each with your partner's line:\n" + out;
}

} // namespace

std::string stationReport(const Judgement& j, std::uint32_t station)
{
    LogQuotes quotes(j.logs);
    return stationReport(j, station, quotes);
}

std::string stationReport(const Judgement& j, std::uint32_t station, LogQuotes& quotes)
{
    const Station& s = j.logs.stations[station];
    // The call, file name and category come from outside; none may act on a terminal or
    // start a line of its own.
    std::string out = j.rules.contest.name + " log check report: " + controlsEscaped(s.call) + "\n";
    out += "Log file: " + controlsEscaped(s.file) + "\nCategory: " + controlsEscaped(s.category) + "\n";
    out += "Contest period: " + periodText(j.rules) + "; times may differ by " +
           std::to_string(j.rules.tolerance) + " minutes\n\n";
    out += summaryText(j, station) + scoreText(j, station) + notesText(j, station, quotes);
    if (!s.callDoubt.empty())
        out += "\n" + callDoubtText(s);
    if (station < j.check.senders.size() && j.check.senders[station].partners > 0)
        out += "\n" + senderText(j.check.senders[station]);

    std::string lost, kept;
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const CompactQso& q = j.logs.qsos[i];
        if (worthReporting(q))
            (counts(q.finding, j.rules) ? kept : lost) += findingEntry(j, station, i, quotes);
    }
    out += "\nQSOs that lost points:\n" + (lost.empty() ? std::string("  none\n") : lost);
    if (!kept.empty())
        out += "\nQSOs that count, for your information:\n" + kept;
    return out + confirmedText(j, station, quotes);
}

} // namespace korvane::judge
