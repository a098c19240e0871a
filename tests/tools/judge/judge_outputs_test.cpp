// What the committee publishes, written from a simulated contest: the tables, the
// reports, and the page as a real browser renders it.
#include "JudgeTestSupport.h"

#include "Golden.h"
#include "TempDir.h"

#include "tools/judge/CrossCheck.h"
#include "tools/judge/FindingDetail.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/LogQuotes.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/Simulation.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <regex>

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

std::size_t occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

Judgement judged(const fs::path& dir)
{
    SimulationOptions o;
    o.stations = 40;
    o.seed = 3;
    o.start = korvaneRules().start;
    o.end = korvaneRules().end;
    std::string error;
    REQUIRE(writeSimulation(simulateContest(o), o, dir.string(), &error));
    writeFileBytes(dir / "logs" / "ZZ-broken.cbr", "START-OF-LOG: 3.0\r\nCALLSIGN: UA0ZZ\r\nQSO: 3520 CW\r\n");
    JudgeOptions options;
    REQUIRE(listLogFiles({(dir / "logs").string()}, options.files, &error));
    options.rules = korvaneRules();
    options.plugin.path = pluginPath();
    options.workFolder = (dir / "work").string();
    Judgement j;
    REQUIRE_MESSAGE(judgeContest(options, j, &error), error);
    return j;
}

#if !defined(_WIN32)
// Runs a command and returns what it printed; the status through status.
std::string run(const std::string& command, int* status)
{
    std::string out;
    std::FILE* p = popen(command.c_str(), "r");
    REQUIRE(p);
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, p)) > 0;)
        out.append(chunk, n);
    *status = pclose(p);
    return out;
}
#endif

} // namespace

TEST_CASE("the contest period as the published files word it")
{
    struct Case {
        int startDay, startHour, endDay, endHour, endMinute;
        const char* words;
    };
    const Case cases[] = {
        /* 1 */ {21, 15, 21, 18, 0, "2026-11-21 15:00 to 18:00 UTC"},
        /* 2 */ {21, 18, 22, 0, 0, "2026-11-21 18:00 to 00:00 UTC"},
        /* 3 */ {21, 18, 22, 0, 1, "2026-11-21 18:00 to 2026-11-22 00:01 UTC"},
        /* 4 */ {21, 0, 23, 0, 0, "2026-11-21 00:00 to 2026-11-23 00:00 UTC"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        JudgeRules rules;
        rules.start = *minuteOf(makeOleDate(2026, 11, c.startDay, c.startHour, 0, 0));
        rules.end = *minuteOf(makeOleDate(2026, 11, c.endDay, c.endHour, c.endMinute, 0));
        CHECK(periodText(rules) == c.words);
    }
}

TEST_CASE("the published page escapes what a file name or a reason may hold")
{
    Judgement j;
    j.rules = korvaneRules();
    j.logs.unreadable.push_back({"logs/a&b.log", "", "empty", 0});
    j.logs.unreadable.push_back({"logs/<i>x\"y'.log", "UA3AA", "a <b> reason", 4});
    const std::string html = resultsHtml(j);
    CHECK(html.find("<li>logs/a&amp;b.log: empty</li>") != std::string::npos);
    CHECK(html.find("<li>logs/&lt;i&gt;x&quot;y&#39;.log, line 4 (UA3AA): a &lt;b&gt; reason</li>") !=
          std::string::npos);
    CHECK(html.find("a&b") == std::string::npos);
    CHECK(html.find("<i>") == std::string::npos);
}

TEST_CASE("a small contest made by hand, as its reports, JSON and page tell it")
{
    Judgement j;
    j.logs = contestOf({{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7), qso("UA3AA", "1510", "UA3BB", 2, 8),
                                   qso("UA3AA", "1520", "UA3BB", 3, 9)}},
                        {"UA3BB", {qso("UA3BB", "1501", "UA3AA", 7, 1), qso("UA3BB", "1510", "UA3AA", 8, 2)}},
                        {"RA3CC/P", {qso("RA3CC/P", "1530", "UA3AA", 1, 4)}}});
    j.rules = korvaneRules();
    CheckOptions check;
    check.start = j.rules.start;
    check.end = j.rules.end;
    j.check = crossCheck(j.logs, check);
    // The plug-in's tour check refuses UA3AA's second QSO with UA3BB in tour 30.
    j.logs.qsos[2].finding = Finding::TourRepeat;
    j.results.resize(j.logs.stations.size());
    rankStations(j);

    const std::string mine = stationReport(j, 0);
    CHECK_MESSAGE(mine.find("QSOs that lost points:\nLine 6: " + std::string(findingWords(Finding::BustedCall)) +
                            ": logged UA3BC, the station worked was UA3BB\n") != std::string::npos,
                  mine);
    CHECK_MESSAGE(mine.find("Line 8: " + std::string(findingWords(Finding::TourRepeat)) +
                            ": the same station, band and mode as line 7, in the same half-hour tour\n") !=
                      std::string::npos,
                  mine);
    CHECK(mine.find("for your information") == std::string::npos);
    // The summary: a row per kind, like with like, and the tables' columns adding them up.
    CHECK_MESSAGE(mine.find("  Confirmed                       1\n"
                            "  Not checked (no log)            0\n"
                            "  Unique (counted)                0\n"
                            "  Not in log (NIL)                0\n"
                            "  Wrong time (near miss)          0\n"
                            "  Busted call                     1\n"
                            "  Busted exchange                 0\n"
                            "  Repeat in the same tour         1\n"
                            "  Outside the contest period      0\n"
                            "  Not a contest band or mode      0\n"
                            "  Band not the frequency's        0\n"
                            "  Duplicate line                  0\n"
                            "  Valid QSOs                      1\n") != std::string::npos,
                  mine);
    CHECK(j.results[0].busted == 1);
    CHECK(j.results[0].nil == 0);
    CHECK(j.results[2].nil == 1);
    CHECK(j.results[2].busted == 0);
    j.rules.uniquesValid = false;
    CHECK(stationReport(j, 0).find("  Unique (not counted)            0\n") != std::string::npos);
    j.rules.uniquesValid = true;

    // The other side of the busted call keeps its QSO, and is told why.
    const std::string theirs = stationReport(j, 1);
    CHECK_MESSAGE(theirs.find("QSOs that lost points:\n  none\n\nQSOs that count, for your information:\nLine 6: " +
                              std::string(findingWords(Finding::Confirmed)) +
                              ": UA3AA logged this QSO with the call UA3BC; it counts for you\n") !=
                      std::string::npos,
                  theirs);

    const std::string json = resultsJson(j);
    CHECK(occurrences(json, "\"other_busted_call\": true") == 1);
    CHECK(json.find("\"start\": \"2026-11-21T15:00:00Z\", \"end\": \"2026-11-21T18:00:00Z\"") != std::string::npos);
    CHECK(occurrences(json, "\"clock_offset\": null") == 3);

    const std::string html = resultsHtml(j);
    CHECK(html.find("<a href=\"reports/RA3CC-P.txt\">RA3CC/P</a>") != std::string::npos);
}

TEST_CASE("tables, JSON and a report per station: every station once, every finding explained")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    const Judgement j = judged(dir.path());
    const fs::path out = dir.path() / "out";
    std::string error;
    REQUIRE_MESSAGE(writeResults(j, out.string(), &error), error);

    const std::string text = readFileBytes(out / "results.txt");
    const std::string csv = readFileBytes(out / "results.csv");
    const std::string json = readFileBytes(out / "results.json");
    CHECK(occurrences(csv, "\n") == j.logs.stations.size() + 1);
    CHECK(csv.rfind("category,rank,overall_rank,call,claimed_score,qsos,valid,nil,busted_call,busted_exchange,"
                    "unique,unique_percent,not_checked,score\n",
                    0) == 0);
    for (const Category& c : j.categories)
        CHECK(occurrences(text, "\n" + c.name + "\n") == 1);
    CHECK(text.find("ZZ-broken.cbr:3: UA0ZZ: broken QSO line") != std::string::npos);
    CHECK(json.find("\"reason\": \"broken QSO line") != std::string::npos);

    std::size_t findings = 0;
    LogQuotes quotes(j.logs); // each line as written in its file
    for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s) {
        const Station& st = j.logs.stations[s];
        CAPTURE(st.call);
        CHECK(occurrences(csv, "," + st.call + ",") == 1);
        CHECK(occurrences(json, "\"report\": \"reports/" + reportFileName(st.call) + "\"") == 1);
        const std::string report = readFileBytes(out / "reports" / reportFileName(st.call));
        REQUIRE(!report.empty());
        // Every QSO that lost points stands in the report with its line and the reason.
        for (std::uint32_t i = st.first; i < st.first + st.count; ++i) {
            const CompactQso& q = j.logs.qsos[i];
            if (!worthReporting(q))
                continue;
            ++findings;
            const std::string entry = "Line " + std::to_string(q.line) + ": " + findingWords(q.finding) +
                                      ": " + explainFinding(j, s, i).why + "\n    " + quotes.quote(s, i);
            CHECK(report.find(entry) != std::string::npos);
        }
        // Minutes, or whole hours first for a log kept in local time.
        if (const int off = std::abs(j.check.offsets[s].minutes); off != 0)
            CHECK(report.find("Your clock was " + (off < 60 ? std::to_string(off) + " minute"
                                                             : std::to_string(off / 60) + " hour")) !=
                  std::string::npos);
    }
    CHECK(findings > 0);
    CHECK(occurrences(json, "\"finding\": ") == findings);

    // The style of score and tours: names in snake_case, times in ISO 8601 UTC.
    const std::regex name("\"([^\"\\\\]*)\": ");
    std::size_t names = 0;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), name); it != std::sregex_iterator(); ++it) {
        ++names;
        CHECK_MESSAGE(std::regex_match((*it)[1].str(), std::regex("[a-z0-9_]+")), (*it)[1].str());
    }
    CHECK(names > 100);
    const std::regex time("\"(time|start|end)\": \"([^\"]*)\"");
    std::size_t times = 0;
    for (auto it = std::sregex_iterator(json.begin(), json.end(), time); it != std::sregex_iterator(); ++it) {
        ++times;
        CHECK_MESSAGE(std::regex_match((*it)[2].str(), std::regex("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:00Z")),
                      (*it)[2].str());
    }
    CHECK(times > 2);
}

// The working folder for a scope: logs named by a relative path keep the temporary
// folder's name out of the published files.
namespace {
struct WorkingFolder {
    explicit WorkingFolder(const fs::path& dir) : before(fs::current_path()) { fs::current_path(dir); }
    ~WorkingFolder() { fs::current_path(before); }
    fs::path before;
};
} // namespace

TEST_CASE("a small simulated contest's published files, byte for byte")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    SimulationOptions o;
    o.stations = 6;
    o.seed = 7;
    o.qsosPerLog = 8;
    o.errorScale = 8; // a NIL, a busted call, a duplicate and a unique in a few QSOs
    o.start = korvaneRules().start;
    o.end = korvaneRules().end;
    std::string error;
    const Simulation sim = simulateContest(o);
    REQUIRE(writeSimulation(sim, o, dir.path().string(), &error));
    const WorkingFolder inside(dir.path());
    JudgeOptions options;
    // Named with '/' on every system, as a folder listing would not be on Windows.
    for (const SimulatedLog& log : sim.logs)
        options.files.push_back("logs/" + log.call + ".cbr");
    std::sort(options.files.begin(), options.files.end());
    options.rules = korvaneRules();
    options.plugin.path = pluginPath();
    options.workFolder = "work";
    Judgement j;
    REQUIRE_MESSAGE(judgeContest(options, j, &error), error);
    REQUIRE_MESSAGE(writeResults(j, "out", &error), error);

    // KORVANE_KEEP_GOLDEN=DIR writes what was published there, to renew the goldens.
    const char* keep = std::getenv("KORVANE_KEEP_GOLDEN");
    for (const char* name : {"results.txt", "results.csv", "results.json", "results.html", "reports/UA8LZ.txt"}) {
        CAPTURE(name);
        const std::string published = readFileBytes(fs::path("out") / name);
        if (keep != nullptr) {
            fs::create_directories(fs::path(keep) / "reports");
            writeFileBytes(fs::path(keep) / name, published);
        }
        CHECK(golden::equalsFile(published, std::string("judge/") + name));
    }
}

TEST_CASE("the published page in a real browser: every category and call, each call linking to its report")
{
#if defined(_WIN32)
    MESSAGE("SKIPPED: the page is rendered by the native build's test, not under Wine");
#else
    REQUIRE(!pluginPath().empty());
    const char* chromium = std::getenv("KORVANE_CHROMIUM");
    REQUIRE_MESSAGE((chromium != nullptr && *chromium != 0), "KORVANE_CHROMIUM names no browser (scripts/install-deps.sh installs it)");
    TempDir dir;
    const Judgement j = judged(dir.path());
    const fs::path out = dir.path() / "out";
    std::string error;
    REQUIRE(writeResults(j, out.string(), &error));
    const std::string html = readFileBytes(out / "results.html");
    // One file: nothing fetched, nothing run.
    CHECK(html.find("<script") == std::string::npos);
    CHECK(html.find("http:") == std::string::npos);
    CHECK(html.find("https:") == std::string::npos);
    CHECK(html.find("<link") == std::string::npos);

    const std::string browser = std::string("timeout 120 ") + chromium +
                                " --headless --no-sandbox --disable-gpu --hide-scrollbars --user-data-dir=" +
                                (dir.path() / "profile").string() + " ";
    const std::string page = "file://" + (out / "results.html").string();
    int status = 0;
    const std::string dom = run(browser + "--dump-dom '" + page + "' 2>/dev/null", &status);
    REQUIRE(status == 0);
    CHECK(dom.find("<h1>KORVANE results</h1>") != std::string::npos);
    for (const Category& c : j.categories) {
        CHECK(dom.find(">" + c.name + "</h2>") != std::string::npos);
        for (std::uint32_t s : c.stations) {
            const std::string& call = j.logs.stations[s].call;
            std::string link = reportFileName(call);
            CAPTURE(call);
            CHECK(dom.find("href=\"reports/" + link + "\">" + call + "</a>") != std::string::npos);
            CHECK(fs::exists(out / "reports" / link));
        }
    }
    CHECK(dom.find("UA0ZZ") != std::string::npos); // the log that could not be read

    const char* artifacts = std::getenv("KORVANE_ARTIFACTS");
    const fs::path shot = fs::path(artifacts && *artifacts ? artifacts : dir.path().string()) / "judge_results.png";
    fs::create_directories(shot.parent_path());
    fs::remove(shot);
    run(browser + "--window-size=1280,1600 --screenshot='" + shot.string() + "' '" + page + "' 2>/dev/null",
        &status);
    CHECK(status == 0);
    REQUIRE(fs::exists(shot));
    CHECK(fs::file_size(shot) > 10000);
    MESSAGE("screenshot: " << shot.string());
#endif
}

TEST_CASE("the committee's view: an overall table, check logs apart, logs of mostly uniques flagged, "
          "lines quoted as written")
{
    TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);
    // UA3AA's lines as its program wrote them: lower case, blanks of its own.
    writeFileBytes(logs / "UA3AA.cbr",
                   cabrillo("UA3AA", {"qso:  3520 cw 2026-11-21 1500 ua3aa  599 001  ua3bb  599 007",
                                      "QSO:  3520 CW 2026-11-21 1501 UA3AA 599 002 UA3CC 599 001"},
                            "SINGLE-OP"));
    writeFileBytes(logs / "UA3BB.cbr",
                   cabrillo("UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1), qso("UA3BB", "1502", "UA3CC", 8, 2)},
                            "CHECKLOG"));
    std::vector<std::string> made;
    for (int n = 0; n < 12; ++n) // a dozen calls nobody else logged
        made.push_back(qso("UA3CC", "1510", "RA9X" + std::string(1, static_cast<char>('A' + n)), n + 3, 1));
    made.push_back(qso("UA3CC", "1501", "UA3AA", 1, 2));
    made.push_back(qso("UA3CC", "1502", "UA3BB", 2, 8));
    writeFileBytes(logs / "UA3CC.cbr", cabrillo("UA3CC", made, "MULTI-OP"));

    Judgement j;
    j.rules = korvaneRules();
    std::vector<std::string> files;
    std::string error;
    REQUIRE(listLogFiles({logs.string()}, files, &error));
    j.logs = loadContestLogs(files, LoadOptions());
    REQUIRE(j.logs.stations.size() == 3);
    CheckOptions check;
    check.start = j.rules.start;
    check.end = j.rules.end;
    j.check = crossCheck(j.logs, check);
    j.results.resize(3);
    j.results[0].pluginScore = 4;
    j.results[2].pluginScore = 20;
    rankStations(j);

    // The check log is listed apart and ranked nowhere.
    CHECK(j.checkLogs == std::vector<std::uint32_t>{1});
    CHECK(j.overall.stations == std::vector<std::uint32_t>{2, 0});
    CHECK(j.results[0].overallRank == 2);
    CHECK(j.results[0].rank == 1); // alone in its category
    CHECK(j.results[1].rank == 0);
    for (const Category& c : j.categories)
        CHECK(std::find(c.stations.begin(), c.stations.end(), 1u) == c.stations.end());

    const std::string text = resultsText(j);
    CHECK(text.find("\nOVERALL\n") != std::string::npos);
    CHECK(text.find("\nCheck logs (they help the checking and are not ranked):\n  UA3BB\n") != std::string::npos);
    CHECK(text.find("mostly with calls in no other log (look at them):\n  UA3CC: 86% of 14 QSOs\n") !=
          std::string::npos);
    CHECK(text.find("  Unique                             12\n") != std::string::npos);
    CHECK(text.find("  Confirmed                           6\n") != std::string::npos);
    const std::string csv = resultsCsv(j);
    CHECK(csv.find("\nCHECKLOG,,,UA3BB,") != std::string::npos);
    CHECK(csv.find("\nMULTI-OP,1,1,UA3CC,") != std::string::npos);
    CHECK(resultsJson(j).find("\"mostly_unique\": true") != std::string::npos);
    CHECK(resultsHtml(j).find("<h2>Check logs</h2>") != std::string::npos);

    // Reports quote the files' own lines, and list each confirmed QSO beside the partner's.
    const std::string report = stationReport(j, 0);
    CHECK_MESSAGE(report.find("Confirmed QSOs, each with your partner's line:\nLine 6, UA3BB line 6:\n"
                              "    qso:  3520 cw 2026-11-21 1500 ua3aa  599 001  ua3bb  599 007\n"
                              "    " + qso("UA3BB", "1500", "UA3AA", 7, 1) + "\n") != std::string::npos,
                  report);
    CHECK(report.find("rank 1 in SINGLE-OP, 2 overall") != std::string::npos);
    CHECK(stationReport(j, 1).find("(a check log: not ranked)") != std::string::npos);
    CHECK(stationReport(j, 2).find("86%: most of your QSOs are with calls in no other log") != std::string::npos);

    // A file changed since it was read: the judge's own rendering of the line.
    writeFileBytes(logs / "UA3AA.cbr", "gone\n");
    CHECK(stationReport(j, 0).find("    QSO:  3520 CW 2026-11-21 1500 UA3AA") != std::string::npos);
    CHECK(visibleLine("QSO: \x1b[2J\x07 x\r\n") == "QSO: \\x1B[2J\\x07 x");
    CHECK(visibleLine(std::string(300, 'a')).size() == 203);
}
