// The Windows build's measurements (Google Benchmark is native only): the entry points
// through Stats.dll as the host calls them, and the heap the log costs per QSO.
#include "HumanTime.h"
#include "LogGenerator.h"
#include "bench/ProcessStats.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace {

const COleDateTime kStart = makeOleDate(2026, 12, 5, 12, 0, 0);
const COleDateTime kEnd = makeOleDate(2026, 12, 7, 12, 0, 0);

// Best of several rounds, per call, in nanoseconds.
double bestOf(int rounds, int callsPerRound, const std::function<void()>& call)
{
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < callsPerRound; ++i)
            call();
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / callsPerRound);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string pluginPath = argc > 1 ? argv[1] : "Stats.dll";
    host::StatsHost plugin;
    std::string error;
    if (!plugin.load(pluginPath, host::NameKind::Decorated, &error)) {
        std::fprintf(stderr, "stats_timing: %s\n", error.c_str());
        return 1;
    }
    const auto scratch = std::filesystem::temp_directory_path() / "korvane-timing";
    std::filesystem::create_directories(scratch / "Plugins");
    std::filesystem::current_path(scratch);
    // Every second reset would open the multiplier window; "Start" = 1 makes the next
    // reset skip it, and each reset sets it back to 0, so keep it at 1.
    auto reset = [&] {
        std::FILE* ini = std::fopen("Plugins\\MOLTA.ini", "wb");
        if (ini) {
            std::fputs("[Settings]\r\nStart=1\r\n", ini);
            std::fclose(ini);
        }
        plugin.reset(0, "RA3XYZ", kStart, kEnd, "");
    };

    std::printf("%-22s %8s %12s\n", "operation", "size", "time");
    double previous = 0;
    for (std::size_t size : {1000u, 10000u, 100000u}) {
        const std::vector<host::Qso> log = generateLog(size, 20261207);
        reset();
        const double add = bestOf(1, 1, [&] {
            for (const host::Qso& q : log)
                plugin.add(q);
        }) / static_cast<double>(size);
        int score = 0;
        const double summary = bestOf(5, size >= 100000 ? 3 : 20, [&] { plugin.getResult(&score); });
        const double miss = bestOf(5, 2000, [&] { plugin.check("ZZ9ZZZ", "CW", "80", nullptr); });
        std::printf("%-22s %8zu %12s\n", "AddData0 (each)", size, humanTime(add).c_str());
        std::printf("%-22s %8zu %12s\n", "GetResult0", size, humanTime(summary).c_str());
        std::printf("%-22s %8zu %12s\n", "CheckCall0 miss", size, humanTime(miss).c_str());
        if (previous > 0)
            std::printf("%-22s %8zu %11.1fx\n", "GetResult0 growth", size, summary / previous);
        previous = summary;
    }

    reset();
    const std::size_t before = bench::currentProcessStats().heapBytes;
    for (const host::Qso& q : generateLog(100000, 20261207))
        plugin.add(q);
    const std::size_t after = bench::currentProcessStats().heapBytes;
    std::printf("memory: %.0f bytes per QSO at 100000 QSOs\n",
                static_cast<double>(after - before) / 100000.0);
    reset();
    plugin.unload();
    std::filesystem::current_path(scratch.parent_path());
    std::filesystem::remove_all(scratch);
    return 0;
}
