// What goes wrong in the logs: one side's QSO missing, a call or a serial miscopied, a
// line written twice, an error on each side of one QSO, a hand-typed time far off.
#include "tools/judge/SimulatedContest.h"

#include <algorithm>
#include <cstdlib>

namespace korvane::judge::simulated {
namespace {

constexpr int kMissTries = 20;
// A near miss's time stays this far from every other QSO of the pair on its band and mode,
// so that it can be matched with one QSO only, and in no tour with another.
constexpr int kNearMissClearance = 45;

// One edit of the partner's call, pointing at it alone; empty when none was found.
std::string miscopyOf(SimulatedContest& c, std::uint32_t partner, SimulationRandom& random)
{
    const std::string& meant = c.stations[partner].base;
    for (int attempt = 0; attempt < kMissTries; ++attempt) {
        std::string wrong = miscopy(meant, random, c.hardRandom, c.options.hardCases);
        if (c.calls.pointsOnlyAt(wrong, meant))
            return wrong;
    }
    return std::string();
}

// Puts error on the side; false (and nothing changed) when a call to miscopy was not found.
bool putOnSide(SimulatedContest& c, Event& e, int side, LineError error, SimulationRandom& random)
{
    if (error == LineError::BustedCall) {
        std::string wrong = miscopyOf(c, e.side[1 - side].station, random);
        if (wrong.empty())
            return false;
        e.side[side].copiedCall = std::move(wrong);
    }
    e.side[side].error = error;
    return true;
}

void addLineErrors(SimulatedContest& c, LineError error, std::uint32_t count)
{
    for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
        Event& e = c.events[c.random.below(c.normalEvents)];
        const int side = static_cast<int>(c.random.below(2));
        const bool submits = error == LineError::Duplicate ? c.stations[e.side[side].station].submits
                                                           : c.bothSubmit(e);
        if (e.used || !submits || !putOnSide(c, e, side, error, c.random))
            continue;
        e.used = true;
        ++made;
    }
}

// Each side judged on its own: a call and a serial, two calls, or two serials wrong.
void addBothSidesErrors(SimulatedContest& c, std::uint32_t count)
{
    static const LineError kPairs[][2] = {{LineError::BustedCall, LineError::WrongSerial},
                                          {LineError::BustedCall, LineError::BustedCall},
                                          {LineError::WrongSerial, LineError::WrongSerial}};
    SimulationRandom& random = c.hardRandom;
    for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
        Event& e = c.events[random.below(c.normalEvents)];
        const LineError* errors = kPairs[random.below(3)];
        const int first = static_cast<int>(random.below(2));
        if (e.used || !c.bothSubmit(e))
            continue;
        const Event before = e;
        if (!putOnSide(c, e, first, errors[0], random) || !putOnSide(c, e, 1 - first, errors[1], random)) {
            e = before;
            continue;
        }
        e.used = true;
        e.bothSides = true;
        ++made;
    }
}

bool clearOfThePair(const SimulatedContest& c, std::uint32_t k, int side, Minute typed)
{
    const Event& e = c.events[k];
    const std::uint32_t station = e.side[side].station;
    for (std::uint32_t other : c.pairs.at(pairKey(e.side[0].station, e.side[1].station, e.band, e.mode))) {
        const Event& o = c.events[other];
        const Minute mine = o.side[0].station == station ? o.side[0].logged : o.side[1].logged;
        if (other != k && (std::abs(mine - typed) <= kNearMissClearance ||
                           std::llabs(o.second - e.second) <= kNearMissClearance * 60))
            return false;
    }
    return true;
}

// The minutes of each station's lines, in order.
std::vector<std::vector<Minute>> linesMinutes(const SimulatedContest& c)
{
    std::vector<std::vector<Minute>> minutes(c.stations.size());
    for (const Event& e : c.events)
        for (const SideLog& side : e.side)
            if (side.error != LineError::Missing)
                minutes[side.station].push_back(side.logged);
    for (auto& list : minutes)
        std::sort(list.begin(), list.end());
    return minutes;
}

// Whether a line written at entered but dated typed stands out of order: another line of
// the log lies between the two.
bool outOfOrder(const std::vector<Minute>& minutes, Minute entered, Minute typed)
{
    const Minute lo = std::min(entered, typed), hi = std::max(entered, typed);
    return std::upper_bound(minutes.begin(), minutes.end(), lo) < std::lower_bound(minutes.begin(), minutes.end(), hi);
}

// One side types one QSO's time 5 to 20 minutes off; its clock agrees with its partners
// otherwise, so the time of this QSO alone is wrong. The line stays where it was written,
// out of order among its neighbours, while the partner's stands in order: that tells
// which side typed it.
void addNearMisses(SimulatedContest& c, std::uint32_t count)
{
    SimulationRandom& random = c.hardRandom;
    const std::vector<std::vector<Minute>> minutes = linesMinutes(c);
    for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
        const std::uint32_t k = random.below(c.normalEvents);
        const int side = static_cast<int>(random.below(2));
        const int shift = random.between(5, 20) * (random.below(2) ? -1 : 1);
        Event& e = c.events[k];
        const Minute typed = e.side[side].logged + shift;
        if (e.used || !c.bothSubmit(e) || c.stations[e.side[side].station].offset != 0 ||
            typed < c.options.start || typed >= c.options.end || !clearOfThePair(c, k, side, typed) ||
            !outOfOrder(minutes[e.side[side].station], e.side[side].logged, typed))
            continue;
        e.side[side].typedShift = shift;
        e.side[side].error = LineError::WrongTime;
        e.used = true;
        ++made;
    }
}

} // namespace

void putInErrors(SimulatedContest& c)
{
    const std::uint32_t qsos = c.plannedQsos;
    addLineErrors(c, LineError::Missing, c.scaled(kMissingRate, qsos));
    addLineErrors(c, LineError::BustedCall, c.scaled(kBustedCallRate, qsos));
    addLineErrors(c, LineError::WrongSerial, c.scaled(kWrongSerialRate, qsos));
    addLineErrors(c, LineError::Duplicate, c.scaled(kDuplicateRate, qsos));
    if (!c.options.hardCases)
        return;
    addBothSidesErrors(c, c.scaled(kBothSidesRate, qsos));
    addNearMisses(c, c.scaled(kNearMissRate, qsos));
}

// Each station numbers its QSOs in the order it logged them, from 1.
void numberSerials(SimulatedContest& c)
{
    std::vector<std::vector<std::pair<Minute, std::uint32_t>>> byStation(c.stations.size());
    for (std::uint32_t k = 0; k < c.events.size(); ++k)
        for (const SideLog& side : c.events[k].side)
            byStation[side.station].push_back({side.logged, k});
    for (std::uint32_t st = 0; st < c.stations.size(); ++st) {
        auto& list = byStation[st];
        std::sort(list.begin(), list.end());
        for (std::uint32_t n = 0; n < list.size(); ++n) {
            Event& e = c.events[list[n].second];
            e.side[e.side[0].station == st ? 0 : 1].serial = n + 1;
        }
    }
}

// A station that signs /P, /M or /QRP and sends a log is copied sometimes with the
// suffix, sometimes without; one that sends none, as it signs. Both QSOs of a repeat
// keep it as it was, so that the plug-in's tour check, which compares calls as
// written, refuses the second.
void copyCalls(SimulatedContest& c)
{
    for (Event& e : c.events) {
        const bool mayDrop = c.options.hardCases && e.kind == Kind::Normal && !e.repeated;
        for (int s = 0; s < 2; ++s) {
            const SimStation& partner = c.stations[e.side[1 - s].station];
            const bool suffixed = partner.call.size() > partner.base.size();
            const bool keepsSuffix = !suffixed || !partner.submits || !mayDrop || c.hardRandom.below(10) < 6;
            const std::string suffix = keepsSuffix ? partner.call.substr(partner.base.size()) : std::string();
            SideLog& side = e.side[s];
            side.copiedCall = (side.error == LineError::BustedCall ? side.copiedCall : partner.base) + suffix;
        }
    }
}

} // namespace korvane::judge::simulated
