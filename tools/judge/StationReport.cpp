// reports/CALL.txt: the log check report a station receives.
#include "tools/judge/FindingDetail.h"
#include "tools/judge/ResultFiles.h"
#include "tools/output/ControlText.h"

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

} // namespace

std::string stationReport(const Judgement& j, std::uint32_t station)
{
    const Station& s = j.logs.stations[station];
    const StationResult& r = j.results[station];
    // The call, file name and category come from outside; none may act on a terminal
    // or start a line of its own.
    const std::string category = controlsEscaped(s.category);
    std::string out = "KORVANE log check report: " + controlsEscaped(s.call) + "\n";
    out += "Log file: " + controlsEscaped(s.file) + "\nCategory: " + category + "\n";
    out += "Contest period: " + periodText(j.rules) + "; times may differ by " +
           std::to_string(j.rules.tolerance) + " minutes\n\n";
    out += row("QSOs in the log", s.count);
    for (const FindingKind* kind : inSummaryOrder())
        out += row(summaryLabel(*kind, j.rules).c_str(), r.byFinding[static_cast<int>(kind->finding)]);
    out += row("Valid QSOs", r.valid);
    if (s.skippedLines)
        out += row("Unreadable QSO lines", static_cast<std::uint32_t>(s.skippedLines));
    out += "\nScore: claimed " + (s.claimedScore ? std::to_string(*s.claimedScore) : std::string("-")) +
           ", checked " + std::to_string(r.pluginScore);
    if (r.penalty)
        out += ", less " + std::to_string(r.penalty) + " penalty points";
    out += " = " + std::to_string(r.score) + " (rank " + std::to_string(r.rank) + " in " +
           category + ")\n";
    const ClockOffset& clock = j.check.offsets[station];
    if (clock.minutes != 0)
        out += "\n" + clockText(clock);
    if (!s.callDoubt.empty())
        out += "\n" + callDoubtText(s);
    if (station < j.check.senders.size() && j.check.senders[station].partners > 0)
        out += "\n" + senderText(j.check.senders[station]);

    std::string lost, kept;
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i) {
        const CompactQso& q = j.logs.qsos[i];
        if (!worthReporting(q))
            continue;
        const FindingDetail d = explainFinding(j, station, i);
        std::string entry = "Line " + std::to_string(q.line) + ": " + findingWords(q.finding) + ": " +
                            controlsEscaped(d.why) + "\n    " + controlsEscaped(cabrilloLine(j.logs, s, q)) + "\n";
        if (d.otherIndex != kNoIndex) {
            const Station& o = j.logs.stations[d.otherStation];
            const CompactQso& oq = j.logs.qsos[d.otherIndex];
            entry += "    " + controlsEscaped(o.call) + ", line " + std::to_string(oq.line) + ":\n    " +
                     controlsEscaped(cabrilloLine(j.logs, o, oq)) + "\n";
        }
        (counts(q.finding, j.rules) ? kept : lost) += entry;
    }
    out += "\nQSOs that lost points:\n" + (lost.empty() ? std::string("  none\n") : lost);
    if (!kept.empty())
        out += "\nQSOs that count, for your information:\n" + kept;
    return out;
}

} // namespace korvane::judge
