#pragma once
// How well the judge found what a simulation put into the logs: for each kind of
// finding, how many it reported, how many of those were right, how many it missed; which
// kinds it took for which; and how it fared on the hard cases.

#include "tools/judge/Judgement.h"
#include "tools/judge/Simulation.h"

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace korvane::judge {

struct ClassScore {
    std::size_t truth = 0, found = 0, correct = 0;
    double precision() const { return found ? static_cast<double>(correct) / found : 1.0; }
    double recall() const { return truth ? static_cast<double>(correct) / truth : 1.0; }
};

struct Accuracy {
    std::array<ClassScore, kFindingCount> byFinding{}; // Confirmed and NoLog stay empty
    ClassScore clocks;
    // (put in, found): how many lines the judge gave another finding than the truth's.
    std::map<std::pair<Finding, Finding>, std::size_t> confusions;
    // The hard cases: put in, and judged right (truth = put in, correct = judged right).
    ClassScore bothSides;  // QSOs with an error on each side, both lines right
    ClassScore localTime;  // logs an hour or more off, the offset found exactly
    ClassScore suffixDropped; // lines with a call signed /P, /M or /QRP copied without it
    std::vector<std::string> mistakes; // the first few, described
    std::size_t mistakeCount = 0;
};

Accuracy measureAccuracy(const Judgement& j, const Truth& truth, std::size_t keepMistakes = 20);

// Whether every kind the judge can find, and the clocks, reach the share in both precision
// and recall (0.995 for 99.5%).
bool meetsEveryClass(const Accuracy& a, double share);

// A table of precision and recall per kind, the confusions and the hard cases, for people.
std::string accuracyTable(const Accuracy& a);

} // namespace korvane::judge
