#include "tools/judge/PairGroups.h"

#include "tools/judge/Meanwhile.h"

#include <algorithm>
#include <stdexcept>

namespace korvane::judge {
namespace {

constexpr unsigned kCallBits = 24;

std::uint64_t pairKey(std::uint32_t a, std::uint32_t b, std::uint8_t band, std::uint8_t mode)
{
    const std::uint64_t lo = std::min(a, b), hi = std::max(a, b);
    return lo << (64 - kCallBits) | hi << (64 - 2 * kCallBits) | std::uint64_t{band} << 8 | mode;
}

} // namespace

PairGroups::PairGroups(const CheckState& state)
{
    if (state.matched.size() >= (std::size_t{1} << kCallBits))
        throw std::runtime_error("too many distinct callsigns to cross-check");
    const ContestLogs& logs = state.logs;
    // Every QSO between two submitted stations, in index order, which grows with the
    // station.
    auto forEachEntry = [&](auto each) {
        for (std::uint32_t s = 0; s < logs.stations.size(); ++s) {
            const Station& st = logs.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const CompactQso& q = logs.qsos[i];
                const std::uint32_t other = state.stationWorked(q);
                if (other != kNoIndex && other != s && eligible(q))
                    each(Entry{pairKey(state.ownMatched[s], state.matchedOf[q.call], q.band, q.mode), s, i,
                               q.minute});
            }
        }
    };
    // Placed straight into buckets by the pair's lower call, counted in a first pass, so
    // that no second copy of a million entries is needed; each bucket, a few hundred
    // entries, is then sorted where it lies.
    auto bucketOf = [](const Entry& e) { return static_cast<std::size_t>(e.key >> (64 - kCallBits)); };
    std::vector<std::uint32_t> next(state.matched.size() + 1, 0);
    forEachEntry([&](const Entry& e) { ++next[bucketOf(e) + 1]; });
    for (std::size_t b = 1; b < next.size(); ++b)
        next[b] += next[b - 1];
    std::vector<std::uint32_t> bucketStart = next;
    entries_.resize(next.back());
    forEachEntry([&](const Entry& e) { entries_[next[bucketOf(e)]++] = e; });
    // The buckets are sorted in two halves side by side, split where the middle entry's
    // bucket starts.
    const std::size_t buckets = bucketStart.size() - 1;
    const std::size_t middle = entries_.empty() ? 0 : bucketOf(entries_[entries_.size() / 2]);
    inTwoHalves(state.options.twoThreads, [&](unsigned half) {
        for (std::size_t b = half == 0 ? 0 : middle; b < (half == 0 ? middle : buckets); ++b)
            std::sort(entries_.begin() + bucketStart[b], entries_.begin() + bucketStart[b + 1],
                      [](const Entry& x, const Entry& y) { return x.key != y.key ? x.key < y.key : x.index < y.index; });
    });
}

} // namespace korvane::judge
