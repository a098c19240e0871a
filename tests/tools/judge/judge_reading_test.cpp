// Reading a contest's logs: what is refused and why, and the same result from one
// reading thread as from two.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/LogLoader.h"
#include "tools/judge/Simulation.h"

#include <doctest/doctest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

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
    writeFileBytes(logs / "a-good.cbr", cabrillo("UA3AA", {good("UA3AA")}));
    // An ADIF log that names no own call.
    writeFileBytes(logs / "b-adif.adi", "<EOH>\n<CALL:5>UA3BB <QSO_DATE:8>20261121 <TIME_ON:4>1500 <BAND:3>80m <MODE:2>CW <EOR>\n");
    writeFileBytes(logs / "c-v2.log", "\xEF\xBB\xBFSTART-OF-LOG: 2.0\r\nCALLSIGN: UA3CC\r\n" + good("UA3CC") + "\r\nEND-OF-LOG:\r\n");
    writeFileBytes(logs / "d-nocall.log", "START-OF-LOG: 3.0\r\n" + good("UA3DD") + "\r\nEND-OF-LOG:\r\n");
    writeFileBytes(logs / "e-broken.log", cabrillo("UA3EE", {good("UA3EE"), "QSO: 3520 CW 2026-11-21 1501 UA3EE"}));
    writeFileBytes(logs / "f-again.log", cabrillo("UA3AA", {good("UA3AA")}));
    // The copy written earlier gives way, whatever tick of the file clock each write fell on.
    const auto written = fs::file_time_type::clock::now();
    fs::last_write_time(logs / "f-again.log", written - std::chrono::minutes(2));
    fs::last_write_time(logs / "a-good.cbr", written - std::chrono::minutes(1));
    // A log that cannot be read takes no call: the station's next log is judged.
    writeFileBytes(logs / "a-bad-first.log", cabrillo("UA3FF", {"QSO: 3520 CW 2026-11-21 1501 UA3FF"}));
    writeFileBytes(logs / "h-good-second.log", cabrillo("UA3FF", {good("UA3FF")}));
    writeFileBytes(logs / "g-empty.log", "");
    writeFileBytes(logs / ".hidden.cbr", cabrillo("UA3HH", {good("UA3HH")}));
    writeFileBytes(logs / "sub" / "inner.cbr", cabrillo("UA3II", {good("UA3II")}));

    std::vector<std::string> files;
    std::string error;
    std::vector<std::string> hidden;
    REQUIRE(listLogFiles({logs.string()}, files, &error, &hidden));
    CHECK(files.size() == 10); // no hidden file; the subfolder's too
    REQUIRE(hidden.size() == 1);
    CHECK(fs::path(hidden[0]).filename() == ".hidden.cbr");
    LoadOptions options;
    const ContestLogs read = loadContestLogs(files, options);
    std::vector<std::string> calls;
    for (const Station& s : read.stations)
        calls.push_back(s.call);
    // Cabrillo 2.0 and a log without CALLSIGN are judged; so is the subfolder's log.
    CHECK(calls == std::vector<std::string>{"UA3AA", "UA3CC", "UA3DD", "UA3FF", "UA3II"});
    REQUIRE(read.stations.size() == 5);
    REQUIRE(read.stations[2].notes.size() == 1);
    CHECK(read.stations[2].notes[0].find("no CALLSIGN") != std::string::npos);
    CHECK(read.stations[0].notes.empty());
    struct Case {
        const char* file;
        const char* call;
        const char* reason;
        std::size_t line;
    };
    const Case cases[] = {
        /* 0 */ {"a-bad-first.log", "UA3FF", "broken QSO line", 6},
        /* 1 */ {"b-adif.adi", "", "no STATION_CALLSIGN", 0},
        /* 2 */ {"e-broken.log", "UA3EE", "broken QSO line", 7},
        /* 3 */ {"g-empty.log", "", "empty", 0},
        /* 4 */ {"f-again.log", "UA3AA", "an older copy of UA3AA's log", 0},
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

    // Leniently, the broken log is judged without its broken line, and UA3FF's empty
    // log gives way to its log with the QSO.
    options.lenient = true;
    const ContestLogs lenient = loadContestLogs(files, options);
    REQUIRE(lenient.stations.size() == 6);
    CHECK(lenient.stations[3].call == "UA3EE");
    CHECK(lenient.stations[3].count == 1);
    CHECK(lenient.stations[3].skippedLines == 1);
    CHECK(lenient.stations[4].call == "UA3FF");
    CHECK(fs::path(lenient.stations[4].file).filename() == "h-good-second.log");
    CHECK(lenient.stations[4].count == 1);

    CHECK_FALSE(listLogFiles({(logs / "absent").string()}, files, &error));
    CHECK(error.find("neither a log file nor a folder") != std::string::npos);
}

TEST_CASE("logs that claim one call: the newest copy of one log, else the committee's choice")
{
    TempDir dir;
    auto line = [](const char* hhmm, const char* call) { return qso("UA3AA", hhmm, call, 1, 7); };
    const std::string full = cabrillo("UA3AA", {line("1500", "UA3BB"), line("1501", "UA3CC")});
    const std::string shorter = cabrillo("UA3AA", {line("1500", "UA3BB")});
    const std::string forged = cabrillo("UA3AA", {line("1502", "UA3DD")});
    auto load = [&](const std::vector<std::pair<const char*, const std::string*>>& named,
                    std::map<std::string, std::string> chosen = {}) {
        std::vector<std::string> files;
        auto when = fs::file_time_type::clock::now() - std::chrono::hours(1);
        for (const auto& [name, text] : named) {
            const fs::path file = dir.path() / name;
            writeFileBytes(file, *text);
            fs::last_write_time(file, when += std::chrono::minutes(1)); // later in the list, newer
            files.push_back(file.string());
        }
        LoadOptions options;
        options.chosen = std::move(chosen);
        return loadContestLogs(files, options);
    };
    // A log sent again with a QSO taken out: the newer is judged, whichever is larger.
    ContestLogs again = load({{"first.cbr", &full}, {"second.cbr", &shorter}});
    REQUIRE(again.stations.size() == 1);
    CHECK(fs::path(again.stations[0].file).filename() == "second.cbr");
    CHECK(again.stations[0].count == 1);
    CHECK(again.stations[0].first == 0);
    REQUIRE(again.unreadable.size() == 1);
    CHECK(again.unreadable[0].reason.find("second.cbr is newer") != std::string::npos);

    // A log with other QSOs that claims the call wins nothing by its file's name.
    ContestLogs rival = load({{"0.cbr", &forged}, {"real.cbr", &full}, {"other.cbr", &shorter}});
    CHECK(rival.stations.empty());
    REQUIRE(rival.unreadable.size() == 3);
    for (const UnreadableLog& u : rival.unreadable)
        CHECK_MESSAGE(u.reason.find("choose one with --choose UA3AA=FILE") != std::string::npos, u.reason);

    // The committee chooses; the QSOs judged are the chosen log's.
    for (const char* choice : {"real.cbr", "REAL"}) {
        CAPTURE(choice);
        ContestLogs chosen = load({{"0.cbr", &forged}, {"real.cbr", &full}}, {{"UA3AA", choice}});
        const bool named = std::string(choice) == "real.cbr";
        REQUIRE(chosen.stations.size() == (named ? 1u : 0u));
        if (named) {
            CHECK(chosen.stations[0].count == 2);
            CHECK(chosen.qsos.size() == 2);
            CHECK(chosen.stationOfCall.size() == chosen.calls.size());
        } else {
            CHECK(chosen.unreadable[0].reason.find("names none of the logs") != std::string::npos);
        }
    }
}

TEST_CASE("the committee's check log marks: whatever the header says, only the calls named")
{
    TempDir dir;
    const fs::path a = dir.path() / "a.cbr", b = dir.path() / "b.cbr";
    writeFileBytes(a, cabrillo("UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}));
    writeFileBytes(b, cabrillo("UA3BB/P", {qso("UA3BB/P", "1500", "UA3AA", 7, 1)}));
    LoadOptions options;
    options.checkLogCalls = {"UA3BB/P"};
    const ContestLogs logs = loadContestLogs({a.string(), b.string()}, options);
    REQUIRE(logs.stations.size() == 2);
    CHECK_FALSE(logs.stations[0].checkLog);
    CHECK(logs.stations[1].checkLog);
    options.checkLogCalls.clear();
    CHECK_FALSE(loadContestLogs({b.string()}, options).stations[0].checkLog);
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
    writeFileBytes(dir.path() / "logs" / "RA0-notalog.cbr", "hello");
    writeFileBytes(dir.path() / "logs" / "UA0-second.cbr", sim.logs[3].text);

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
