// A log whose own call its partners never logged: when every partner that matched it
// logged one and the same other call, one character away, the header is wrong (a typo
// in CALLSIGN), not all of them. The partners keep their QSOs.
#include "tools/judge/CheckState.h"

#include <set>

namespace korvane::judge {
namespace {

// Fewer partners than this agreeing on one call prove nothing about the header.
constexpr std::size_t kMinDoubtPartners = 3;

struct Copies {
    std::uint32_t call = kNoIndex; // the one call partners logged, while they agree
    bool agree = true;
    bool loggedRight = false; // some partner logged the header's call
    std::set<std::uint32_t> partners;
};

Copies howPartnersCopied(const CheckState& state, const Station& st)
{
    Copies c;
    for (std::uint32_t i = st.first; i < st.first + st.count && c.agree && !c.loggedRight; ++i) {
        const std::uint32_t p = state.result.partner[i];
        if (p == kNoIndex)
            continue;
        const CompactQso& theirs = state.logs.qsos[p];
        if (theirs.finding != Finding::BustedCall) {
            c.loggedRight = c.loggedRight || (state.logs.qsos[i].flags & kOtherBustedMyCall) == 0;
            continue;
        }
        c.agree = c.call == kNoIndex || c.call == theirs.call;
        c.call = theirs.call;
        c.partners.insert(state.logs.stationOf(p));
    }
    return c;
}

// A suffix more or less is what the contest's suffix rule judges, not a wrong header.
bool onlySuffixApart(const std::string& a, const std::string& b)
{
    return a.rfind(b + "/", 0) == 0 || b.rfind(a + "/", 0) == 0;
}

} // namespace

void findCallDoubts(CheckState& state)
{
    for (Station& st : state.logs.stations) {
        const Copies c = howPartnersCopied(state, st);
        if (!c.agree || c.loggedRight || c.partners.size() < kMinDoubtPartners ||
            onlySuffixApart(st.call, state.logs.calls.text(c.call)))
            continue;
        st.callDoubt = state.logs.calls.text(c.call);
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
            const std::uint32_t p = state.result.partner[i];
            if (p == kNoIndex || state.logs.qsos[p].finding != Finding::BustedCall)
                continue;
            // Judged as if the header had said what they all logged.
            state.logs.qsos[p].finding = Finding::Confirmed;
            state.logs.qsos[i].flags &= static_cast<std::uint8_t>(~kOtherBustedMyCall);
        }
    }
}

} // namespace korvane::judge
