// Simulated contests: the same seed gives the same contest, and the judge finds what
// was put into the logs, no more and no less, and scores through the plug-in.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/Accuracy.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/Simulation.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <map>
#include <set>

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

SimulationOptions smallContest(unsigned stations, std::uint64_t seed)
{
    SimulationOptions o;
    o.stations = stations;
    o.seed = seed;
    o.start = korvaneRules().start;
    o.end = korvaneRules().end;
    return o;
}

// Writes the simulation below dir and judges it with the built plug-in.
Judgement judgeSimulation(const Simulation& sim, const SimulationOptions& o, const fs::path& dir,
                          unsigned workers = 2)
{
    std::string error;
    REQUIRE_MESSAGE(writeSimulation(sim, o, dir.string(), &error), error);
    JudgeOptions options;
    REQUIRE(listLogFiles({(dir / "logs").string()}, options.files, &error));
    options.rules = korvaneRules();
    options.workers = workers;
    options.plugin.path = pluginPath();
    options.workFolder = (dir / "work").string();
    Judgement j;
    REQUIRE_MESSAGE(judgeContest(options, j, &error), error);
    fs::current_path(dir);
    return j;
}

} // namespace

TEST_CASE("a seed gives the same contest every time; another seed another")
{
    const Simulation a = simulateContest(smallContest(30, 7));
    const Simulation b = simulateContest(smallContest(30, 7));
    const Simulation c = simulateContest(smallContest(30, 8));
    REQUIRE(a.logs.size() == b.logs.size());
    for (std::size_t i = 0; i < a.logs.size(); ++i)
        CHECK(a.logs[i].text == b.logs[i].text);
    CHECK(a.truth.lines == b.truth.lines);
    CHECK(a.truth.clockOffsets == b.truth.clockOffsets);
    CHECK((c.logs.size() != a.logs.size() || c.logs[0].text != a.logs[0].text));
}

TEST_CASE("the truth file reads back as written")
{
    TempDir dir;
    const SimulationOptions o = smallContest(40, 2);
    const Simulation sim = simulateContest(o);
    std::string error;
    REQUIRE(writeSimulation(sim, o, dir.path().string(), &error));
    Truth truth;
    REQUIRE_MESSAGE(readTruth((dir.path() / "truth.txt").string(), truth, &error), error);
    CHECK(truth.lines == sim.truth.lines);
    CHECK(truth.clockOffsets == sim.truth.clockOffsets);
    CHECK(truth.logs == sim.logs.size());
    CHECK(truth.qsoLines == sim.truth.qsoLines);
    CHECK(fs::exists(dir.path() / "logs" / (sim.logs[0].call + ".cbr")));
}

TEST_CASE("small simulated contests are judged exactly: every error put in is found, nothing else")
{
    REQUIRE_MESSAGE(!pluginPath().empty(), "KORVANE_PLUGIN names no plug-in");
    struct Case {
        unsigned stations;
        std::uint64_t seed;
    };
    const Case cases[] = {/* 1 */ {60, 3}, /* 2 */ {150, 21}};
    Accuracy total;
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        TempDir dir;
        const SimulationOptions o = smallContest(c.stations, c.seed);
        const Simulation sim = simulateContest(o);
        const Judgement j = judgeSimulation(sim, o, dir.path());
        const Accuracy a = measureAccuracy(j, sim.truth);
        for (const std::string& m : a.mistakes)
            MESSAGE(m);
        CHECK(a.mistakeCount == 0);
        for (int f = 0; f < kFindingCount; ++f)
            total.byFinding[f].truth += a.byFinding[f].truth;
        total.clocks.truth += a.clocks.truth;

        // The plug-in scored exactly the QSOs that count: one point each, one per call.
        for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
            const Station& st = j.logs.stations[s];
            std::set<std::uint32_t> calls;
            int valid = 0;
            for (std::uint32_t i = st.first; i < st.first + st.count; ++i)
                if (counts(j.logs.qsos[i].finding, j.rules)) {
                    ++valid;
                    calls.insert(j.logs.qsos[i].call);
                }
            CAPTURE(st.call);
            CHECK(j.results[s].pluginScore == valid + static_cast<int>(calls.size()));
            CHECK(j.results[s].valid == static_cast<std::uint32_t>(valid));
        }
    }
    // Every kind of error was put in somewhere, so the exact match above means something.
    for (Finding f : {Finding::Unique, Finding::BustedExchange, Finding::Nil, Finding::BustedCall,
                      Finding::TourRepeat, Finding::OutOfPeriod, Finding::Duplicate}) {
        CAPTURE(findingKey(f));
        CHECK(total.byFinding[static_cast<int>(f)].truth > 0);
    }
    CHECK(total.clocks.truth > 0);
}

TEST_CASE("ranks follow the scores within each category, penalties come off the plug-in's score")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    const SimulationOptions o = smallContest(60, 3);
    const Simulation simulation = simulateContest(o);
    Judgement j = judgeSimulation(simulation, o, dir.path());
    // The columns the penalty is for hold what was put in: NILs, and busted calls and exchanges.
    std::map<std::string, std::uint32_t> nilPut, bustedPut;
    for (const auto& [where, finding] : simulation.truth.lines) {
        nilPut[where.first] += finding == Finding::Nil ? 1 : 0;
        bustedPut[where.first] += finding == Finding::BustedCall || finding == Finding::BustedExchange ? 1 : 0;
    }
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        CAPTURE(j.logs.stations[s].call);
        CHECK(j.results[s].nil == nilPut[j.logs.stations[s].call]);
        CHECK(j.results[s].busted == bustedPut[j.logs.stations[s].call]);
    }
    std::size_t ranked = 0;
    for (const Category& c : j.categories) {
        for (std::size_t k = 0; k < c.stations.size(); ++k) {
            const StationResult& r = j.results[c.stations[k]];
            CHECK(j.logs.stations[c.stations[k]].category == c.name);
            if (k == 0)
                CHECK(r.rank == 1);
            else if (r.score == j.results[c.stations[k - 1]].score)
                CHECK(r.rank == j.results[c.stations[k - 1]].rank);
            else
                CHECK((r.score < j.results[c.stations[k - 1]].score && r.rank == k + 1));
        }
        ranked += c.stations.size();
    }
    CHECK(ranked == j.logs.stations.size());

    j.rules.penalty = 2;
    rankStations(j);
    bool penalised = false;
    for (const StationResult& r : j.results) {
        CHECK(r.score == r.pluginScore - 2 * static_cast<long long>(r.nil + r.busted));
        penalised = penalised || r.nil + r.busted > 0;
    }
    CHECK(penalised);
}
