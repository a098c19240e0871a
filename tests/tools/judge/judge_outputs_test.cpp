// What the committee publishes, written from a simulated contest: the tables, the
// reports, and the page as a real browser renders it.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/FindingDetail.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/Simulation.h"

#include <doctest/doctest.h>

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
    REQUIRE(judgeContest(options, j));
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
    CHECK(csv.rfind("category,rank,call,claimed_score,qsos,valid,nil,busted,score\n", 0) == 0);
    for (const Category& c : j.categories)
        CHECK(occurrences(text, "\n" + c.name + "\n") == 1);
    CHECK(text.find("ZZ-broken.cbr:3: UA0ZZ: broken QSO line") != std::string::npos);
    CHECK(json.find("\"reason\": \"broken QSO line") != std::string::npos);

    std::size_t findings = 0;
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
                                      ": " + explainFinding(j, s, i).why + "\n    " + cabrilloLine(j.logs, st, q);
            CHECK(report.find(entry) != std::string::npos);
        }
        if (j.check.offsets[s].minutes)
            CHECK(report.find("Your clock was " + std::to_string(std::abs(j.check.offsets[s].minutes))) !=
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
    CHECK(dom.find("<h1>KORVANE contest results</h1>") != std::string::npos);
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
