// How well `korvane judge` finds what `korvane simulate` puts into a contest's logs:
// precision and recall per kind of error, on a contest of 500 stations (by default),
// with the time the judge took.
//
//   judge_accuracy [--stations N] [--seed S] [--errors SCALE] [--no-hard-cases]
#include "tools/judge/Accuracy.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/Simulation.h"

#include "contract/OleDateTime.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

using namespace korvane::judge;
namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    SimulationOptions o;
    o.stations = 500;
    o.seed = 1;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--no-hard-cases"))
            o.hardCases = false;
        else if (i + 1 < argc && !std::strcmp(argv[i], "--stations"))
            o.stations = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (i + 1 < argc && !std::strcmp(argv[i], "--seed"))
            o.seed = std::strtoull(argv[++i], nullptr, 10);
        else if (i + 1 < argc && !std::strcmp(argv[i], "--errors"))
            o.errorScale = std::atof(argv[++i]);
    }
    o.start = *minuteOf(makeOleDate(2026, 11, 21, 15, 0, 0));
    o.end = *minuteOf(makeOleDate(2026, 11, 21, 18, 0, 0));

    const fs::path dir = fs::temp_directory_path() / ("korvane-judge-accuracy-" + std::to_string(o.seed));
    std::error_code ec;
    fs::remove_all(dir, ec);
    const auto simulating = std::chrono::steady_clock::now();
    const Simulation sim = simulateContest(o);
    const double simulated =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - simulating).count();
    std::string error;
    if (!writeSimulation(sim, o, dir.string(), &error)) {
        std::fprintf(stderr, "judge_accuracy: %s\n", error.c_str());
        return 1;
    }
    JudgeOptions options;
    listLogFiles({(dir / "logs").string()}, options.files, &error);
    options.rules.start = o.start;
    options.rules.end = o.end;
    options.workFolder = (dir / "work").string();
    const auto started = std::chrono::steady_clock::now();
    Judgement j;
    if (!judgeContest(options, j, &error)) {
        std::fprintf(stderr, "judge_accuracy: %s\n", error.c_str());
        return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    fs::current_path(dir.parent_path(), ec);
    fs::remove_all(dir, ec);

    const Accuracy a = measureAccuracy(j, sim.truth, 10);
    std::printf("Simulated contest: %u stations, seed %llu, error rates x%g: %zu logs, %zu QSO lines\n",
                o.stations, static_cast<unsigned long long>(o.seed), o.errorScale, sim.truth.logs,
                sim.truth.qsoLines);
    std::printf("Simulated in %.2f s%s\n", simulated, o.hardCases ? ", with the hard cases" : ", without the hard cases");
    std::printf("Judged in %.2f s (reading, matching and the plug-in's tour check, its score)\n\n", seconds);
    std::fputs(accuracyTable(a).c_str(), stdout);
    for (const std::string& m : a.mistakes)
        std::printf("  %s\n", m.c_str());
    if (a.mistakeCount > a.mistakes.size())
        std::printf("  ... %zu mistakes in all\n", a.mistakeCount);
    const bool met = meetsEveryClass(a, 0.995);
    std::printf("\nEvery kind at least 99.5%% precision and recall: %s\n", met ? "yes" : "NO");
    return met ? 0 : 1;
}
