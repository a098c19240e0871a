#include "tools/judge/Accuracy.h"

#include <cstdio>

namespace korvane::judge {

Accuracy measureAccuracy(const Judgement& j, const Truth& truth, std::size_t keepMistakes)
{
    Accuracy a;
    auto mistake = [&](std::string text) {
        if (a.mistakes.size() < keepMistakes)
            a.mistakes.push_back(std::move(text));
        ++a.mistakeCount;
    };
    for (const auto& [where, finding] : truth.lines)
        ++a.byFinding[static_cast<int>(finding)].truth;
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        const Station& st = j.logs.stations[s];
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
            const CompactQso& q = j.logs.qsos[i];
            const auto it = truth.lines.find({st.call, q.line});
            const Finding expected = it == truth.lines.end() ? Finding::Confirmed : it->second;
            const bool flagged = findingKind(q.finding).heldAgainst;
            if (flagged)
                ++a.byFinding[static_cast<int>(q.finding)].found;
            if (flagged && q.finding == expected)
                ++a.byFinding[static_cast<int>(q.finding)].correct;
            else if (flagged || expected != Finding::Confirmed)
                mistake(st.call + " line " + std::to_string(q.line) + ": found " + findingKey(q.finding) +
                        ", put in " + findingKey(expected));
        }
    }
    a.clocks.truth = truth.clockOffsets.size();
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        const Station& st = j.logs.stations[s];
        const int found = j.check.offsets[s].minutes;
        const auto it = truth.clockOffsets.find(st.call);
        const int expected = it == truth.clockOffsets.end() ? 0 : it->second;
        a.clocks.found += found != 0;
        a.clocks.correct += found != 0 && found == expected;
        if (found != expected)
            mistake(st.call + ": clock found " + std::to_string(found) + ", put in " + std::to_string(expected));
    }
    return a;
}

std::string accuracyTable(const Accuracy& a)
{
    std::string out;
    char row[160];
    std::snprintf(row, sizeof row, "%-16s %7s %7s %7s %10s %8s\n", "finding", "put in", "found",
                  "right", "precision", "recall");
    out += row;
    auto add = [&](const char* name, const ClassScore& c) {
        std::snprintf(row, sizeof row, "%-16s %7zu %7zu %7zu %9.2f%% %7.2f%%\n", name, c.truth, c.found,
                      c.correct, 100 * c.precision(), 100 * c.recall());
        out += row;
    };
    for (const FindingKind& kind : kFindingKinds)
        if (kind.heldAgainst)
            add(kind.key, a.byFinding[static_cast<int>(kind.finding)]);
    add("clock-offset", a.clocks);
    return out;
}

} // namespace korvane::judge
