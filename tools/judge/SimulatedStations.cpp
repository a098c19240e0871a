// The stations of a simulated contest: their calls, how busy they are, whether they send
// a log, and how their clocks and their logs' habits differ.
#include "tools/judge/SimulatedContest.h"

#include <cmath>

namespace korvane::judge::simulated {
namespace {

// Tries at a call two edits from every other before a merely new one will do: a big
// contest can run out of such calls.
constexpr int kApartTries = 8;

// A log kept in local time: whole hours, or hours and a half or three quarters, as the
// world's time zones are, up to 14 hours either way.
int localTimeOffset(SimulationRandom& random)
{
    const int hours = random.between(1, 14);
    const std::uint32_t roll = random.below(10);
    const int minutes = hours == 14 || roll < 7 ? 0 : (roll < 9 ? 30 : 45);
    const int offset = hours * 60 + minutes;
    return random.below(2) ? -offset : offset;
}

void pickCall(SimulatedContest& c, SimStation& s)
{
    bool suffixed = false;
    for (int tries = 0;; ++tries) {
        s.base = makeBaseCall(c.random);
        suffixed = c.random.chance(kPortableRate);
        if (c.calls.add(s.base, tries < kApartTries))
            break;
    }
    s.call = s.base;
    if (suffixed)
        s.call += c.options.hardCases ? pickSuffix(c.hardRandom) : "/P";
}

void pickClock(SimulatedContest& c, SimStation& s)
{
    if (s.submits && s.weight >= 3 && c.random.chance(c.ppm(kClockRate) * 2)) {
        s.offset = c.random.between(4, 10);
        if (c.random.below(2))
            s.offset = -s.offset;
    }
    if (c.options.hardCases && s.submits && s.weight >= 2 && s.offset == 0 &&
        c.hardRandom.chance(c.ppm(kLocalTimeRate)))
        s.offset = localTimeOffset(c.hardRandom);
}

} // namespace

SimulatedContest::SimulatedContest(const SimulationOptions& o)
    : options(o), random(o.seed), hardRandom(o.seed ^ 0x6b6f7276616e6531ull)
{
}

std::int64_t SimulatedContest::lengthSeconds() const
{
    return static_cast<std::int64_t>(options.end - options.start) * 60;
}

std::uint32_t SimulatedContest::scaled(std::uint32_t perMillion, std::uint32_t of) const
{
    return static_cast<std::uint32_t>(std::llround(static_cast<double>(perMillion) * options.errorScale * of / 1e6));
}

std::uint32_t SimulatedContest::ppm(std::uint32_t perMillion) const
{
    return static_cast<std::uint32_t>(std::llround(perMillion * options.errorScale));
}

bool SimulatedContest::bothSubmit(const Event& e) const
{
    return stations[e.side[0].station].submits && stations[e.side[1].station].submits;
}

Minute SimulatedContest::trueMinute(const Event& e, int s) const
{
    return e.side[s].logged - stations[e.side[s].station].offset;
}

bool SimulatedContest::inPeriod(const Event& e, int s) const
{
    const Minute t = trueMinute(e, s);
    return t >= options.start && t < options.end;
}

void makeStations(SimulatedContest& c)
{
    static const std::uint32_t kWeights[] = {1, 1, 1, 2, 2, 3, 4, 6, 10, 16};
    const unsigned count = c.options.stations;
    c.stations.reserve(count);
    const auto silent = static_cast<std::uint32_t>(std::llround(c.options.silentShare * 1e6));
    for (unsigned i = 0; i < count; ++i) {
        SimStation s;
        pickCall(c, s);
        s.submits = i < 2 || !c.random.chance(silent);
        s.weight = kWeights[c.random.below(10)];
        if (i >= 2 && c.random.chance(kCasualRate)) {
            s.submits = false;
            s.weight = 0;
        }
        s.operatorCategory = c.random.chance(200000) ? "MULTI-OP" : "SINGLE-OP";
        const std::uint32_t p = c.random.below(100);
        s.powerCategory = p < 40 ? "HIGH" : (p < 85 ? "LOW" : "QRP");
        pickClock(c, s);
        s.plainSerials = c.options.hardCases && c.hardRandom.chance(150000);
        c.stations.push_back(std::move(s));
    }
    std::uint64_t sum = 0;
    for (const SimStation& s : c.stations)
        c.cumulative.push_back(sum += s.weight);
}

} // namespace korvane::judge::simulated
