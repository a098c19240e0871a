#include "tools/judge/PairGroups.h"

#include "tools/judge/RadixSort.h"

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
    entries_.reserve(logs.qsos.size());
    for (std::uint32_t s = 0; s < logs.stations.size(); ++s) {
        const Station& st = logs.stations[s];
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
            const CompactQso& q = logs.qsos[i];
            const std::uint32_t other = state.stationWorked(q);
            if (other != kNoIndex && other != s && eligible(q))
                entries_.push_back({pairKey(state.ownMatched[s], state.matchedOf[q.call], q.band, q.mode), s, i,
                                    q.minute});
        }
    }
    // Added in index order, which grows with the station: a stable sort by the key leaves
    // each pair's QSOs by station, then in file order.
    radixSortStable(entries_, [](const Entry& e) { return e.key; });
}

} // namespace korvane::judge
