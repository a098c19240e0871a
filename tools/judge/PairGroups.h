#pragma once
// The QSOs between two submitted stations, filed by the pair, band and mode: the
// groups the clocks are estimated from and the QSOs matched in.

#include "tools/judge/CheckState.h"

#include <cstdint>
#include <vector>

namespace korvane::judge {

class PairGroups {
public:
    // One station's QSOs in a group, at its times as corrected so far.
    struct Side {
        std::uint32_t index;
        Minute minute;
    };

    explicit PairGroups(const CheckState& state);

    // Calls each(stationA, sideA, stationB, sideB) for every pair, band and mode that
    // both logs hold, each side in file order, times corrected by the offsets so far.
    template <typename Each>
    void forEach(const CheckState& state, Each each) const
    {
        forEachIn(state, 0, entries_.size(), each);
    }
    // The same for half of the groups, 0 or 1: the halves share no group, so each may
    // change what is its groups' own while the other runs.
    template <typename Each>
    void forEachInHalf(const CheckState& state, unsigned half, Each each) const
    {
        const std::size_t middle = middleGroup();
        forEachIn(state, half == 0 ? 0 : middle, half == 0 ? middle : entries_.size(), each);
    }

private:
    // The groups that start in [from, to).
    template <typename Each>
    void forEachIn(const CheckState& state, std::size_t from, std::size_t to, Each each) const
    {
        std::vector<Side> a, b;
        for (std::size_t g = from; g < to;) {
            std::size_t end = g;
            while (end < entries_.size() && entries_[end].key == entries_[g].key)
                ++end;
            a.clear();
            b.clear();
            for (std::size_t k = g; k < end; ++k) {
                const Entry& e = entries_[k];
                (e.station == entries_[g].station ? a : b)
                    .push_back({e.index, e.minute - state.result.offsets[e.station].minutes});
            }
            if (!b.empty())
                each(entries_[g].station, a, entries_[end - 1].station, b);
            g = end;
        }
    }

    // Where the group that holds the middle entry starts.
    std::size_t middleGroup() const
    {
        std::size_t m = entries_.size() / 2;
        while (m > 0 && entries_[m - 1].key == entries_[m].key)
            --m;
        return m;
    }

    struct Entry {
        std::uint64_t key;
        std::uint32_t station;
        std::uint32_t index;
        Minute minute; // as logged
    };
    std::vector<Entry> entries_;
};

// Each station's clock offset, whole hours first, then minutes; kept in state.result.
void findClockOffsets(CheckState& state, const PairGroups& groups);

} // namespace korvane::judge
