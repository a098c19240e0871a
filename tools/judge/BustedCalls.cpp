// Busted calls: a QSO whose worked call is one character from the station that logged
// it back, on the same band and mode, near in time. Either one side took the call down
// wrong and the other is judged on its exchange, or both did and each side is busted on
// its own.
#include "tools/judge/LooseQsos.h"
#include "tools/judge/Meanwhile.h"

#include <cstdlib>
#include <unordered_map>

namespace korvane::judge {

std::vector<Loose> looseQsos(const CheckState& state)
{
    // Each half of the stations gathered and sorted apart, then merged: the order is
    // total (the index decides last), so it is the order of one sort.
    const ContestLogs& logs = state.logs;
    std::vector<Loose> loose[2];
    inTwoHalves(state.options.twoThreads, [&](unsigned half) {
        const StationRange mine = stationHalf(logs, half);
        for (std::uint32_t s = mine.first; s < mine.last; ++s) {
            const Station& st = logs.stations[s];
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
                const CompactQso& q = logs.qsos[i];
                if (state.unmatched(i) && eligible(q))
                    loose[half].push_back({state.matchedOf[q.call], q.band, q.mode, state.corrected(s, i), s, i});
            }
        }
        std::sort(loose[half].begin(), loose[half].end());
    });
    std::vector<Loose> all(loose[0].size() + loose[1].size());
    std::merge(loose[0].begin(), loose[0].end(), loose[1].begin(), loose[1].end(), all.begin());
    return all;
}

namespace {

struct Best {
    std::uint32_t index = kNoIndex;
    int disagree = 3, gap = 0;
    // Nearer in time wins; at the same distance, the exchanges that agree.
    void offer(const CheckState& state, const Loose& mine, const Loose& other)
    {
        const CompactQso &a = state.logs.qsos[mine.index], &b = state.logs.qsos[other.index];
        const int g = std::abs(other.minute - mine.minute);
        const int d = (a.received != b.sent) + (b.received != a.sent);
        if (index == kNoIndex || g < gap || (g == gap && d < disagree))
            *this = {other.index, d, g};
    }
};

// q logged a call one character from a station that logged q's station right.
std::uint32_t oneSideBusted(const CheckState& state, const std::vector<Loose>& loose, const Loose& q)
{
    const std::uint32_t mine = state.ownMatched[q.station];
    const std::string& logged = state.matched.text(q.call);
    Best best;
    forEachLooseNear(state, loose, mine, q, state.options.tolerance, [&](const Loose& other) {
        const std::uint32_t theirs = state.ownMatched[other.station];
        if (other.station != q.station && theirs != q.call && oneCharacterApart(state.matched.text(theirs), logged))
            best.offer(state, q, other);
    });
    return best.index;
}

void matchOneSide(CheckState& state, const std::vector<Loose>& loose)
{
    for (const Loose& q : loose) {
        if (!state.unmatched(q.index))
            continue;
        const std::uint32_t theirs = oneSideBusted(state, loose, q);
        if (theirs == kNoIndex)
            continue;
        state.pair(q.index, theirs);
        raiseFinding(state.logs.qsos[q.index], Finding::BustedCall);
        state.logs.qsos[theirs].flags |= kOtherBustedMyCall;
    }
}

// Calls each(loose) for station t's unmatched QSOs on q's band and mode within the
// tolerance of q's time, kMaxLooseScan at most; byStation is sorted by station, band,
// mode, then time.
template <typename Each>
void forEachLooseOf(const CheckState& state, const std::vector<Loose>& byStation, std::uint32_t t, const Loose& q,
                    Each each)
{
    const int tolerance = state.options.tolerance;
    const auto at = std::partition_point(byStation.begin(), byStation.end(), [&](const Loose& e) {
        return std::tie(e.station, e.band, e.mode, e.minute) <
               std::make_tuple(t, q.band, q.mode, q.minute - tolerance);
    });
    int scanned = 0;
    for (auto it = at; it != byStation.end() && it->station == t && it->band == q.band && it->mode == q.mode &&
                       it->minute <= q.minute + tolerance && scanned < kMaxLooseScan;
         ++it, ++scanned)
        if (state.unmatched(it->index))
            each(*it);
}

// Both sides logged a call one character off: q's worked call is near station T's, and
// T logged a call near q's station. Each is a busted call.
void matchBothSides(CheckState& state, const std::vector<Loose>& loose)
{
    NearCalls stations;
    for (std::uint32_t s = 0; s < state.ownMatched.size(); ++s)
        stations.add(s, state.matched.text(state.ownMatched[s]));
    std::vector<Loose> byStation = loose;
    std::sort(byStation.begin(), byStation.end(), [](const Loose& a, const Loose& b) {
        return std::tie(a.station, a.band, a.mode, a.minute, a.index) <
               std::tie(b.station, b.band, b.mode, b.minute, b.index);
    });
    // Most loose QSOs worked a station that sent no log, and many worked the same one.
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> nearStations;
    for (const Loose& q : loose) {
        if (!state.unmatched(q.index))
            continue;
        const std::string& mine = state.matched.text(state.ownMatched[q.station]);
        auto [near, added] = nearStations.try_emplace(q.call);
        if (added)
            near->second = stations.near(state.matched.text(q.call));
        Best best;
        for (std::uint32_t t : near->second) {
            if (t == q.station)
                continue;
            // T's loose QSOs on the band and mode near in time, whatever call they logged:
            // those whose call is one character from q's station.
            forEachLooseOf(state, byStation, t, q, [&](const Loose& other) {
                const std::string& theirs = state.matched.text(other.call);
                if (other.call != state.ownMatched[q.station] && oneCharacterApart(theirs, mine))
                    best.offer(state, q, other);
            });
        }
        if (best.index == kNoIndex)
            continue;
        state.pair(q.index, best.index);
        raiseFinding(state.logs.qsos[q.index], Finding::BustedCall);
        raiseFinding(state.logs.qsos[best.index], Finding::BustedCall);
    }
}

} // namespace

void matchBustedCalls(CheckState& state, std::vector<Loose>& loose)
{
    matchOneSide(state, loose);
    matchBothSides(state, loose);
    // Filtering keeps the order: the rest need no new sort.
    loose.erase(std::remove_if(loose.begin(), loose.end(), [&](const Loose& q) { return !state.unmatched(q.index); }),
                loose.end());
}

} // namespace korvane::judge
