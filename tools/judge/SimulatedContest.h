#pragma once
// The simulation's working model, shared by its stages: the stations, every real QSO
// (an event both sides log, each in its own way), and what went wrong on each side.
// The stages run in order: stations, the schedule of QSOs, the errors, the serials and
// the calls as copied, then the logs and the truth written from all of it.

#include "tools/judge/SimulatedCalls.h"
#include "tools/judge/Simulation.h"
#include "tools/judge/SimulationRandom.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvane::judge::simulated {

// Error rates, per million QSOs (per million logs for clocks), before errorScale.
constexpr std::uint32_t kMissingRate = 15000, kBustedCallRate = 10000, kWrongSerialRate = 10000;
constexpr std::uint32_t kRepeatRate = 5000, kOutOfPeriodRate = 5000, kDuplicateRate = 3000;
constexpr std::uint32_t kClockRate = 40000, kPortableRate = 30000;
constexpr std::uint32_t kBothSidesRate = 3000, kNearMissRate = 3000, kLocalTimeRate = 30000;
// Passers-by: a QSO or three, never a log; most of the calls only one log holds.
constexpr std::uint32_t kCasualRate = 50000;

enum class Kind : std::uint8_t { Normal, Repeat, OutOfPeriod };
enum class LineError : std::uint8_t { None, Missing, BustedCall, WrongSerial, Duplicate, WrongTime };

struct SimStation {
    std::string call;        // as its header gives it, suffix and all
    std::string base;        // without the suffix
    bool submits = true;
    int offset = 0;          // minutes its clock is fast (hours for a log kept in local time)
    std::uint32_t weight = 1; // how busy; 0 for a passer-by
    bool plainSerials = false; // writes 7 where most write 007
    std::string operatorCategory, powerCategory;
};

// What one side of a QSO wrote down.
struct SideLog {
    std::uint32_t station = 0;
    Minute logged = 0;        // the minute its clock showed
    int typedShift = 0;       // minutes the hand-typed time is off, for a near miss
    LineError error = LineError::None;
    std::string copiedCall;   // the other station's call as this side logged it
    std::uint32_t serial = 0; // the serial this side sent
};

struct Event {
    std::array<SideLog, 2> side;
    std::int64_t second = 0;  // the real moment, seconds from the start of the period
    std::uint32_t freqKHz = 0;
    std::uint8_t band = 0, mode = 0; // band 0: 160 m, 1: 80 m; mode 0: CW, 1: SSB
    Kind kind = Kind::Normal;
    bool used = false;        // carries an error, or is the first QSO of a repeat
    bool repeated = false;    // the first QSO of a repeat
    bool bothSides = false;   // an error on each side
};

struct SimulatedContest {
    explicit SimulatedContest(const SimulationOptions& o);

    const SimulationOptions& options;
    SimulationRandom random;
    // The kinds of error added later draw from their own stream, so that adding them
    // left every contest made before them as it was.
    SimulationRandom hardRandom;
    CallBook calls;
    std::vector<SimStation> stations;
    std::vector<std::uint64_t> cumulative; // the stations' weights summed, to pick by
    std::vector<Event> events;
    std::uint32_t plannedQsos = 0;         // what the error rates are rates of
    std::uint32_t normalEvents = 0;        // events[0, normalEvents) are plain QSOs
    // By pair, band and mode: the events, to keep the same two stations apart.
    std::unordered_map<std::uint64_t, std::vector<std::uint32_t>> pairs;

    std::int64_t lengthSeconds() const;
    std::uint32_t scaled(std::uint32_t perMillion, std::uint32_t of) const;
    std::uint32_t ppm(std::uint32_t perMillion) const;
    bool bothSubmit(const Event& e) const;
    Minute trueMinute(const Event& e, int s) const;
    bool inPeriod(const Event& e, int s) const;
};

std::uint64_t pairKey(std::uint32_t a, std::uint32_t b, int band, int mode);

// The stages, in order.
void makeStations(SimulatedContest& c);
void scheduleQsos(SimulatedContest& c);
void putInErrors(SimulatedContest& c);
void numberSerials(SimulatedContest& c);
void copyCalls(SimulatedContest& c);
Simulation writeLogs(SimulatedContest& c);

} // namespace korvane::judge::simulated
