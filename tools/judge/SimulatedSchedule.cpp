// When who works whom: QSOs spread over the tours at the rates of a real contest, the
// passers-by, the repeats within one tour and the QSOs before or after the period.
#include "tools/judge/SimulatedContest.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace korvane::judge::simulated {
namespace {

// The same two stations meet again on one band and mode only after this long, except
// for the tour repeats put in on purpose.
constexpr int kSpacingSeconds = 8 * 60;
constexpr int kJitterSeconds = 40; // how late each side logs after the real moment
constexpr std::int64_t kTourSeconds = 30 * 60;

std::uint32_t pickStation(SimulatedContest& c)
{
    const std::uint64_t r = c.random.next() % c.cumulative.back();
    return static_cast<std::uint32_t>(std::upper_bound(c.cumulative.begin(), c.cumulative.end(), r) -
                                      c.cumulative.begin());
}

Minute loggedMinute(SimulatedContest& c, std::uint32_t station, std::int64_t second)
{
    const std::int64_t at =
        static_cast<std::int64_t>(c.options.start) * 60 + second + c.random.between(0, kJitterSeconds);
    return static_cast<Minute>(at / 60) + c.stations[station].offset;
}

const SideLog& sideOf(const Event& e, std::uint32_t station)
{
    return e.side[0].station == station ? e.side[0] : e.side[1];
}

// The tour as the station's log shows it, and as it really was: the plug-in sees the
// first, a judge that corrects clocks may use the second, and the truth must hold for both.
bool sameTour(const SimulatedContest& c, std::uint32_t station, Minute a, Minute b)
{
    const int offset = c.stations[station].offset;
    return tourOfDay(a) == tourOfDay(b) || tourOfDay(a - offset) == tourOfDay(b - offset);
}

bool sameTourBothWays(const SimulatedContest& c, std::uint32_t station, Minute a, Minute b)
{
    const int offset = c.stations[station].offset;
    return tourOfDay(a) == tourOfDay(b) && tourOfDay(a - offset) == tourOfDay(b - offset);
}

// No two QSOs of the pair on the band and mode in one tour of either log, and (but for
// except) none closer than the spacing.
bool fits(const SimulatedContest& c, const Event& e, std::uint32_t except)
{
    const auto it = c.pairs.find(pairKey(e.side[0].station, e.side[1].station, e.band, e.mode));
    if (it == c.pairs.end())
        return true;
    for (std::uint32_t k : it->second) {
        const Event& other = c.events[k];
        if (k == except)
            continue;
        if (std::llabs(other.second - e.second) < kSpacingSeconds)
            return false;
        for (const SideLog& side : e.side)
            if (sameTour(c, side.station, sideOf(other, side.station).logged, side.logged))
                return false;
    }
    return true;
}

void keep(SimulatedContest& c, Event e)
{
    c.pairs[pairKey(e.side[0].station, e.side[1].station, e.band, e.mode)].push_back(
        static_cast<std::uint32_t>(c.events.size()));
    c.events.push_back(std::move(e));
}

Event draw(SimulatedContest& c, std::int64_t second, std::uint32_t a, std::uint32_t b)
{
    Event e;
    e.side[0].station = a;
    e.side[1].station = b;
    e.second = second;
    // 80 m is busier early, 160 m after dark.
    const std::uint32_t on80 = second < c.lengthSeconds() / 2 ? 650000 : 450000;
    e.band = c.random.chance(on80) ? 1 : 0;
    e.mode = c.random.chance(550000) ? 0 : 1;
    static const std::uint32_t kLow[2][2] = {{1810, 1840}, {3510, 3600}};
    static const std::uint32_t kWidth[2][2] = {{28, 58}, {70, 100}};
    e.freqKHz = kLow[e.band][e.mode] + c.random.below(kWidth[e.band][e.mode]);
    for (SideLog& side : e.side)
        side.logged = loggedMinute(c, side.station, second);
    return e;
}

Event draw(SimulatedContest& c, std::int64_t second)
{
    const std::uint32_t a = pickStation(c);
    std::uint32_t b;
    do
        b = pickStation(c);
    while (b == a);
    return draw(c, second, a, b);
}

// The tours' weights: a rush at the start, a lull in the middle, a last push.
std::vector<std::uint32_t> tourWeights(std::int64_t length)
{
    static const std::uint32_t kTourWeights[] = {14, 11, 9, 9, 10, 12};
    std::vector<std::uint32_t> weights;
    for (std::int64_t t = 0; t < (length + kTourSeconds - 1) / kTourSeconds; ++t)
        weights.push_back(kTourWeights[std::min<std::int64_t>(t, 5)]);
    return weights;
}

void addNormalEvents(SimulatedContest& c, std::uint32_t count)
{
    const std::int64_t length = c.lengthSeconds();
    const std::vector<std::uint32_t> weights = tourWeights(length);
    std::uint32_t total = 0;
    for (std::uint32_t w : weights)
        total += w;
    if (total == 0)
        return; // a period shorter than one tour holds no QSO
    for (std::uint64_t tries = 0; c.events.size() < count && tries < 8ull * count + 100; ++tries) {
        std::uint32_t pick = c.random.below(total), tour = 0;
        while (pick >= weights[tour])
            pick -= weights[tour++];
        const std::int64_t from = tour * kTourSeconds;
        const std::int64_t to = std::min<std::int64_t>(from + kTourSeconds, length - 60);
        if (to <= from)
            continue;
        Event e = draw(c, from + c.random.below(static_cast<std::uint32_t>(to - from)));
        if (fits(c, e, kNoIndex))
            keep(c, std::move(e));
    }
    c.normalEvents = static_cast<std::uint32_t>(c.events.size());
}

void addCasualEvents(SimulatedContest& c)
{
    const auto length = static_cast<std::uint32_t>(c.lengthSeconds() - 60);
    for (std::uint32_t st = 0; st < c.stations.size(); ++st) {
        if (c.stations[st].weight != 0)
            continue;
        const std::uint32_t qsos = 1 + c.random.below(3);
        for (std::uint32_t n = 0, tries = 0; n < qsos && tries < 20; ++tries) {
            const std::uint32_t other = pickStation(c);
            Event e = draw(c, c.random.below(length), st, other);
            if (fits(c, e, kNoIndex)) {
                keep(c, std::move(e));
                ++n;
            }
        }
    }
}

// A second QSO of a pair later in the same tour, in both logs and both ways of counting.
bool repeats(const SimulatedContest& c, const Event& again, const Event& first)
{
    for (int s = 0; s < 2; ++s) {
        const SideLog& now = again.side[s];
        if (!c.inPeriod(again, s) || now.logged <= first.side[s].logged ||
            !sameTourBothWays(c, now.station, now.logged, first.side[s].logged))
            return false;
    }
    return true;
}

void addRepeats(SimulatedContest& c, std::uint32_t count)
{
    for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
        const std::uint32_t k = c.random.below(c.normalEvents);
        if (c.events[k].used)
            continue;
        Event e = c.events[k];
        e.second += c.random.between(120, 1500);
        for (SideLog& side : e.side)
            side.logged = loggedMinute(c, side.station, e.second);
        if (!fits(c, e, k) || !repeats(c, e, c.events[k]))
            continue;
        c.events[k].used = true;
        c.events[k].repeated = true;
        e.used = true;
        e.kind = Kind::Repeat;
        keep(c, std::move(e));
        ++made;
    }
}

void addOutOfPeriod(SimulatedContest& c, std::uint32_t count)
{
    const std::int64_t length = c.lengthSeconds();
    for (std::uint32_t made = 0, tries = 0; made < count && tries < 50 * count; ++tries) {
        const bool before = c.random.below(2) == 0;
        const std::int64_t second = before ? -static_cast<std::int64_t>(c.random.between(120, 1500))
                                           : length + c.random.between(0, 1440);
        Event e = draw(c, second);
        if (!fits(c, e, kNoIndex) || c.inPeriod(e, 0) || c.inPeriod(e, 1))
            continue;
        e.used = true;
        e.kind = Kind::OutOfPeriod;
        keep(c, std::move(e));
        ++made;
    }
}

} // namespace

std::uint64_t pairKey(std::uint32_t a, std::uint32_t b, int band, int mode)
{
    const std::uint64_t lo = std::min(a, b), hi = std::max(a, b);
    return lo << 34 | hi << 4 | static_cast<std::uint64_t>(band) << 1 | static_cast<std::uint64_t>(mode);
}

void scheduleQsos(SimulatedContest& c)
{
    c.plannedQsos = static_cast<std::uint32_t>(
        (static_cast<std::uint64_t>(c.options.stations) *
         static_cast<std::uint64_t>(std::llround(c.options.qsosPerLog))) / 2);
    addNormalEvents(c, c.plannedQsos);
    addCasualEvents(c);
    addRepeats(c, c.scaled(kRepeatRate, c.plannedQsos));
    addOutOfPeriod(c, c.scaled(kOutOfPeriodRate, c.plannedQsos));
}

} // namespace korvane::judge::simulated
