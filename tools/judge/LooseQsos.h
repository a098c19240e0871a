#pragma once
// The QSOs left without a partner after matching by pair, filed by the call worked (as
// matched), band and mode, then corrected time: the steps after look each other side
// up among them by a range, never one against every other.

#include "tools/judge/CheckState.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <vector>

namespace korvane::judge {

struct Loose {
    std::uint32_t call; // worked, in CheckState::matched
    std::uint8_t band, mode;
    Minute minute; // corrected
    std::uint32_t station, index;
    bool operator<(const Loose& o) const
    {
        return std::tie(call, band, mode, minute, index) < std::tie(o.call, o.band, o.mode, o.minute, o.index);
    }
};

std::vector<Loose> looseQsos(const CheckState& state);

// No real station is logged this many times on one band within a near miss's window;
// a forged log that claims so gets no more looks, so each look-up costs a bounded time.
inline constexpr int kMaxLooseScan = 256;

// Calls each(loose) for those that worked `call` on q's band and mode within `minutes`
// of q's time and are still unmatched, the first kMaxLooseScan at most.
template <typename Each>
void forEachLooseNear(const CheckState& state, const std::vector<Loose>& loose, std::uint32_t call,
                      const Loose& q, int minutes, Each each)
{
    const Loose from{call, q.band, q.mode, q.minute - minutes, 0, 0};
    int scanned = 0;
    for (auto it = std::lower_bound(loose.begin(), loose.end(), from);
         it != loose.end() && it->call == call && it->band == q.band && it->mode == q.mode &&
         it->minute <= q.minute + minutes && scanned < kMaxLooseScan;
         ++it, ++scanned)
        if (state.unmatched(it->index))
            each(*it);
}

} // namespace korvane::judge
