#pragma once
// The plug-in's score of every station, part of the stations worked out in helper
// processes beside this one. A forked helper holds its own copy of the loaded plug-in,
// so the plug-in never runs on two threads of one process, and keeps its settings in a
// folder of its own (made in the current directory, the plug-in's work folder, with a
// copy of its settings), so that no two copies toggle one settings file.

#include "tools/judge/ContestLogs.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace korvane::judge {

struct ScoreRun {
    // The score of one station, from the plug-in as loaded in the calling process.
    std::function<int(std::uint32_t station)> score;
    // Helper processes beside this one; 0 scores every station here. Only a caller with
    // no other thread running may fork (POSIX only; elsewhere it is always 0).
    unsigned helpers = 0;
    // Stations scored so far, of all.
    std::function<void(std::size_t done, std::size_t total)> progress;
};

// Scores by station. A helper that cannot be started or that ends without every score
// of its range leaves them to this process, so a result is never missing.
std::vector<int> scoreStations(const ContestLogs& logs, const ScoreRun& run);

} // namespace korvane::judge
