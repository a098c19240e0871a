// `korvane judge` at full size: a simulated contest of about 2 000 logs with 1 000 000
// QSOs in all, judged in one run next to only reading and parsing the same files.
// Prints the times, the judge's cost as a multiple of the reading, and the memory per
// QSO. Not part of ctest: it writes ~90 MB of logs (kept for the next run) and takes
// a minute or two on two cores.
//
// --repeats SHARE puts that share of tour repeats into the logs (0.1: every tenth QSO
// line is one), which the judge takes back out of each score.
//
// --rounds N (3) measures reading and judging N times, alternately, and prints medians.
//
//   judge_scale [--dir DIR] [--logs N] [--qsos TOTAL] [--workers W] [--repeats SHARE] [--rounds N]
#include "tools/judge/LogLoader.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/Simulation.h"

#include "TourRepeats.h"

#include "contract/OleDateTime.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

using namespace korvane::judge;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double since(Clock::time_point t) { return std::chrono::duration<double>(Clock::now() - t).count(); }

double peakRssMb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

double cpuSeconds()
{
    // The process's own threads and the children it waited for: work handed to a helper
    // process is still the judge's.
    double seconds = 0;
    for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
        rusage usage{};
        getrusage(who, &usage);
        seconds += usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
                   (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    return seconds;
}

double currentRssMb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// In a child process, so that the simulator's memory never counts as the judge's.
bool simulateInto(const fs::path& dir, unsigned logs, unsigned long qsos)
{
    const pid_t child = fork();
    if (child == 0) {
        SimulationOptions o;
        // Of the stations, 5% pass by and 15% of the rest send no log.
        o.stations = static_cast<unsigned>(logs / (0.95 * 0.85) + 0.5);
        o.qsosPerLog = static_cast<double>(qsos) / logs;
        o.seed = 2026;
        o.start = *minuteOf(makeOleDate(2026, 11, 21, 15, 0, 0));
        o.end = *minuteOf(makeOleDate(2026, 11, 21, 18, 0, 0));
        std::string error;
        const bool ok = writeSimulation(simulateContest(o), o, dir.string(), &error);
        if (!ok)
            std::fprintf(stderr, "judge_scale: %s\n", error.c_str());
        std::_Exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char** argv)
{
    unsigned logs = 2000, workers = 2, rounds = 3;
    double repeats = 0;
    unsigned long qsos = 1000000;
    std::string dirOption;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--dir"))
            dirOption = argv[i + 1];
        else if (!std::strcmp(argv[i], "--logs"))
            logs = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--qsos"))
            qsos = std::strtoul(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--workers"))
            workers = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--repeats"))
            repeats = std::atof(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--rounds"))
            rounds = std::max(1, std::atoi(argv[i + 1]));
    }
    const fs::path dir = dirOption.empty() ? fs::temp_directory_path() / ("korvane-judge-scale-" +
                                                                          std::to_string(logs) + "-" +
                                                                          std::to_string(qsos))
                                           : fs::path(dirOption);
    if (!fs::exists(dir / "truth.txt")) {
        std::printf("Simulating %u logs with %lu QSOs into %s ...\n", logs, qsos, dir.string().c_str());
        std::fflush(stdout);
        const auto t = Clock::now();
        if (!simulateInto(dir, logs, qsos))
            return 1;
        std::printf("  done in %.1f s\n", since(t));
    }
    std::vector<std::string> files;
    std::string error;
    std::error_code ec;
    fs::path logFolder = dir / "logs";
    if (repeats > 0) {
        const fs::path with = dir / ("logs-repeats-" + std::to_string(std::lround(repeats * 1000)));
        if (!addTourRepeats(logFolder, with, repeats, &error)) {
            std::fprintf(stderr, "judge_scale: %s\n", error.c_str());
            return 1;
        }
        logFolder = with;
        std::printf("With %.0f%% tour repeats: %s\n", repeats * 100, with.string().c_str());
    }
    if (!listLogFiles({logFolder.string()}, files, &error)) {
        std::fprintf(stderr, "judge_scale: %s\n", error.c_str());
        return 1;
    }
    std::uintmax_t bytes = 0;
    for (const std::string& f : files)
        bytes += fs::file_size(f);
    std::printf("%zu logs, %.1f MB\n\n", files.size(), bytes / 1e6);

    // Wall time and CPU time of the whole process: other work on the machine stretches
    // the first, never the second.
    struct Span {
        double wall = 0, cpu = 0;
    };
    auto from = [](Clock::time_point t, double cpu) { return Span{since(t), cpuSeconds() - cpu}; };
    // Of each measure the median over the rounds: a busy moment on the machine moves one
    // round, not the figure.
    auto median = [](std::vector<Span> spans) {
        auto middle = [&](double Span::*m) {
            std::vector<double> v;
            for (const Span& s : spans)
                v.push_back(s.*m);
            std::sort(v.begin(), v.end());
            return v.empty() ? 0.0 : v[v.size() / 2];
        };
        return Span{middle(&Span::wall), middle(&Span::cpu)};
    };

    JudgeOptions options;
    options.files = files;
    options.rules.start = *minuteOf(makeOleDate(2026, 11, 21, 15, 0, 0));
    options.rules.end = *minuteOf(makeOleDate(2026, 11, 21, 18, 0, 0));
    options.workers = workers;
    // In memory, as korvane judge puts it: the plug-in rewrites its settings file
    // several times per log.
    options.workFolder = fs::is_directory("/dev/shm") ? "/dev/shm/korvane-judge-scale" : (dir / "work").string();

    std::vector<Span> readOnes, readManys, judges;
    std::vector<std::string> stageNames;
    std::vector<std::vector<Span>> stageSpans;
    std::size_t read1 = 0;
    double rssBefore = 0;
    Judgement j;
    for (unsigned round = 0; round < rounds; ++round) {
        auto t = Clock::now();
        double c = cpuSeconds();
        read1 = readLogsOnly(files, 1);
        readOnes.push_back(from(t, c));
        t = Clock::now();
        c = cpuSeconds();
        readLogsOnly(files, workers);
        readManys.push_back(from(t, c));
        if (round == 0)
            rssBefore = currentRssMb();

        std::string stage;
        Clock::time_point stageStart = Clock::now();
        double stageCpu = cpuSeconds();
        std::size_t stageIndex = 0;
        auto endStage = [&] {
            if (stageSpans.size() <= stageIndex) {
                stageNames.push_back(stage);
                stageSpans.emplace_back();
            }
            stageSpans[stageIndex++].push_back(from(stageStart, stageCpu));
        };
        options.progress = [&](const char* name, std::size_t, std::size_t) {
            if (stage != name) {
                if (!stage.empty())
                    endStage();
                stage = name;
                stageStart = Clock::now();
                stageCpu = cpuSeconds();
            }
        };
        j = Judgement();
        t = Clock::now();
        c = cpuSeconds();
        if (!judgeContest(options, j, &error)) {
            std::fprintf(stderr, "judge_scale: %s\n", error.c_str());
            return 1;
        }
        judges.push_back(from(t, c));
        endStage();
    }
    const Span readOne = median(readOnes), readMany = median(readManys), judged = median(judges);
    const double peakAfterJudge = peakRssMb();
    const std::size_t held = j.logs.bytesHeld() + j.check.partner.capacity() * sizeof(std::uint32_t);

    auto t = Clock::now();
    double c = cpuSeconds();
    if (!writeResults(j, (dir / "results").string(), &error)) {
        std::fprintf(stderr, "judge_scale: %s\n", error.c_str());
        return 1;
    }
    const Span written = from(t, c);
    const std::size_t n = j.logs.qsos.size();
    fs::current_path(dir, ec);
    fs::remove_all(options.workFolder, ec);

    std::printf("QSOs read: %zu (%zu logs judged, %zu not read)\n", read1, j.logs.stations.size(),
                j.logs.unreadable.size());
    std::printf("Medians of %u rounds; CPU counts the judge's helper processes too.\n\n", rounds);
    std::printf("%-40s %9s %9s\n", "", "wall", "CPU");
    auto row = [](const std::string& what, const Span& s) {
        std::printf("%-40s %7.2f s %7.2f s\n", what.c_str(), s.wall, s.cpu);
    };
    row("read and parse only, 1 thread", readOne);
    row("read and parse only, " + std::to_string(workers) + " threads", readMany);
    row("judge: read, match, tour check, score", judged);
    for (std::size_t k = 0; k < stageNames.size(); ++k)
        row("  " + stageNames[k], median(stageSpans[k]));
    row("writing results and reports (once)", written);
    // The ratio within each round, where judging and reading met the same machine, and
    // its median: steadier than a ratio of medians when the machine's speed wanders.
    auto ratio = [&](const std::vector<Span>& reads) {
        std::vector<Span> ratios;
        for (std::size_t r = 0; r < judges.size(); ++r)
            ratios.push_back({judges[r].wall / reads[r].wall, judges[r].cpu / reads[r].cpu});
        return median(ratios);
    };
    const Span many = ratio(readManys), one = ratio(readOnes);
    std::printf("\nJudge / reading with %u threads: %.2f x wall, %.2f x CPU\n", workers, many.wall, many.cpu);
    std::printf("Judge / reading with 1 thread:  %.2f x wall, %.2f x CPU\n", one.wall, one.cpu);
    std::printf("(medians of the ratios within each round)\n");
    std::printf("\nMemory: peak RSS %.0f MB = %.0f bytes per QSO (RSS before judging %.0f MB);\n"
                "        the judgement holds %.1f MB = %.0f bytes per QSO\n",
                peakAfterJudge, peakAfterJudge * 1048576.0 / n, rssBefore, held / 1048576.0,
                static_cast<double>(held) / n);
    std::printf("        peak RSS after writing the results: %.0f MB\n", peakRssMb());
    return 0;
}
