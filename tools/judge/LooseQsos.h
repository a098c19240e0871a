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

// Calls each(loose) for those that worked `call` on q's band and mode within `minutes`
// of q's time and are still unmatched.
template <typename Each>
void forEachLooseNear(const CheckState& state, const std::vector<Loose>& loose, std::uint32_t call,
                      const Loose& q, int minutes, Each each)
{
    const Loose from{call, q.band, q.mode, q.minute - minutes, 0, 0};
    for (auto it = std::lower_bound(loose.begin(), loose.end(), from);
         it != loose.end() && it->call == call && it->band == q.band && it->mode == q.mode &&
         it->minute <= q.minute + minutes;
         ++it)
        if (state.unmatched(it->index))
            each(*it);
}

} // namespace korvane::judge
