// Clock offsets: a log kept in local time is off by whole hours (up to 14 either way),
// a clock set by hand by some minutes, or both. Whole hours are found first, by how
// many of a station's QSOs find their other side once its times are moved by each
// candidate hour; then minutes, from the mutual nearest QSOs with each partner.
#include "tools/judge/PairGroups.h"

#include <array>
#include <cstdlib>

namespace korvane::judge {
namespace {

// Far enough for clocks a quarter of an hour off; the tours keep the same pair's QSOs
// on one band and mode at least a few minutes apart, and only mutual nearest pairs count.
constexpr int kOffsetWindow = 20;
constexpr std::uint32_t kMinOffsetSamples = 5;
constexpr int kOffsetRounds = 3;
constexpr int kMaxHours = 14;
constexpr int kHourCandidates = 2 * kMaxHours + 1;
constexpr std::uint32_t kInAGroup = 1u << kHourCandidates;
// Every QSO of one side against every QSO of the other costs their product; a group
// larger than this (one pair worked hundreds of times on one band) does not vote.
constexpr std::size_t kMaxHourPairs = 4096;

// For each QSO, a bit per candidate hour under which the other side has it near in time.
std::vector<std::uint32_t> hourVotes(const CheckState& state, const PairGroups& groups,
                                     const std::vector<int>& hours)
{
    std::vector<std::uint32_t> votes(state.logs.qsos.size(), 0);
    auto vote = [&](const PairGroups::Side& x, int hoursX, const std::vector<PairGroups::Side>& others) {
        votes[x.index] |= kInAGroup;
        for (const PairGroups::Side& y : others) {
            // x's logged time against y's as corrected, less x's hours so far.
            const int gap = x.minute + 60 * hoursX - y.minute;
            const int h = (gap + (gap >= 0 ? 30 : -30)) / 60;
            if (std::abs(h) <= kMaxHours && std::abs(gap - 60 * h) <= kOffsetWindow)
                votes[x.index] |= 1u << (h + kMaxHours);
        }
    };
    groups.forEach(state, [&](std::uint32_t sa, const std::vector<PairGroups::Side>& a, std::uint32_t sb,
                              const std::vector<PairGroups::Side>& b) {
        if (a.size() * b.size() > kMaxHourPairs)
            return;
        for (const PairGroups::Side& x : a)
            vote(x, hours[sa], b);
        for (const PairGroups::Side& y : b)
            vote(y, hours[sb], a);
    });
    return votes;
}

// The hours that most of a station's QSOs agree on, when clearly more agree on it than
// on its times as logged; 0 otherwise.
int wholeHours(const CheckState& state, const std::vector<std::uint32_t>& votes, std::uint32_t s,
               std::uint32_t* samples)
{
    std::array<std::uint32_t, kHourCandidates> agree{};
    std::uint32_t inGroups = 0;
    const Station& st = state.logs.stations[s];
    for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
        inGroups += (votes[i] & kInAGroup) != 0;
        // Mostly one bit set, or none: each set bit once.
        for (std::uint32_t bits = votes[i] & (kInAGroup - 1); bits != 0; bits &= bits - 1)
            ++agree[static_cast<std::size_t>(__builtin_ctz(bits))];
    }
    int best = kMaxHours;
    for (int h = 0; h < kHourCandidates; ++h)
        if (agree[h] > agree[best])
            best = h;
    const std::uint32_t n = agree[best], asLogged = agree[kMaxHours];
    if (best == kMaxHours || n < kMinOffsetSamples || 5 * n < 3 * inGroups || 4 * n <= 5 * asLogged)
        return 0;
    *samples = n;
    return best - kMaxHours;
}

void findWholeHours(CheckState& state, const PairGroups& groups, std::vector<int>& hours)
{
    // Partners in local time too are found in the second round, against the first's.
    for (int round = 0; round < 2; ++round) {
        const std::vector<std::uint32_t> votes = hourVotes(state, groups, hours);
        std::vector<int> found(hours.size(), 0);
        for (std::uint32_t s = 0; s < hours.size(); ++s) {
            std::uint32_t samples = 0;
            found[s] = wholeHours(state, votes, s, &samples);
            state.result.offsets[s] = {60 * found[s], samples};
        }
        if (found == hours)
            return;
        hours = std::move(found);
    }
}

// The median of a station's histogram of minutes off, when most QSOs lie near it.
bool medianOffset(const std::uint32_t* h, int bins, int minOffset, ClockOffset* found)
{
    std::uint32_t n = 0;
    for (int k = 0; k < bins; ++k)
        n += h[k];
    if (n < kMinOffsetSamples)
        return false;
    int median = 0;
    for (std::uint32_t below = 0; median < bins; ++median) {
        below += h[median];
        if (2 * below >= n)
            break;
    }
    std::uint32_t near = h[median];
    near += median > 0 ? h[median - 1] : 0;
    near += median + 1 < bins ? h[median + 1] : 0;
    const int minutes = median - kOffsetWindow;
    // Most QSOs must agree on it: a constant offset, not scattered times.
    if (std::abs(minutes) < minOffset || 5 * near < 3 * n)
        return false;
    *found = {minutes, n};
    return true;
}

std::size_t nearestSide(const PairGroups::Side& from, const std::vector<PairGroups::Side>& to)
{
    std::size_t best = to.size();
    int bestGap = kOffsetWindow + 1;
    for (std::size_t k = 0; k < to.size(); ++k) {
        const int gap = std::abs(from.minute - to[k].minute);
        if (gap < bestGap) {
            bestGap = gap;
            best = k;
        }
    }
    return best;
}

// One round: every station's minutes off beyond its whole hours, from its mutual nearest
// QSOs with each partner, the partner's time taken as corrected by the previous round.
// True when an offset changed.
bool estimateMinutes(CheckState& state, const PairGroups& groups, const std::vector<int>& hours)
{
    constexpr int kBins = 2 * kOffsetWindow + 1;
    std::vector<std::uint32_t> histogram(state.logs.stations.size() * kBins, 0);
    std::vector<ClockOffset>& offsets = state.result.offsets;
    groups.forEach(state, [&](std::uint32_t sa, const std::vector<PairGroups::Side>& a, std::uint32_t sb,
                              const std::vector<PairGroups::Side>& b) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            const std::size_t j = nearestSide(a[i], b);
            if (j == b.size() || nearestSide(b[j], a) != i)
                continue;
            // Each side's logged time, less its whole hours, against the other's corrected one.
            const int forA = a[i].minute + offsets[sa].minutes - 60 * hours[sa] - b[j].minute;
            const int forB = b[j].minute + offsets[sb].minutes - 60 * hours[sb] - a[i].minute;
            if (std::abs(forA) <= kOffsetWindow)
                ++histogram[sa * kBins + forA + kOffsetWindow];
            if (std::abs(forB) <= kOffsetWindow)
                ++histogram[sb * kBins + forB + kOffsetWindow];
        }
    });
    bool changed = false;
    for (std::uint32_t s = 0; s < offsets.size(); ++s) {
        ClockOffset found{60 * hours[s], hours[s] ? offsets[s].samples : 0};
        if (medianOffset(&histogram[s * kBins], kBins, state.options.minOffset, &found))
            found.minutes += 60 * hours[s];
        changed = changed || found.minutes != offsets[s].minutes;
        offsets[s] = found;
    }
    return changed;
}

} // namespace

void findClockOffsets(CheckState& state, const PairGroups& groups)
{
    std::vector<int> hours(state.logs.stations.size(), 0);
    findWholeHours(state, groups, hours);
    // Each round takes the partners' clocks from the one before; it settles in two.
    for (int round = 0; round < kOffsetRounds && estimateMinutes(state, groups, hours); ++round) {
    }
}

} // namespace korvane::judge
