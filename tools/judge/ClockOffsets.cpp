// Clock offsets: a log kept in local time is off by whole hours (up to 14 either way;
// some zones by half or three quarters of an hour), a clock set by hand by some
// minutes, or both. Half hours are found first, by how many of a station's QSOs find
// their other side once its times are moved by each candidate; then minutes, from the
// mutual nearest QSOs with each partner.
#include "tools/judge/Meanwhile.h"
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
constexpr int kStep = 30;                  // minutes: zones are whole or half hours apart
constexpr int kMaxSteps = 14 * 60 / kStep; // 14 hours either way
constexpr int kStepCandidates = 2 * kMaxSteps + 1;
static_assert(kStepCandidates <= 64, "a bit per candidate");
// Every QSO of one side against every QSO of the other costs their product; a group
// larger than this (one pair worked hundreds of times on one band) does not vote.
constexpr std::size_t kMaxHourPairs = 4096;

// By station, how many of its QSOs are in a group, and for each candidate step how many
// of them the other side has near in time under it.
struct StepTally {
    std::uint32_t inGroups = 0;
    std::array<std::uint32_t, kStepCandidates> agree{};
};

// Counts gathered over the groups in two halves side by side, each into its own table,
// then added: the same counts in any order.
template <typename T, typename Gather>
std::vector<T> gatheredInHalves(const CheckState& state, std::size_t size, Gather gather)
{
    std::vector<T> counts[2] = {std::vector<T>(size), std::vector<T>(size)};
    inTwoHalves(state.options.twoThreads, [&](unsigned half) { gather(counts[half], half); });
    for (std::size_t k = 0; k < size; ++k)
        counts[0][k] += counts[1][k];
    return std::move(counts[0]);
}

StepTally& operator+=(StepTally& t, const StepTally& more)
{
    t.inGroups += more.inGroups;
    for (std::size_t k = 0; k < t.agree.size(); ++k)
        t.agree[k] += more.agree[k];
    return t;
}

// The votes of one half of the groups.
void tallySteps(const CheckState& state, const PairGroups& groups, const std::vector<int>& steps,
                std::vector<StepTally>& tallies, unsigned half)
{
    // A QSO is in one group only: its bits are gathered there and each counted once.
    auto vote = [&](const PairGroups::Side& x, std::uint32_t station, const std::vector<PairGroups::Side>& others) {
        std::uint64_t bits = 0;
        for (const PairGroups::Side& y : others) {
            // x's logged time against y's as corrected, less x's steps so far.
            const int gap = x.minute + kStep * steps[station] - y.minute;
            const int k = (gap + (gap >= 0 ? kStep / 2 : -kStep / 2)) / kStep;
            if (std::abs(k) <= kMaxSteps && std::abs(gap - kStep * k) <= kOffsetWindow)
                bits |= std::uint64_t{1} << (k + kMaxSteps);
        }
        StepTally& t = tallies[station];
        ++t.inGroups;
        for (; bits != 0; bits &= bits - 1)
            ++t.agree[static_cast<std::size_t>(__builtin_ctzll(bits))];
    };
    groups.forEachInHalf(state, half, [&](std::uint32_t sa, const std::vector<PairGroups::Side>& a, std::uint32_t sb,
                                          const std::vector<PairGroups::Side>& b) {
        if (a.size() * b.size() > kMaxHourPairs)
            return;
        for (const PairGroups::Side& x : a)
            vote(x, sa, b);
        for (const PairGroups::Side& y : b)
            vote(y, sb, a);
    });
}

std::vector<StepTally> stepVotes(const CheckState& state, const PairGroups& groups, const std::vector<int>& steps)
{
    return gatheredInHalves<StepTally>(state, state.logs.stations.size(), [&](std::vector<StepTally>& t, unsigned half) {
        tallySteps(state, groups, steps, t, half);
    });
}

// The steps that most of a station's QSOs agree on, when clearly more agree on it than
// on its times as logged; 0 otherwise.
int zoneSteps(const StepTally& t, std::uint32_t* samples)
{
    int best = kMaxSteps;
    for (int k = 0; k < kStepCandidates; ++k)
        if (t.agree[k] > t.agree[best])
            best = k;
    const std::uint32_t n = t.agree[best], asLogged = t.agree[kMaxSteps];
    if (best == kMaxSteps || n < kMinOffsetSamples || 5 * n < 3 * t.inGroups || 4 * n <= 5 * asLogged)
        return 0;
    *samples = n;
    return best - kMaxSteps;
}

void findZoneSteps(CheckState& state, const PairGroups& groups, std::vector<int>& steps)
{
    // Partners in local time too are found in the second round, against the first's.
    for (int round = 0; round < 2; ++round) {
        const std::vector<StepTally> tallies = stepVotes(state, groups, steps);
        std::vector<int> found(steps.size(), 0);
        for (std::uint32_t s = 0; s < steps.size(); ++s) {
            std::uint32_t samples = 0;
            found[s] = zoneSteps(tallies[s], &samples);
            state.result.offsets[s] = {kStep * found[s], samples};
        }
        if (found == steps)
            return;
        steps = std::move(found);
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

constexpr int kBins = 2 * kOffsetWindow + 1;

// By station, how far off its mutual nearest QSOs with each partner in one half of the
// groups lie: a histogram of kBins minutes.
void tallyMinutes(const CheckState& state, const PairGroups& groups, const std::vector<int>& steps,
                  std::vector<std::uint32_t>& histogram, unsigned half)
{
    const std::vector<ClockOffset>& offsets = state.result.offsets;
    groups.forEachInHalf(state, half, [&](std::uint32_t sa, const std::vector<PairGroups::Side>& a, std::uint32_t sb,
                                          const std::vector<PairGroups::Side>& b) {
        for (std::size_t i = 0; i < a.size(); ++i) {
            const std::size_t j = nearestSide(a[i], b);
            if (j == b.size() || nearestSide(b[j], a) != i)
                continue;
            // Each side's logged time, less its zone's steps, against the other's corrected one.
            const int forA = a[i].minute + offsets[sa].minutes - kStep * steps[sa] - b[j].minute;
            const int forB = b[j].minute + offsets[sb].minutes - kStep * steps[sb] - a[i].minute;
            if (std::abs(forA) <= kOffsetWindow)
                ++histogram[sa * kBins + forA + kOffsetWindow];
            if (std::abs(forB) <= kOffsetWindow)
                ++histogram[sb * kBins + forB + kOffsetWindow];
        }
    });
}

// One round: every station's minutes off beyond its zone's steps, from its mutual nearest
// QSOs with each partner, the partner's time taken as corrected by the previous round.
// True when an offset changed.
bool estimateMinutes(CheckState& state, const PairGroups& groups, const std::vector<int>& steps)
{
    const std::vector<std::uint32_t> histogram = gatheredInHalves<std::uint32_t>(
        state, state.logs.stations.size() * kBins,
        [&](std::vector<std::uint32_t>& h, unsigned half) { tallyMinutes(state, groups, steps, h, half); });
    std::vector<ClockOffset>& offsets = state.result.offsets;
    bool changed = false;
    for (std::uint32_t s = 0; s < offsets.size(); ++s) {
        ClockOffset found{kStep * steps[s], steps[s] ? offsets[s].samples : 0};
        if (medianOffset(&histogram[s * kBins], kBins, state.options.minOffset, &found))
            found.minutes += kStep * steps[s];
        changed = changed || found.minutes != offsets[s].minutes;
        offsets[s] = found;
    }
    return changed;
}

} // namespace

void findClockOffsets(CheckState& state, const PairGroups& groups)
{
    std::vector<int> steps(state.logs.stations.size(), 0);
    findZoneSteps(state, groups, steps);
    // Each round takes the partners' clocks from the one before; it settles in two.
    for (int round = 0; round < kOffsetRounds && estimateMinutes(state, groups, steps); ++round) {
    }
}

} // namespace korvane::judge
