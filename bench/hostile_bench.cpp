// What a hostile log costs the judge: one ADIF record of many fields, and one log made
// of tour repeats that the plug-in's score must lose again. Both once grew with the
// square of their size; each now grows with the size.
#include "tools/judge/PluginJudge.h"
#include "tools/logs/LogFile.h"

#include "contract/OleDateTime.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

using namespace korvane;
using namespace korvane::judge;

namespace {

void AdifRecordOfManyFields(benchmark::State& state)
{
    std::string text = "<EOH>\n<CALL:5>UA1AA<QSO_DATE:8>20261121<TIME_ON:4>1500<BAND:3>80m<MODE:2>CW";
    for (long i = 0; i < state.range(0); ++i)
        text += "<APP_X_" + std::to_string(i) + ":1>x";
    text += "<EOR>\n";
    for (auto _ : state) {
        const LogFileResult read = readLogText(text);
        if (read.log.qsos.size() != 1)
            state.SkipWithError("the record was not read");
    }
}

// A station's log of pairs: each call twice in one half hour, the second a repeat.
ContestLogs logOfRepeats(long pairs)
{
    ReadLog log;
    log.format = LogFormat::Cabrillo;
    for (long i = 0; i < 2 * pairs; ++i) {
        LogQso q;
        q.call = "UA" + std::to_string(1 + i / 2 % 9) + "A" + std::string(1, static_cast<char>('A' + i / 18 % 26)) +
                 std::string(1, static_cast<char>('A' + i / 468 % 26)) + std::string(1, static_cast<char>('A' + i / 12168 % 26));
        q.freqHz = 3520000;
        q.band = "80";
        q.mode = "CW";
        q.rstSent = q.rstReceived = "599";
        q.exchSent = std::to_string(i + 1);
        q.exchReceived = "7";
        const long minute = i / 2 % 180;
        q.time = makeOleDate(2026, 11, 21, 15 + static_cast<int>(minute / 60), static_cast<int>(minute % 60), i % 2 * 20);
        q.line = static_cast<std::size_t>(6 + i);
        log.qsos.push_back(q);
    }
    ContestLogs logs;
    std::string reason;
    std::size_t line = 0;
    log.format = LogFormat::Cabrillo;
    log.header.callsign = "UA3AA";
    addStation(logs, "UA3AA.cbr", log, false, &reason, &line);
    logs.indexStations();
    return logs;
}

void JudgeLogOfRepeats(benchmark::State& state)
{
    PluginJudge plugin;
    const auto work = std::filesystem::temp_directory_path() / "korvane-hostile-bench";
    if (!plugin.open({}, work.string(), nullptr)) {
        state.SkipWithError("no plug-in next to the benchmark");
        return;
    }
    const Minute start = *minuteOf(makeOleDate(2026, 11, 21, 15, 0, 0));
    const Minute end = *minuteOf(makeOleDate(2026, 11, 21, 18, 0, 0));
    for (auto _ : state) {
        state.PauseTiming();
        ContestLogs logs = logOfRepeats(state.range(0));
        state.ResumeTiming();
        benchmark::DoNotOptimize(plugin.judgeLog(logs, 0, start, end, [](const CompactQso& q) {
            return q.finding != Finding::TourRepeat;
        }));
    }
}

} // namespace

BENCHMARK(AdifRecordOfManyFields)->Arg(10000)->Arg(80000)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(JudgeLogOfRepeats)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
