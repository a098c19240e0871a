#pragma once
// A whole KORVANE contest made up from a seed, with a known truth: who worked whom
// and when, which stations sent no log, and every error put into the logs, the hard
// ones too (an error on each side of one QSO, logs kept in local time, calls signed
// with a suffix, a hand-typed time far off). The judge is measured against it.

#include "tools/judge/ContestLogs.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace korvane::judge {

struct SimulationOptions {
    unsigned stations = 100;      // taking part, whether they send a log or not
    std::uint64_t seed = 1;
    double qsosPerLog = 150;      // mean QSO lines per log
    double silentShare = 0.15;    // stations that send no log
    double errorScale = 1.0;      // every error rate times this
    Minute start = 0, end = 0;    // the period
    // Errors on both sides of a QSO, logs kept in local time, calls signed /M or /QRP and
    // copied without it, serials without leading zeros, hand-typed times, calls with two
    // letters swapped or one dropped or added. Without them, contests as they were made
    // before these were put in.
    bool hardCases = true;
};

// What the judge should find.
struct Truth {
    using LineRef = std::pair<std::string, std::uint32_t>; // a station's call and a line of its log
    // The finding of every line that is not plainly confirmed.
    std::map<LineRef, Finding> lines;
    std::map<std::string, int> clockOffsets; // by call, minutes (logged minus true)
    std::vector<std::pair<LineRef, LineRef>> bothSides; // one QSO, an error on each side
    std::set<std::string> suffixed; // calls signed /P, /M or /QRP, copied with and without
    std::size_t logs = 0, qsoLines = 0;
};

struct SimulatedLog {
    std::string call;
    std::string text; // the Cabrillo file
};

struct Simulation {
    std::vector<SimulatedLog> logs; // the stations that send one, in call order
    std::vector<std::string> silent; // the calls that send none
    Truth truth;
};

Simulation simulateContest(const SimulationOptions& options);

// Writes DIR/logs/CALL.cbr for each log and DIR/truth.txt; false with a reason.
bool writeSimulation(const Simulation& simulation, const SimulationOptions& options,
                     const std::string& dir, std::string* error);

// Writes the truth alone to path; false with a reason.
bool writeTruth(const Simulation& simulation, const SimulationOptions& options, const std::string& path,
                std::string* error);

// truth.txt as writeSimulation writes it; false with a reason.
bool readTruth(const std::string& path, Truth& truth, std::string* error);

} // namespace korvane::judge
