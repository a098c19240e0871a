// Logs anyone may submit: calls, categories and file names made to harm the published
// files, a terminal or another entrant's results, and files made to exhaust the memory.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/LogLoader.h"
#include "tools/judge/ResultFiles.h"
#include "tools/judge/ResultsFolder.h"
#include "tools/logs/LogFile.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <set>

#if !defined(_WIN32)
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

auto goodQso(const char* own) { return qso(own, "1500", "UA3BB", 1, 7); }

Judgement judgedFiles(const fs::path& dir, const std::vector<std::string>& files)
{
    JudgeOptions options;
    options.files = files;
    options.rules = korvaneRules();
    options.plugin.path = pluginPath();
    options.workFolder = (dir / "work").string();
    Judgement j;
    std::string error;
    REQUIRE_MESSAGE(judgeContest(options, j, &error), error);
    return j;
}

std::set<std::string> filesBelow(const fs::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            names.insert(fs::relative(entry.path(), dir).generic_string());
    return names;
}

} // namespace

TEST_CASE("report file names: valid everywhere, bounded, and never shared by two calls")
{
    struct Case {
        const char* call;
        const char* name;
    };
    const Case cases[] = {
        /* 1 */ {"RK3AZ", "RK3AZ.txt"},
        /* 2 */ {"R0AAP/P", "R0AAP-P.txt"},
        /* 3 */ {"R0AAP-P", "R0AAP_2DP.txt"},
        /* 4 */ {"r0aap", "_720_61_61_70.txt"},
        /* 5 */ {"CON", "CON_.txt"},
        /* 6 */ {"NUL", "NUL_.txt"},
        /* 7 */ {"COM1", "COM1_.txt"},
        /* 8 */ {"LPT9", "LPT9_.txt"},
        /* 9 */ {"COM0", "COM0.txt"},
        /* 10 */ {"CONS", "CONS.txt"},
        /* 11 */ {"A:B*C?D\"E<F>G|H\\I", "A_3AB_2AC_3FD_22E_3CF_3EG_7CH_5CI.txt"},
        /* 12 */ {"", "_.txt"},
        /* 13 */ {"..", "_2E_2E.txt"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(reportFileName(c.call) == c.name);
    }

    // However long the call, the name stays short; calls that differ only past the cut
    // still get names of their own.
    const std::string longCall(300, 'W');
    const std::string name = reportFileName(longCall);
    CHECK(name.size() <= 68);
    CHECK(name != reportFileName(longCall + "W"));
    CHECK(name == reportFileName(longCall));

    std::set<std::string> names;
    const std::vector<std::string> calls = {"R0AAP/P", "R0AAP-P", "R0AAP_P", "R0AAP_2DP", "CON", "CON_",
                                            "r0aap", "R0AAP", "NUL", "NUL/", longCall, longCall + "W"};
    for (const std::string& call : calls) {
        const std::string file = reportFileName(call);
        CAPTURE(call);
        CHECK(file.find_first_of(":*?\"<>|/\\ ") == std::string::npos);
        names.insert(file);
    }
    CHECK(names.size() == calls.size());
}

TEST_CASE("a log whose call is no call is listed unreadable, with the reason; the others are published")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);
    const std::string longCall(300, 'W');
    writeFileBytes(logs / "a.cbr", cabrillo("UA3AA", {goodQso("UA3AA")}));
    writeFileBytes(logs / "b.cbr", cabrillo("R0AAP-P", {goodQso("R0AAP-P")}));
    writeFileBytes(logs / "c.cbr", cabrillo(longCall, {goodQso("UA3CC")}));
    writeFileBytes(logs / "d.cbr", cabrillo("UA3<DD>", {goodQso("UA3DD")}));
    writeFileBytes(logs / "e.cbr", cabrillo("R0AAP/P", {goodQso("R0AAP/P")}));
    std::vector<std::string> files;
    std::string error;
    REQUIRE(listLogFiles({logs.string()}, files, &error));
    const Judgement j = judgedFiles(dir.path(), files);
    REQUIRE(j.logs.stations.size() == 2);
    REQUIRE(j.logs.unreadable.size() == 3);
    for (const UnreadableLog& u : j.logs.unreadable) {
        CAPTURE(u.file);
        CHECK(u.reason.find("CALLSIGN") != std::string::npos);
        CHECK(u.line == 3);
    }
    REQUIRE_MESSAGE(writeResults(j, (dir.path() / "out").string(), &error), error);
    CHECK(filesBelow(dir.path() / "out" / "reports") == std::set<std::string>{"R0AAP-P.txt", "UA3AA.txt"});
}

TEST_CASE("control characters from a file name or a category are shown, never acted on")
{
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);
#if defined(_WIN32)
    // Windows keeps control characters out of file names.
    const std::string evilName = "evil.cbr", brokenName = "z.cbr";
#else
    const std::string evilName = "evil\nLine 99: forged\x1b[2J\a\r.cbr", brokenName = "z\x1b]0;title\a.cbr";
#endif
    writeFileBytes(logs / evilName, cabrillo("UA3AA", {goodQso("UA3AA")}, "SINGLE-OP\x1b[2J\a\rFORGED\x7f"));
    writeFileBytes(logs / brokenName, "START-OF-LOG: 3.0\r\nCALLSIGN: UA3ZZ\r\nQSO: 3520 CW\r\n");
    std::vector<std::string> files;
    std::string error;
    REQUIRE(listLogFiles({logs.string()}, files, &error));
    const Judgement j = judgedFiles(dir.path(), files);
    REQUIRE(j.logs.stations.size() == 1);
    REQUIRE(j.logs.unreadable.size() == 1);
    for (const std::string& text : {resultsText(j), stationReport(j, 0)}) {
        CAPTURE(text);
        CHECK(std::none_of(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) < 0x20 && c != '\n') || c == 0x7f;
        }));
        CHECK(text.find("\nLine 99") == std::string::npos);
        CHECK(text.find("\nFORGED") == std::string::npos);
    }
    // The category is no Cabrillo value: the report says so, with the bytes shown inert.
    CHECK(stationReport(j, 0).find("\"SINGLE-OP?[2J??FORGED?\" is no Cabrillo 3.0 value") != std::string::npos);
#if !defined(_WIN32)
    CHECK(resultsText(j).find("z\\x1B]0;title\\x07.cbr") != std::string::npos);
#endif
}

TEST_CASE("the results folder: never a folder of logs, earlier files replaced whole, stale reports of the judge's alone removed")
{
    TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs / "inner");
    const std::string log = (logs / "a.cbr").string();
    writeFileBytes(log, cabrillo("UA3AA", {goodQso("UA3AA")}));
    const std::string elsewhere = (dir.path() / "b.cbr").string();
    writeFileBytes(elsewhere, cabrillo("UA3BB", {goodQso("UA3BB")}));
    struct Case {
        fs::path out;
        std::vector<std::string> inputs, files;
        const char* problem; // nullptr: fine
    };
    const Case cases[] = {
        /* 1 */ {logs, {logs.string()}, {log}, "is the folder of logs"},
        /* 2 */ {logs / ".", {logs.string() + "/"}, {log}, "is the folder of logs"},
        /* 3 */ {logs / "inner" / "out", {logs.string()}, {log}, "lies in it"},
        /* 4 */ {dir.path(), {log}, {log}, "holds the log"},
        /* 5 */ {logs, {elsewhere, log}, {elsewhere, log}, "holds the log"},
        /* 6 */ {dir.path() / "out", {logs.string()}, {log}, nullptr},
        /* 7 */ {logs / "inner", {elsewhere}, {elsewhere}, nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const std::string why = outFolderProblem(c.out, c.inputs, c.files);
        if (c.problem)
            CHECK_MESSAGE(why.find(c.problem) != std::string::npos, why);
        else
            CHECK_MESSAGE(why.empty(), why);
    }

    // Two runs: the second no longer writes B's report, and finds files it never wrote.
    const fs::path out = dir.path() / "out";
    auto text = [](std::string t) { return [t](const Sink& sink) { sink(t); }; };
    std::string error;
    {
        ResultsFolder first(out);
        REQUIRE(first.begin(&error));
        REQUIRE(first.write("results.txt", text("first"), &error));
        REQUIRE(first.write("reports/A.txt", text("A first"), &error));
        REQUIRE(first.write("reports/B.txt", text("B first"), &error));
        REQUIRE(first.commit(&error));
    }
    writeFileBytes(out / "notes.txt", "the committee's own");
    writeFileBytes(out / "reports" / "C.txt", "not the judge's");
    writeFileBytes(dir.path() / "outside.txt", "kept");
    writeFileBytes(out / kManifestName, readFileBytes(out / kManifestName) + "../outside.txt\nnotes.txt/../x\n");
    {
        ResultsFolder second(out);
        REQUIRE(second.begin(&error));
        CHECK_FALSE(second.write("../escape.txt", text("no"), &error));
        REQUIRE(second.write("results.txt", text("second"), &error));
        REQUIRE(second.write("reports/A.txt", text("A second"), &error));
        REQUIRE(second.commit(&error));
    }
    CHECK(filesBelow(out) == std::set<std::string>{kManifestName, "notes.txt", "reports/A.txt", "reports/C.txt",
                                                    "results.txt"});
    CHECK(readFileBytes(out / "results.txt") == "second");
    CHECK(readFileBytes(out / "reports" / "A.txt") == "A second");
    CHECK(fs::exists(dir.path() / "outside.txt"));
    CHECK(readManifest(out) == std::vector<std::string>{"reports/A.txt", "results.txt"});

    // A run that fails half-way leaves all of the earlier results, and nothing staged.
    {
        ResultsFolder failed(out);
        REQUIRE(failed.begin(&error));
        REQUIRE(failed.write("results.txt", text("third"), &error));
        CHECK_FALSE(failed.write("reports/missing/A.txt", text("no folder for it"), &error));
    }
    CHECK(readFileBytes(out / "results.txt") == "second");
    CHECK_FALSE(fs::exists(out / kStagingName));

#if !defined(_WIN32)
    // The disk fills while the results are written: a process may write 100 bytes.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{100, 100};
        setrlimit(RLIMIT_FSIZE, &limit);
        bool ok = false;
        {
            ResultsFolder full(out);
            std::string why;
            ok = full.begin(&why) && full.write("results.txt", text(std::string(1000, 'x')), &why) &&
                 full.commit(&why);
        }
        std::_Exit(ok ? 1 : 0);
    }
    int status = 1;
    REQUIRE(waitpid(child, &status, 0) == child);
    CHECK(WIFEXITED(status));
    CHECK(WEXITSTATUS(status) == 0);
    CHECK(readFileBytes(out / "results.txt") == "second");
    CHECK_FALSE(fs::exists(out / kStagingName));
#endif
}

TEST_CASE("a log too large, or with a line too long, is named with the limit; the others are judged")
{
    TempDir dir;
    const fs::path logs = dir.path() / "logs";
    fs::create_directories(logs);
    writeFileBytes(logs / "a-good.cbr", cabrillo("UA3AA", {goodQso("UA3AA")}));
    // Sparse: its size is known before a byte is read.
    writeFileBytes(logs / "b-huge.cbr", cabrillo("UA3BB", {goodQso("UA3BB")}));
    fs::resize_file(logs / "b-huge.cbr", 4ull << 30);
    writeFileBytes(logs / "c-line.cbr",
                   cabrillo("UA3CC", {goodQso("UA3CC"), goodQso("UA3CC") + std::string(100000, ' ') + "1"}));
    // ADIF needs no line ends: one long line is no reason to refuse it.
    writeFileBytes(logs / "d-one-line.adi", "<EOH>" + std::string(20000, ' ') + "<EOR>");
    std::vector<std::string> files;
    std::string error;
    REQUIRE(listLogFiles({logs.string()}, files, &error));
    const ContestLogs read = loadContestLogs(files, LoadOptions());
    REQUIRE(!read.stations.empty());
    CHECK(read.stations[0].call == "UA3AA");
    auto reasonFor = [&](const char* file) -> const UnreadableLog* {
        for (const UnreadableLog& u : read.unreadable)
            if (fs::path(u.file).filename() == file)
                return &u;
        return nullptr;
    };
    REQUIRE(reasonFor("b-huge.cbr"));
    CHECK(reasonFor("b-huge.cbr")->reason.find("larger than 8 MB") != std::string::npos);
    REQUIRE(reasonFor("c-line.cbr"));
    CHECK(reasonFor("c-line.cbr")->reason.find("line longer than 8192 bytes") != std::string::npos);
    CHECK(reasonFor("c-line.cbr")->line == 7);
    const UnreadableLog* adif = reasonFor("d-one-line.adi");
    CHECK((adif == nullptr || adif->reason.find("line longer") == std::string::npos));
}

TEST_CASE("a date the judge cannot hold refuses the log; a microwave frequency is kept whole")
{
    const std::string late = "QSO:  3520 CW 9999-12-31 2359 UA3AA         599 001    UA3BB         599 007";
    const std::string far = "QSO: 5760000 CW 2026-11-21 1500 UA3AA 599 001 UA3BB 599 007";
    const std::string text = cabrillo("UA3AA", {goodQso("UA3AA"), late});
    const korvane::LogFileResult parsed = korvane::readLogText(text);
    REQUIRE(parsed.ok);
    ContestLogs logs;
    std::string reason;
    std::size_t line = 0;
    CHECK_FALSE(addStation(logs, "a.cbr", parsed.log, false, &reason, &line));
    CHECK(reason.find("date the judge holds") != std::string::npos);
    CHECK(line == kFirstQsoLine + 1);
    CHECK(logs.qsos.empty());

    const ContestLogs microwave = contestOf({{"UA3AA", {far}}});
    REQUIRE(microwave.qsos.size() == 1);
    CHECK(microwave.qsos[0].freqKHz == 5760000u);
    CHECK(cabrilloLine(microwave, microwave.stations[0], microwave.qsos[0]).find("QSO: 5760000 CW") == 0);
    const korvane::LogQso back = toLogQso(microwave, microwave.qsos[0]);
    CHECK(back.freqHz == 0u);
    CHECK(back.kHzPastHost == 5760000u);
}
