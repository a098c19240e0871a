// Both sides logged each other's call right: the QSOs of the two stations on one band
// and mode are paired by their exchanges first, then by how near in time they lie.
#include "tools/judge/Meanwhile.h"
#include "tools/judge/PairGroups.h"

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace korvane::judge {
namespace {

struct Candidate {
    int disagree; // exchanges that differ, 0 to 2
    int gap;
    std::uint32_t i, j;
    bool operator<(const Candidate& o) const
    {
        return std::tie(disagree, gap, i, j) < std::tie(o.disagree, o.gap, o.i, o.j);
    }
};

void matchGroupsIn(CheckState& state, const PairGroups& groups, unsigned half)
{
    std::vector<Candidate> candidates;
    groups.forEachInHalf(state, half, [&](std::uint32_t, const std::vector<PairGroups::Side>& a, std::uint32_t,
                                          const std::vector<PairGroups::Side>& b) {
        candidates.clear();
        for (const PairGroups::Side& x : a)
            for (const PairGroups::Side& y : b) {
                const int gap = std::abs(x.minute - y.minute);
                if (gap > state.options.tolerance)
                    continue;
                const CompactQso &qa = state.logs.qsos[x.index], &qb = state.logs.qsos[y.index];
                const int disagree = (qa.received != qb.sent) + (qb.received != qa.sent);
                candidates.push_back({disagree, gap, x.index, y.index});
            }
        // Two QSOs of the same stations a few minutes apart (in two tours) are told
        // apart by their serials first, then by time; among equals the earlier lines
        // win, so the result is stable.
        std::sort(candidates.begin(), candidates.end());
        for (const Candidate& c : candidates) {
            if (!state.unmatched(c.i) || !state.unmatched(c.j))
                continue;
            state.pair(c.i, c.j);
        }
    });
}

// Each QSO is in one group, and a group pairs only its own QSOs: two halves of the
// groups are matched side by side.
void matchGroups(CheckState& state, const PairGroups& groups)
{
    inTwoHalves(state.options.twoThreads, [&](unsigned half) { matchGroupsIn(state, groups, half); });
}

} // namespace

void matchByPair(CheckState& state)
{
    const PairGroups groups(state);
    findClockOffsets(state, groups);
    matchGroups(state, groups);
}

} // namespace korvane::judge
