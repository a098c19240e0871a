// Reading a contest's logs: what is refused and why, and the same result from one
// reading thread as from two.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/LogLoader.h"
#include "tools/judge/Simulation.h"

#include <doctest/doctest.h>

#include <cstring>
#include <filesystem>

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

void write(const fs::path& file, const std::string& text) { writeFileBytes(file, text); }

bool sameLogs(const ContestLogs& a, const ContestLogs& b)
{
    if (a.stations.size() != b.stations.size() || a.qsos.size() != b.qsos.size() ||
        a.unreadable.size() != b.unreadable.size() || a.calls.size() != b.calls.size() ||
        a.exchanges.size() != b.exchanges.size())
        return false;
    for (std::size_t i = 0; i < a.qsos.size(); ++i)
        if (std::memcmp(&a.qsos[i], &b.qsos[i], sizeof(CompactQso)) != 0)
            return false;
    for (std::size_t i = 0; i < a.calls.size(); ++i)
        if (a.calls.text(static_cast<std::uint32_t>(i)) != b.calls.text(static_cast<std::uint32_t>(i)))
            return false;
    for (std::size_t s = 0; s < a.stations.size(); ++s)
        if (a.stations[s].call != b.stations[s].call || a.stations[s].first != b.stations[s].first ||
            a.stations[s].file != b.stations[s].file)
            return false;
    for (std::size_t u = 0; u < a.unreadable.size(); ++u)
        if (a.unreadable[u].file != b.unreadable[u].file || a.unreadable[u].reason != b.unreadable[u].reason)
            return false;
    return true;
}

} // namespace

TEST_CASE("logs the committee cannot take are listed with the reason and the line; the rest are judged")
{
    TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs / "sub");
    auto good = [](const char* own) { return qso(own, "1500", "UA3BB", 1, 7); };
    write(logs / "a-good.cbr", cabrillo("UA3AA", {good("UA3AA")}));
    write(logs / "b-adif.adi", "<EOH>\n<CALL:5>UA3BB <QSO_DATE:8>20261121 <TIME_ON:4>1500 <BAND:3>80m <MODE:2>CW <EOR>\n");
    write(logs / "c-v2.log", "START-OF-LOG: 2.0\r\nCALLSIGN: UA3CC\r\n" + good("UA3CC") + "\r\nEND-OF-LOG:\r\n");
    write(logs / "d-nocall.log", "START-OF-LOG: 3.0\r\n" + good("UA3DD") + "\r\nEND-OF-LOG:\r\n");
    write(logs / "e-broken.log", cabrillo("UA3EE", {good("UA3EE"), "QSO: 3520 CW 2026-11-21 1501 UA3EE"}));
    write(logs / "f-again.log", cabrillo("UA3AA", {good("UA3AA")}));
    // A log that cannot be read takes no call: the station's next log is judged.
    write(logs / "a-bad-first.log", cabrillo("UA3FF", {"QSO: 3520 CW 2026-11-21 1501 UA3FF"}));
    write(logs / "h-good-second.log", cabrillo("UA3FF", {good("UA3FF")}));
    write(logs / "g-empty.log", "");
    write(logs / ".hidden.cbr", cabrillo("UA3HH", {good("UA3HH")}));
    write(logs / "sub" / "inner.cbr", cabrillo("UA3II", {good("UA3II")}));

    std::vector<std::string> files;
    std::string error;
    REQUIRE(listLogFiles({logs.string()}, files, &error));
    CHECK(files.size() == 9); // no hidden file, nothing from the subfolder
    LoadOptions options;
    const ContestLogs read = loadContestLogs(files, options);
    REQUIRE(read.stations.size() == 2);
    CHECK(read.stations[0].call == "UA3AA");
    CHECK(read.stations[1].call == "UA3FF");
    struct Case {
        const char* file;
        const char* call;
        const char* reason;
        std::size_t line;
    };
    const Case cases[] = {
        /* 0 */ {"a-bad-first.log", "UA3FF", "broken QSO line", 6},
        /* 1 */ {"b-adif.adi", "", "no START-OF-LOG", 0},
        /* 2 */ {"c-v2.log", "UA3CC", "not Cabrillo 3.0", 0},
        /* 3 */ {"d-nocall.log", "", "no CALLSIGN", 0},
        /* 4 */ {"e-broken.log", "UA3EE", "broken QSO line", 7},
        /* 5 */ {"f-again.log", "UA3AA", "a second log from UA3AA", 3},
        /* 6 */ {"g-empty.log", "", "empty", 0},
    };
    REQUIRE(read.unreadable.size() == std::size(cases));
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const Case& c = cases[n];
        const UnreadableLog& u = read.unreadable[n];
        CAPTURE(n + 1);
        CHECK(fs::path(u.file).filename() == c.file);
        CHECK(u.call == c.call);
        CHECK_MESSAGE(u.reason.find(c.reason) != std::string::npos, u.reason);
        CHECK(u.line == c.line);
    }

    // Leniently, the broken log is judged without its broken line.
    options.lenient = true;
    const ContestLogs lenient = loadContestLogs(files, options);
    REQUIRE(lenient.stations.size() == 3);
    CHECK(lenient.stations[0].call == "UA3FF");
    CHECK(lenient.stations[0].count == 0);
    CHECK(lenient.stations[2].call == "UA3EE");
    CHECK(lenient.stations[2].count == 1);
    CHECK(lenient.stations[2].skippedLines == 1);

    CHECK_FALSE(listLogFiles({(logs / "absent").string()}, files, &error));
    CHECK(error.find("neither a log file nor a folder") != std::string::npos);
}

TEST_CASE("two reading threads give exactly what one gives")
{
    TempDir dir;
    SimulationOptions o;
    o.stations = 80;
    o.seed = 5;
    o.start = korvaneRules().start;
    o.end = korvaneRules().end;
    const Simulation sim = simulateContest(o);
    std::string error;
    REQUIRE(writeSimulation(sim, o, dir.path().string(), &error));
    // A few that cannot be read, among the rest.
    write(dir.path() / "logs" / "RA0-notalog.cbr", "hello");
    write(dir.path() / "logs" / "UA0-second.cbr", sim.logs[3].text);

    std::vector<std::string> files;
    REQUIRE(listLogFiles({(dir.path() / "logs").string()}, files, &error));
    LoadOptions one;
    one.workers = 1;
    const ContestLogs single = loadContestLogs(files, one);
    CHECK(single.stations.size() == sim.logs.size());
    CHECK(single.unreadable.size() == 2);
    for (unsigned workers : {2u, 3u}) {
        LoadOptions many;
        many.workers = workers;
        std::size_t calls = 0;
        many.progress = [&](std::size_t done, std::size_t total) {
            CHECK(done == ++calls);
            CHECK(total == files.size());
        };
        CAPTURE(workers);
        CHECK(sameLogs(single, loadContestLogs(files, many)));
        CHECK(calls == files.size());
    }
    CHECK(readLogsOnly(files, 2) == readLogsOnly(files, 1));
}
