// Simulated contests: the same seed gives the same contest, and the judge finds what
// was put into the logs, no more and no less, and scores through the plug-in.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/Accuracy.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/SimulatedCalls.h"
#include "tools/judge/Simulation.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

using namespace judgetest;
using korvane::judge::SimulationRandom;
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
    CHECK(!sim.truth.bothSides.empty());
    CHECK(truth.bothSides == sim.truth.bothSides);
    CHECK(truth.suffixed == sim.truth.suffixed);
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
        SimulationOptions o = smallContest(c.stations, c.seed);
        o.hardCases = false; // judged below, on their own
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

TEST_CASE("the accuracy count: a finding the truth does not hold is a confusion, and the class falls short")
{
    REQUIRE_MESSAGE(!pluginPath().empty(), "KORVANE_PLUGIN names no plug-in");
    TempDir dir;
    SimulationOptions o = smallContest(60, 3);
    o.hardCases = false;
    const Simulation sim = simulateContest(o);
    const Judgement j = judgeSimulation(sim, o, dir.path());
    REQUIRE(measureAccuracy(j, sim.truth).mistakeCount == 0);
    CHECK(meetsEveryClass(measureAccuracy(j, sim.truth), 0.995));

    // One NIL taken out of the truth, and its two lines called an error on each side.
    Truth changed = sim.truth;
    auto nil = std::find_if(changed.lines.begin(), changed.lines.end(),
                            [](const auto& line) { return line.second == Finding::Nil; });
    REQUIRE(nil != changed.lines.end());
    const Truth::LineRef dropped = nil->first;
    changed.lines.erase(nil);
    const Truth::LineRef busted = changed.lines.begin()->first;
    changed.bothSides = {{dropped, busted}, {busted, busted}};
    const Accuracy a = measureAccuracy(j, changed);
    CHECK(a.mistakeCount == 1);
    CHECK(a.confusions == std::map<std::pair<Finding, Finding>, std::size_t>{{{Finding::Confirmed, Finding::Nil}, 1}});
    const ClassScore& nils = a.byFinding[static_cast<int>(Finding::Nil)];
    CHECK(nils.found == nils.correct + 1);
    CHECK(nils.truth == nils.correct);
    CHECK(a.bothSides.truth == 2);
    CHECK(a.bothSides.correct == 1);
    CHECK_FALSE(meetsEveryClass(a, 0.995));
    CHECK(accuracyTable(a).find("confirmed        nil                   1") != std::string::npos);

    // Lines with a call the truth says was signed with a suffix, logged without it.
    const std::string worked = j.logs.calls.text(j.logs.qsos[0].call);
    std::size_t logging = 0;
    for (const CompactQso& q : j.logs.qsos)
        logging += j.logs.calls.text(q.call) == worked;
    Truth suffixes = sim.truth;
    suffixes.suffixed = {worked + "/QRP", worked + "X/P"};
    const Accuracy withSuffix = measureAccuracy(j, suffixes);
    CHECK(withSuffix.suffixDropped.truth == logging);
    CHECK(withSuffix.suffixDropped.correct == logging);
}

// The hard cases at three times the usual error rates, on a contest of 500 stations. A
// near miss whose two sides' logs give nothing away (a hand-typed time that fits its
// place in the log as well as the other side's does) stays a NIL on both sides, so the
// bar is 99.5% per kind of finding rather than none missed.
TEST_CASE("the hard cases are judged right for at least 99.5% of each kind")
{
    REQUIRE_MESSAGE(!pluginPath().empty(), "KORVANE_PLUGIN names no plug-in");
    TempDir dir;
    SimulationOptions o = smallContest(500, 4);
    o.errorScale = 3;
    const Simulation sim = simulateContest(o);
    const Judgement j = judgeSimulation(sim, o, dir.path());
    const Accuracy a = measureAccuracy(j, sim.truth);
    MESSAGE(accuracyTable(a));
    CHECK(meetsEveryClass(a, 0.995));
    CHECK(a.mistakeCount <= 2);
}

TEST_CASE("ranks follow the scores within each category, penalties come off the plug-in's score")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    SimulationOptions o = smallContest(60, 3);
    o.hardCases = false; // the ranks, not the checker, are tried here
    const Simulation simulation = simulateContest(o);
    Judgement j = judgeSimulation(simulation, o, dir.path());
    // The columns the penalty is for hold what was put in: NILs and wrong times, and busted
    // calls and exchanges.
    std::map<std::string, std::uint32_t> nilPut, bustedPut;
    for (const auto& [where, finding] : simulation.truth.lines) {
        nilPut[where.first] += findingKind(finding).column == ResultColumn::Nil ? 1 : 0;
        bustedPut[where.first] += findingKind(finding).column == ResultColumn::Busted ? 1 : 0;
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

// ---- The hard cases: what each puts into the logs, checked line by line. ----

namespace {

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n", from)) != std::string::npos; from = at + 2)
        lines.push_back(text.substr(from, at - from));
    return lines;
}

std::vector<std::string> words(const std::string& line)
{
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string baseOf(const std::string& call) { return call.substr(0, call.find('/')); }

// A QSO line's fields: 1 kHz, 3 date, 4 time, 5 own call, 7 serial sent, 8 call, 10 serial received.
struct SimulatedLogs {
    explicit SimulatedLogs(const Simulation& sim)
    {
        for (const SimulatedLog& log : sim.logs)
            byBase[baseOf(log.call)] = splitLines(log.text);
    }
    std::vector<std::string> fields(const Truth::LineRef& where) const
    {
        return words(byBase.at(baseOf(where.first)).at(where.second - 1));
    }
    std::map<std::string, std::vector<std::string>> byBase; // the lines of each log
};

int minuteOfDay(const std::vector<std::string>& f) { return std::stoi(f[4].substr(0, 2)) * 60 + std::stoi(f[4].substr(2)); }

// The partner's line of a near miss: the same frequency, this station's call, a time 5 to
// 20 minutes away once the partner's clock is taken off.
bool nearMissPartnerFound(const SimulatedLogs& logs, const Truth& truth, const std::vector<std::string>& mine)
{
    const std::string partner = baseOf(mine[8]);
    int partnerOffset = 0;
    for (const auto& [call, minutes] : truth.clockOffsets)
        partnerOffset = baseOf(call) == partner ? minutes : partnerOffset;
    for (const std::string& line : logs.byBase.at(partner)) {
        const std::vector<std::string> f = words(line);
        if (f.size() < 11 || f[1] != mine[1] || baseOf(f[8]) != baseOf(mine[5]))
            continue;
        const int apart = std::abs(((minuteOfDay(mine) - minuteOfDay(f) + partnerOffset) % 1440 + 2160) % 1440 - 720);
        if (apart >= 4 && apart <= 21) // each side logs up to a minute late
            return true;
    }
    return false;
}

// A near miss's line, dated before the line above it or after the line below it (of those
// whose time was not typed wrong too).
bool standsOutOfOrder(const SimulatedLogs& logs, const Truth& truth, const Truth::LineRef& where)
{
    auto when = [&](std::uint32_t line, int step) {
        for (line += step;; line += step) {
            const std::vector<std::string> f = logs.fields({where.first, line});
            const auto found = truth.lines.find({where.first, line});
            if (f.size() < 11 || found == truth.lines.end() || found->second != Finding::WrongTime)
                return f.size() < 11 ? std::string() : f[3] + f[4];
        }
    };
    const std::vector<std::string> f = logs.fields(where);
    const std::string mine = f[3] + f[4], above = when(where.second, -1), below = when(where.second, 1);
    return (!above.empty() && above > mine) || (!below.empty() && below < mine);
}

// A repeat's call written as in an earlier line of the log, in the same mode: the plug-in
// compares calls as written.
bool repeatsAnEarlierLine(const SimulatedLogs& logs, const Truth::LineRef& where)
{
    const std::vector<std::string> repeat = logs.fields(where);
    for (std::uint32_t line = where.second - 1;; --line) {
        const std::vector<std::string> f = logs.fields({where.first, line});
        if (f.size() < 11)
            return false;
        if (f[8] == repeat[8] && f[2] == repeat[2] && f[1].size() == repeat[1].size())
            return true;
    }
}

struct HardCasesSeen {
    std::set<std::string> suffixes, bothSidesPairs;
    bool localWholeHours = false, localHalfHours = false, nearMiss = false, plainSerial = false;
    bool copiedWithSuffix = false, copiedWithout = false;
};

void lookAtBothSides(const SimulatedLogs& logs, const Truth& truth, HardCasesSeen& seen)
{
    for (const auto& [a, b] : truth.bothSides) {
        std::string kinds;
        for (const auto& [mine, theirs] : {std::pair{a, b}, std::pair{b, a}}) {
            const Finding f = truth.lines.at(mine);
            const std::vector<std::string> line = logs.fields(mine), other = logs.fields(theirs);
            const auto& place = mine; // a structured binding cannot be captured before C++20
            CAPTURE(place.first);
            CAPTURE(place.second);
            if (f == Finding::BustedCall)
                CHECK(korvane::judge::simulated::oneEditApart(baseOf(line[8]), baseOf(theirs.first)));
            else if (f == Finding::BustedExchange)
                CHECK(std::stoul(line[10]) != std::stoul(other[7]));
            else
                FAIL_CHECK("an error on each side is a busted call or exchange, not " << findingKey(f));
            kinds += findingKey(f) + std::string(" ");
        }
        seen.bothSidesPairs.insert(kinds);
    }
}

void lookAtCalls(const Simulation& sim, const Truth& truth, HardCasesSeen& seen)
{
    for (const std::string& call : truth.suffixed)
        seen.suffixes.insert(call.substr(call.find('/')));
    for (const SimulatedLog& log : sim.logs) {
        const std::vector<std::string> lines = splitLines(log.text);
        for (std::uint32_t n = 0; n < lines.size(); ++n) {
            const std::vector<std::string> f = words(lines[n]);
            if (f.size() < 11)
                continue;
            seen.plainSerial = seen.plainSerial || f[7].size() < 3;
            for (const std::string& call : truth.suffixed) {
                seen.copiedWithSuffix = seen.copiedWithSuffix || f[8] == call;
                seen.copiedWithout = seen.copiedWithout || f[8] == baseOf(call);
                // A suffix more or less is no bust.
                const auto found = truth.lines.find({log.call, n + 1});
                if (baseOf(f[8]) == baseOf(call) && found != truth.lines.end())
                    CHECK(found->second != Finding::BustedCall);
            }
        }
    }
}

} // namespace

TEST_CASE("a miscopied call is one edit away: a character replaced, added or dropped, or two neighbours swapped")
{
    using namespace korvane::judge::simulated;
    struct Row {
        const char* a;
        const char* b;
        bool apart;
    };
    const Row rows[] = {
        {"UA3AB", "UA3AC", true},   {"UA3AB", "UA3ABC", true}, {"UA3AB", "UA3B", true},
        {"IN3FHE", "IN3HFE", true}, {"RA3AB", "AR3AB", true},  {"UA3AB", "UA3AB", false},
        {"UA3AB", "UA3CD", false},  {"UA3ABC", "UA3CAB", false}, {"UA3AB", "UA3AB/P", false},
        {"UA3AB", "UA3", false},
    };
    for (const Row& r : rows) {
        CAPTURE(r.a);
        CAPTURE(r.b);
        CHECK(oneEditApart(r.a, r.b) == r.apart);
        CHECK(oneEditApart(r.b, r.a) == r.apart);
    }
    // Each way of miscopying turns up, and nothing but one edit.
    for (const bool swaps : {true, false}) {
        SimulationRandom random(1), hardRandom(2);
        std::set<std::string> ways;
        for (int n = 0; n < 400; ++n) {
            const std::string meant = "RK3ABC", wrong = miscopy(meant, random, hardRandom, swaps);
            if (wrong.empty())
                continue;
            CHECK(oneEditApart(meant, wrong));
            if (wrong.size() != meant.size())
                ways.insert(wrong.size() > meant.size() ? "added" : "dropped");
            else
                ways.insert(std::is_permutation(meant.begin(), meant.end(), wrong.begin()) ? "swapped" : "replaced");
        }
        CAPTURE(swaps);
        CHECK(ways == (swaps ? std::set<std::string>{"added", "dropped", "replaced", "swapped"}
                             : std::set<std::string>{"replaced"}));
    }
}

TEST_CASE("the stations' calls stay two edits apart, and a miscopy points at one station only")
{
    using namespace korvane::judge::simulated;
    CallBook book;
    CHECK(book.add("UA3AB", true));
    CHECK_FALSE(book.add("UA3AB", false));
    CHECK_FALSE(book.add("UA3AC", true));
    CHECK(book.add("UA3AC", false)); // when no call two edits away is left
    CHECK(book.pointsOnlyAt("UA3XB", "UA3AB"));
    CHECK_FALSE(book.pointsOnlyAt("UA3AD", "UA3AB")); // UA3AC is one edit away too
    CHECK_FALSE(book.pointsOnlyAt("UA3AC", "UA3AB")); // a station's own call
    CHECK_FALSE(book.pointsOnlyAt("", "UA3AB"));
}

TEST_CASE("every hard case is put in, each the way the truth says, and a seed makes it again")
{
    HardCasesSeen seen;
    for (std::uint64_t seed = 1; seed <= 4; ++seed) {
        CAPTURE(seed);
        SimulationOptions o = smallContest(120, seed);
        o.errorScale = 3;
        const Simulation sim = simulateContest(o);
        // What the truth file says, as the accuracy count reads it.
        TempDir dir;
        std::string error;
        REQUIRE(writeSimulation(sim, o, dir.path().string(), &error));
        Truth truth;
        REQUIRE(readTruth((dir.path() / "truth.txt").string(), truth, &error));
        const SimulatedLogs logs(sim);
        lookAtBothSides(logs, truth, seen);
        lookAtCalls(sim, truth, seen);
        for (const auto& [where, finding] : truth.lines) {
            if (finding == Finding::TourRepeat)
                CHECK(repeatsAnEarlierLine(logs, where));
            if (finding != Finding::WrongTime)
                continue;
            seen.nearMiss = true;
            const auto& place = where; // a structured binding cannot be captured before C++20
            CAPTURE(place.first);
            CAPTURE(place.second);
            CHECK(nearMissPartnerFound(logs, truth, logs.fields(where)));
            CHECK(standsOutOfOrder(logs, truth, where));
        }
        for (const auto& [call, minutes] : truth.clockOffsets) {
            seen.localWholeHours = seen.localWholeHours || (minutes % 60 == 0 && minutes != 0);
            seen.localHalfHours = seen.localHalfHours || (std::abs(minutes) > 60 && minutes % 60 != 0 && minutes % 15 == 0);
            CHECK(std::abs(minutes) <= 14 * 60);
        }
        const Simulation again = simulateContest(o);
        REQUIRE(again.logs.size() == sim.logs.size());
        for (std::size_t i = 0; i < sim.logs.size(); ++i)
            CHECK(again.logs[i].text == sim.logs[i].text);
        CHECK(again.truth.lines == sim.truth.lines);
        CHECK(again.truth.bothSides == sim.truth.bothSides);
        CHECK(again.truth.suffixed == sim.truth.suffixed);
        CHECK(again.truth.clockOffsets == sim.truth.clockOffsets);
    }
    CHECK(seen.suffixes == std::set<std::string>{"/M", "/P", "/QRP"});
    CHECK(seen.copiedWithSuffix);
    CHECK(seen.copiedWithout);
    CHECK(seen.bothSidesPairs.count("busted-call busted-call "));
    CHECK((seen.bothSidesPairs.count("busted-call busted-exchange ") ||
           seen.bothSidesPairs.count("busted-exchange busted-call ")));
    CHECK(seen.bothSidesPairs.count("busted-exchange busted-exchange "));
    CHECK(seen.nearMiss);
    CHECK(seen.localWholeHours);
    CHECK(seen.localHalfHours);
    CHECK(seen.plainSerial);
}

TEST_CASE("without the hard cases, none of them is put in")
{
    SimulationOptions o = smallContest(120, 1);
    o.errorScale = 3;
    o.hardCases = false;
    const Simulation sim = simulateContest(o);
    HardCasesSeen seen;
    lookAtCalls(sim, sim.truth, seen);
    CHECK(sim.truth.bothSides.empty());
    CHECK(!seen.copiedWithout);
    CHECK(!seen.plainSerial);
    for (const auto& [call, minutes] : sim.truth.clockOffsets)
        CHECK(std::abs(minutes) <= 10);
    for (const auto& [where, finding] : sim.truth.lines)
        CHECK(finding != Finding::WrongTime);
}

TEST_CASE("the judge's reader takes every simulated log whole, miscopied calls and all")
{
    TempDir dir;
    SimulationOptions o = smallContest(200, 11);
    o.errorScale = 5;
    const Simulation sim = simulateContest(o);
    std::string error;
    REQUIRE(writeSimulation(sim, o, dir.path().string(), &error));
    std::vector<std::string> files;
    REQUIRE(listLogFiles({(dir.path() / "logs").string()}, files, &error));
    const ContestLogs logs = loadContestLogs(files, LoadOptions{});
    for (const UnreadableLog& u : logs.unreadable)
        FAIL_CHECK(u.file << ":" << u.line << ": " << u.reason);
    CHECK(logs.stations.size() == sim.logs.size());
    CHECK(logs.qsos.size() == sim.truth.qsoLines);
}

TEST_CASE("one thread or two, and scores from a helper process or not: the same verdicts")
{
    REQUIRE_MESSAGE(!pluginPath().empty(), "KORVANE_PLUGIN names no plug-in");
    SimulationOptions o = smallContest(150, 21);
    const Simulation sim = simulateContest(o);
    TempDir one, two;
    const Judgement a = judgeSimulation(sim, o, one.path(), 1);
    const Judgement b = judgeSimulation(sim, o, two.path(), 2);
    REQUIRE(a.logs.qsos.size() == b.logs.qsos.size());
    REQUIRE(a.logs.stations.size() == b.logs.stations.size());
    std::size_t differ = 0;
    for (std::size_t i = 0; i < a.logs.qsos.size(); ++i)
        differ += a.logs.qsos[i].finding != b.logs.qsos[i].finding || a.logs.qsos[i].flags != b.logs.qsos[i].flags ||
                  a.check.partner[i] != b.check.partner[i];
    CHECK(differ == 0);
    bool clocksCorrected = false;
    for (std::size_t s = 0; s < a.logs.stations.size(); ++s) {
        CAPTURE(a.logs.stations[s].call);
        CHECK(a.check.offsets[s].minutes == b.check.offsets[s].minutes);
        CHECK(a.results[s].pluginScore == b.results[s].pluginScore);
        CHECK(a.results[s].score == b.results[s].score);
        clocksCorrected = clocksCorrected || a.check.offsets[s].minutes != 0;
    }
    CHECK(a.check.nearMiss == b.check.nearMiss);
    CHECK(clocksCorrected); // the contest holds what the split steps decide
}
