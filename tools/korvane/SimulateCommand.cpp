// korvane simulate: a made-up contest written as Cabrillo logs and a truth file.
#include "tools/korvane/Commands.h"
#include "tools/korvane/DateOption.h"
#include "tools/korvane/JudgeCli.h"
#include "tools/judge/Simulation.h"

#include <cstdio>

namespace korvane::judge {
namespace {

void printHardCases(const Truth& truth)
{
    std::size_t localTime = 0;
    for (const auto& [call, minutes] : truth.clockOffsets)
        localTime += minutes <= -60 || minutes >= 60;
    std::printf("Hard cases: %zu QSOs with an error on each side, %zu logs in local time, %zu stations "
                "signing /P, /M or /QRP\n",
                truth.bothSides.size(), localTime, truth.suffixed.size());
}

} // namespace

int runSimulate(const SimulateCommandOptions& options)
{
    SimulationOptions o = options.contest;
    const auto start = parseDateOption(options.start), end = parseDateOption(options.end);
    if (!start || !end || !minuteOf(*start) || !minuteOf(*end) || *minuteOf(*end) <= *minuteOf(*start)) {
        std::fprintf(stderr, "korvane: the contest must end after it starts\n");
        return kExitUsage;
    }
    o.start = *minuteOf(*start);
    o.end = *minuteOf(*end);
    o.hardCases = !options.withoutHardCases;

    const Simulation sim = simulateContest(o);
    std::string error;
    if (!writeSimulation(sim, o, options.out, &error)) {
        std::fprintf(stderr, "korvane: %s\n", error.c_str());
        return kExitFailed;
    }
    std::size_t put[kFindingCount] = {};
    for (const auto& [where, finding] : sim.truth.lines)
        ++put[static_cast<int>(finding)];
    std::printf("Simulated %u stations: %zu logs (%zu stations sent none), %zu QSO lines\n",
                o.stations, sim.logs.size(), sim.silent.size(), sim.truth.qsoLines);
    std::printf("Truth, what the judge should find:");
    for (int f = 0; f < kFindingCount; ++f)
        if (put[f])
            std::printf(" %zu %s,", put[f], findingKey(static_cast<Finding>(f)));
    std::printf(" %zu clocks off\n", sim.truth.clockOffsets.size());
    printHardCases(sim.truth);
    std::printf("Written: %s/logs/ and %s/truth.txt\n", options.out.c_str(), options.out.c_str());
    return kExitOk;
}

} // namespace korvane::judge
