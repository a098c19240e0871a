#include "tools/judge/Accuracy.h"

#include <cstdio>
#include <cstdlib>

namespace korvane::judge {
namespace {

using Verdicts = std::map<Truth::LineRef, Finding>; // what the judge found, by line

class Count {
public:
    Count(const Truth& truth, std::size_t keepMistakes) : truth_(truth), keep_(keepMistakes) {}

    Accuracy run(const Judgement& j)
    {
        for (const auto& [where, finding] : truth_.lines)
            ++a_.byFinding[static_cast<int>(finding)].truth;
        countLines(j);
        countClocks(j);
        countBothSides();
        return std::move(a_);
    }

private:
    void mistake(std::string text)
    {
        if (a_.mistakes.size() < keep_)
            a_.mistakes.push_back(std::move(text));
        ++a_.mistakeCount;
    }

    Finding expected(const Truth::LineRef& where) const
    {
        const auto it = truth_.lines.find(where);
        return it == truth_.lines.end() ? Finding::Confirmed : it->second;
    }

    // A finding not held against the QSO (confirmed, not checked) counts as confirmed.
    static Finding asJudged(Finding f) { return findingKind(f).heldAgainst ? f : Finding::Confirmed; }

    // Whether the call as logged is a suffixed call of the truth without its suffix.
    bool suffixDropped(const std::string& logged) const
    {
        const auto next = truth_.suffixed.lower_bound(logged + "/");
        return next != truth_.suffixed.end() && next->compare(0, logged.size() + 1, logged + "/") == 0;
    }

    void countLines(const Judgement& j)
    {
        for (const Station& st : j.logs.stations) {
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const CompactQso& q = j.logs.qsos[i];
                const Truth::LineRef where{st.call, q.line};
                const Finding put = expected(where), found = asJudged(q.finding);
                verdicts_[where] = found;
                if (suffixDropped(j.logs.calls.text(q.call))) {
                    ++a_.suffixDropped.truth;
                    a_.suffixDropped.correct += found == put;
                }
                if (found != Finding::Confirmed)
                    ++a_.byFinding[static_cast<int>(found)].found;
                if (found == put) {
                    a_.byFinding[static_cast<int>(found)].correct += found != Finding::Confirmed;
                    continue;
                }
                ++a_.confusions[{put, found}];
                mistake(st.call + " line " + std::to_string(q.line) + ": found " + findingKey(found) +
                        ", put in " + findingKey(put));
            }
        }
    }

    void countClocks(const Judgement& j)
    {
        a_.clocks.truth = truth_.clockOffsets.size();
        for (const auto& [call, minutes] : truth_.clockOffsets)
            a_.localTime.truth += std::abs(minutes) >= 60;
        for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
            const Station& st = j.logs.stations[s];
            const int found = j.check.offsets[s].minutes;
            const auto it = truth_.clockOffsets.find(st.call);
            const int put = it == truth_.clockOffsets.end() ? 0 : it->second;
            a_.clocks.found += found != 0;
            a_.clocks.correct += found != 0 && found == put;
            a_.localTime.correct += std::abs(put) >= 60 && found == put;
            if (found != put)
                mistake(st.call + ": clock found " + std::to_string(found) + ", put in " + std::to_string(put));
        }
    }

    void countBothSides()
    {
        a_.bothSides.truth = truth_.bothSides.size();
        auto right = [&](const Truth::LineRef& where) {
            const auto it = verdicts_.find(where);
            return it != verdicts_.end() && it->second == expected(where);
        };
        for (const auto& [a, b] : truth_.bothSides)
            a_.bothSides.correct += right(a) && right(b);
    }

    const Truth& truth_;
    std::size_t keep_;
    Verdicts verdicts_;
    Accuracy a_;
};

std::string percent(double share)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.2f%%", 100 * share);
    return text;
}

std::string classRows(const Accuracy& a)
{
    std::string out;
    char row[160];
    std::snprintf(row, sizeof row, "%-16s %7s %7s %7s %10s %8s\n", "finding", "put in", "found", "right",
                  "precision", "recall");
    out += row;
    auto add = [&](const char* name, const ClassScore& c) {
        std::snprintf(row, sizeof row, "%-16s %7zu %7zu %7zu %10s %8s\n", name, c.truth, c.found, c.correct,
                      percent(c.precision()).c_str(), percent(c.recall()).c_str());
        out += row;
    };
    for (const FindingKind& kind : kFindingKinds)
        if (kind.heldAgainst)
            add(kind.key, a.byFinding[static_cast<int>(kind.finding)]);
    add("clock-offset", a.clocks);
    return out;
}

std::string confusionRows(const Accuracy& a)
{
    if (a.confusions.empty())
        return std::string();
    std::string out = "\nput in           found as         lines\n";
    char row[160];
    for (const auto& [kinds, count] : a.confusions) {
        std::snprintf(row, sizeof row, "%-16s %-16s %6zu\n", findingKey(kinds.first), findingKey(kinds.second),
                      count);
        out += row;
    }
    return out;
}

std::string caseRows(const Accuracy& a)
{
    std::string out = "\nhard case                      put in   right\n";
    char row[160];
    std::snprintf(row, sizeof row, "%-30s %6zu %7zu\n", "an error on each side (QSOs)", a.bothSides.truth,
                  a.bothSides.correct);
    out += row;
    std::snprintf(row, sizeof row, "%-30s %6zu %7zu\n", "logs in local time", a.localTime.truth,
                  a.localTime.correct);
    out += row;
    std::snprintf(row, sizeof row, "%-30s %6zu %7zu\n", "calls copied without suffix", a.suffixDropped.truth,
                  a.suffixDropped.correct);
    return out + row;
}

} // namespace

Accuracy measureAccuracy(const Judgement& j, const Truth& truth, std::size_t keepMistakes)
{
    return Count(truth, keepMistakes).run(j);
}

bool meetsEveryClass(const Accuracy& a, double share)
{
    bool met = a.clocks.precision() >= share && a.clocks.recall() >= share;
    for (const ClassScore& c : a.byFinding)
        met = met && c.precision() >= share && c.recall() >= share;
    return met;
}

std::string accuracyTable(const Accuracy& a)
{
    return classRows(a) + confusionRows(a) + caseRows(a);
}

} // namespace korvane::judge
