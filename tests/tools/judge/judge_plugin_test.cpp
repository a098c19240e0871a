// One run of the built plug-in per log: the tour check refuses repeats, and the score
// is that of the QSOs that count, with or without exchanges in the log.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/Meanwhile.h"
#include "tools/judge/PluginJudge.h"

#include <doctest/doctest.h>

#include <stdexcept>
#include <thread>

using namespace judgetest;

namespace {

struct Line {
    const char* hhmm;
    const char* call;
    unsigned kHz;
};

// UA3AA's log as the reader hands it over; no exchanges when bare.
ContestLogs logOf(const std::vector<Line>& lines, bool bare)
{
    korvane::ReadLog log;
    log.format = korvane::LogFormat::Cabrillo;
    std::uint32_t n = 0;
    for (const Line& l : lines) {
        korvane::LogQso q;
        q.call = l.call;
        q.freqHz = l.kHz * 1000;
        q.band = l.kHz < 2000 ? "160" : "80";
        q.mode = "CW";
        q.rstSent = q.rstReceived = "599";
        if (!bare) {
            q.exchSent = std::to_string(++n);
            q.exchReceived = "7";
        }
        const int hhmm = std::stoi(l.hhmm);
        q.time = makeOleDate(2026, 11, 21, hhmm / 100, hhmm % 100, 0);
        q.line = 6 + n;
        log.qsos.push_back(q);
    }
    ContestLogs logs;
    std::string reason;
    std::size_t line = 0;
    log.header.callsign = "UA3AA";
    REQUIRE(addStation(logs, "UA3AA.cbr", log, false, &reason, &line));
    logs.indexStations();
    return logs;
}

} // namespace

TEST_CASE("the tour check refuses the repeats, and the score counts the rest, exchanges or not")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    PluginJudge plugin;
    std::string error;
    REQUIRE_MESSAGE(plugin.open({pluginPath(), false}, (dir.path() / "work").string(), &error), error);
    const JudgeRules rules = korvaneRules();
    struct Case {
        std::vector<Line> lines;
        std::vector<unsigned> repeats; // positions in the log, from 0
        int score;
    };
    std::vector<Case> cases = {
        /* 1 */ {{{"1500", "UA3BB", 3520}, {"1510", "UA3BB", 3520}, {"1531", "UA3CC", 3520}, {"1531", "UA3BB", 3520}},
                 {1},
                 3 + 2},
        /* 2: other band, other tour, other call: nothing refused */
        {{{"1500", "UA3BB", 3520}, {"1510", "UA3BB", 1830}, {"1530", "UA3BB", 3520}, {"1529", "UA3CC", 3520}},
         {},
         4 + 2},
        /* 3: three in one tour: the second and the third */
        {{{"1500", "UA3BB", 3520}, {"1510", "UA3BB", 3520}, {"1520", "UA3BB", 3520}, {"1601", "UA3BB", 3520}},
         {1, 2},
         2 + 1},
    };
    // Many candidates, each refused by the one before it.
    const std::size_t pairs = 20;
    Case many{{}, {}, 2 * static_cast<int>(pairs)};
    std::vector<std::string> calls;
    for (std::size_t k = 0; k < pairs; ++k)
        calls.push_back("UA" + std::to_string(k % 10) + "A" + std::string(1, static_cast<char>('A' + k / 10 % 26)) +
                        std::string(1, static_cast<char>('A' + k / 260)));
    for (const std::string& call : calls) {
        many.repeats.push_back(static_cast<unsigned>(many.lines.size()) + 1);
        many.lines.push_back({"1500", call.c_str(), 3520});
        many.lines.push_back({"1510", call.c_str(), 3520});
    }
    cases.push_back(many);
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        for (bool bare : {false, true}) {
            CAPTURE(n);
            CAPTURE(bare);
            ContestLogs logs = logOf(c.lines, bare);
            const int score = plugin.judgeLog(logs, 0, rules.start, rules.end, [&](const CompactQso& q) {
                return counts(q.finding, rules);
            });
            std::vector<unsigned> repeats;
            for (unsigned i = 0; i < logs.qsos.size(); ++i)
                if (logs.qsos[i].finding == Finding::TourRepeat)
                    repeats.push_back(i);
            CHECK(repeats == c.repeats);
            CHECK(score == c.score);
        }
    }
}

// The tour check runs while the logs are cross-checked: on a thread of its own where the
// judge starts threads, done by the time finish() returns, its failure thrown there.
TEST_CASE("work done meanwhile is done by finish(), on another thread, and what it throws is thrown there")
{
    std::thread::id ranOn;
    int done = 0;
    Meanwhile work([&] {
        ranOn = std::this_thread::get_id();
        ++done;
    });
    work.finish();
    CHECK(done == 1);
#if !defined(_WIN32)
    CHECK(ranOn != std::this_thread::get_id());
#endif
    work.finish(); // a second wait finds it done

    Meanwhile failing([] { throw std::runtime_error("out of memory"); });
    CHECK_THROWS_WITH_AS(failing.finish(), "out of memory", std::runtime_error);
    CHECK_NOTHROW(failing.finish()); // thrown once

    { Meanwhile unwaited([&] { ++done; }); } // waited for as it goes
    CHECK(done == 2);

    // A caller that keeps the plug-in on its own thread gets the work done there, at once.
    Meanwhile here([&] { ranOn = std::this_thread::get_id(); }, false);
    CHECK(ranOn == std::this_thread::get_id());
}
