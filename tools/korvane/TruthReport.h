#pragma once
// korvane judge --truth: the judgement held against what a simulated contest put in.

#include "tools/judge/Judgement.h"
#include "tools/judge/Simulation.h"

#include <optional>
#include <string>

namespace korvane::judge {

// The truth file named, or nothing when none is; false (the reason on stderr) when it
// cannot be read, before any log is judged.
bool loadTruthOption(const std::string& path, std::optional<Truth>& truth);

// Per kind precision and recall, what was taken for what, the hard cases, the first mistakes.
void printAccuracy(const Judgement& j, const Truth& truth);

} // namespace korvane::judge
