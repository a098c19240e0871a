// Cost of every entry point as the log grows, measured through the exports of the
// built libStats.so, next to two references: the rescanning summary and one bare pass.
#include "LiteralSummary.h"
#include "HumanTime.h"
#include "LogGenerator.h"
#include "bench/ProcessStats.h"
#include "platform/SettingsFile.h"
#include "scoring/QsoRecord.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

namespace {

const COleDateTime kStart = makeOleDate(2026, 12, 5, 12, 0, 0);
const COleDateTime kEnd = makeOleDate(2026, 12, 7, 12, 0, 0);

host::StatsHost plugin;

const std::vector<host::Qso>& logOf(std::size_t n)
{
    static std::map<std::size_t, std::vector<host::Qso>> logs;
    auto& log = logs[n];
    if (log.empty())
        log = generateLog(n, 20261207);
    return log;
}

void loadLog(std::size_t n)
{
    plugin.reset(0, "RA3XYZ", kStart, kEnd, "");
    for (const host::Qso& q : logOf(n))
        plugin.add(q);
}

std::vector<QsoRecord> recordsOf(std::size_t n)
{
    std::vector<QsoRecord> records;
    for (const host::Qso& q : logOf(n)) {
        QsoRecord r;
        r.call = r.multiplierKey = q.call;
        r.band = q.band;
        r.mode = q.mode;
        r.rstSent = q.rstSent;
        r.rstReceived = q.rstReceived;
        r.exchSent = q.exchSent;
        r.exchReceived = q.exchReceived;
        r.freqKHz = static_cast<std::int32_t>(q.freqHz / 1000);
        r.qsoTime = q.time;
        records.push_back(r);
    }
    return records;
}

void GetResult(benchmark::State& state)
{
    loadLog(static_cast<std::size_t>(state.range(0)));
    int score = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.getResult(&score));
    state.SetComplexityN(state.range(0));
}

void GetResultWithReport(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    plugin.reset(1, "RA3XYZ", kStart, kEnd, "");
    for (const host::Qso& q : logOf(n))
        plugin.add(q);
    // The report's message box goes to stderr in this build; keep the table readable.
    std::fflush(stderr);
    const int savedStderr = dup(2);
    if (!std::freopen("/dev/null", "w", stderr))
        state.SkipWithError("cannot silence stderr");
    int score = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.getResult(&score));
    std::fflush(stderr);
    dup2(savedStderr, 2);
    close(savedStderr);
}

void LiteralSummaryReference(benchmark::State& state)
{
    const std::vector<QsoRecord> records = recordsOf(static_cast<std::size_t>(state.range(0)));
    std::vector<std::string> bands;
    for (const QsoRecord& r : records)
        if (std::find(bands.begin(), bands.end(), r.band) == bands.end())
            bands.push_back(r.band);
    ContestState contest;
    for (auto _ : state)
        benchmark::DoNotOptimize(literalSummary(bands, records, contest));
}

void OnePassFloor(benchmark::State& state)
{
    const std::vector<QsoRecord> records = recordsOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        int count = 0;
        for (const QsoRecord& r : records)
            count += !r.call.empty();
        benchmark::DoNotOptimize(count);
    }
}

void CheckCallMiss(benchmark::State& state)
{
    loadLog(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.check("ZZ9ZZZ", "CW", "80", nullptr));
}

void CheckCallHit(benchmark::State& state)
{
    loadLog(static_cast<std::size_t>(state.range(0)));
    using namespace std::chrono;
    host::Qso now = logOf(1).front();
    now.call = "HIT1ABC";
    now.time.value = duration<double>(system_clock::now().time_since_epoch()).count() / 86400.0 + 25569.0;
    plugin.add(now);
    std::string message;
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.check(now.call, now.mode, now.band, &message));
}

void CheckCallWorkedBefore(benchmark::State& state)
{
    loadLog(static_cast<std::size_t>(state.range(0)));
    const host::Qso& first = logOf(static_cast<std::size_t>(state.range(0))).front();
    for (auto _ : state)
        benchmark::DoNotOptimize(plugin.check(first.call, first.mode, "not-a-band", nullptr));
}

void AddData(benchmark::State& state)
{
    const std::vector<host::Qso>& log = logOf(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        plugin.reset(0, "RA3XYZ", kStart, kEnd, "");
        state.ResumeTiming();
        for (const host::Qso& q : log)
            plugin.add(q);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// Each iteration removes the oldest record and adds it again as the newest.
void RemoveOldestAndReAdd(benchmark::State& state)
{
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    loadLog(n);
    std::size_t next = 0;
    for (auto _ : state) {
        const host::Qso& q = logOf(n)[next++ % n];
        plugin.remove(q);
        plugin.add(q);
    }
}

void RemoveNewestAndReAdd(benchmark::State& state)
{
    loadLog(static_cast<std::size_t>(state.range(0)));
    host::Qso newest = logOf(1).front();
    newest.call = "NEW1EST";
    plugin.add(newest);
    for (auto _ : state) {
        plugin.remove(newest);
        plugin.add(newest);
    }
}

void ResetStatsOnFullLog(benchmark::State& state)
{
    for (auto _ : state) {
        state.PauseTiming();
        loadLog(static_cast<std::size_t>(state.range(0)));
        state.ResumeTiming();
        plugin.reset(0, "RA3XYZ", kStart, kEnd, "");
    }
}

void SettingsWrite(benchmark::State& state)
{
    int value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(settings::write(settings::key::kClaimed, std::to_string(++value)));
}

#define SIZES Arg(1000)->Arg(10000)->Arg(100000)
BENCHMARK(GetResult)->SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK(GetResultWithReport)->SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK(LiteralSummaryReference)->Arg(1000)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(OnePassFloor)->SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK(CheckCallMiss)->SIZES;
BENCHMARK(CheckCallHit)->SIZES;
BENCHMARK(CheckCallWorkedBefore)->SIZES;
BENCHMARK(AddData)->SIZES->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK(RemoveOldestAndReAdd)->SIZES->Unit(benchmark::kMicrosecond);
BENCHMARK(RemoveNewestAndReAdd)->SIZES;
BENCHMARK(ResetStatsOnFullLog)->SIZES->Unit(benchmark::kMicrosecond)->Iterations(3);
BENCHMARK(SettingsWrite)->Unit(benchmark::kMicrosecond);

// Collects every result so that the closing table can relate them to each other.
class TableReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> nanoseconds;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            const double perUnit = run.time_unit == benchmark::kNanosecond    ? 1.0
                                   : run.time_unit == benchmark::kMicrosecond ? 1e3
                                   : run.time_unit == benchmark::kMillisecond ? 1e6
                                                                              : 1e9;
            nanoseconds[run.benchmark_name()] = run.GetAdjustedRealTime() * perUnit;
        }
    }
};

void printTable(const TableReporter& r)
{
    auto at = [&](const std::string& name, long size) {
        const auto found = r.nanoseconds.find(name + "/" + std::to_string(size) +
                                              (name == "LiteralSummaryReference" ? "/iterations:1" : ""));
        return found == r.nanoseconds.end() ? 0.0 : found->second;
    };
    std::printf("\n%-26s %8s %12s %12s %12s\n", "operation", "size", "time", "vs literal",
                "vs floor");
    for (const char* name : {"GetResult", "GetResultWithReport", "CheckCallMiss", "CheckCallHit",
                             "CheckCallWorkedBefore", "RemoveOldestAndReAdd", "RemoveNewestAndReAdd"}) {
        for (long size : {1000L, 10000L, 100000L}) {
            const double t = at(name, size);
            const double literal = at("LiteralSummaryReference", size);
            const double floor = at("OnePassFloor", size);
            const bool summary = std::string(name) == "GetResult";
            std::printf("%-26s %8ld %12s %11.1fx %11.2fx\n", name, size, humanTime(t).c_str(),
                        summary && t > 0 ? literal / t : 0.0, summary && floor > 0 ? t / floor : 0.0);
        }
    }
    const double g10 = at("GetResult", 10000), g100 = at("GetResult", 100000);
    if (g10 > 0)
        std::printf("\nGetResult growth 10k -> 100k: %.1fx for 10x the log\n", g100 / g10);
}

void printMemory()
{
    plugin.reset(0, "RA3XYZ", kStart, kEnd, "");
    const std::size_t before = bench::currentProcessStats().heapBytes;
    loadLog(100000);
    const std::size_t after = bench::currentProcessStats().heapBytes;
    std::printf("memory: %.0f bytes per QSO at 100000 QSOs (record struct %zu bytes)\n",
                static_cast<double>(after - before) / 100000.0, sizeof(QsoRecord));
    plugin.reset(0, "RA3XYZ", kStart, kEnd, "");
}

std::string pluginNextToExecutable()
{
    char path[PATH_MAX] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    std::filesystem::path self(n > 0 ? std::string(path, static_cast<std::size_t>(n)) : "");
    return (self.parent_path() / "libStats.so").string();
}

} // namespace

int main(int argc, char** argv)
{
    std::string error;
    if (!plugin.load(pluginNextToExecutable(), host::NameKind::Plain, &error)) {
        std::fprintf(stderr, "stats_bench: %s\n", error.c_str());
        return 1;
    }
    // The plug-in writes its settings below the current directory: use a scratch one.
    const auto scratch = std::filesystem::temp_directory_path() / ("korvane-bench-" + std::to_string(getpid()));
    std::filesystem::create_directories(scratch / "Plugins");
    std::filesystem::current_path(scratch);

    benchmark::Initialize(&argc, argv);
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printTable(reporter);
    printMemory();
    plugin.unload();
    std::filesystem::current_path("/");
    std::filesystem::remove_all(scratch);
    return 0;
}
