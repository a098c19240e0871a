#pragma once
// How well the judge found what a simulation put into the logs: for each kind of
// finding, how many it reported, how many of those were right, how many it missed.

#include "tools/judge/Judgement.h"
#include "tools/judge/Simulation.h"

#include <array>
#include <string>
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
    std::vector<std::string> mistakes; // the first few, described
    std::size_t mistakeCount = 0;
};

Accuracy measureAccuracy(const Judgement& j, const Truth& truth, std::size_t keepMistakes = 20);

// A table of precision and recall per kind, for people.
std::string accuracyTable(const Accuracy& a);

} // namespace korvane::judge
