// Scores worked out beside the judge in helper processes: every station once, the same
// scores as in one process, and none lost when a helper dies.
#include "tools/judge/ScoreHelpers.h"

#include "TempDir.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <stdexcept>

#if !defined(_WIN32)
#include <unistd.h>
#endif

using namespace korvane::judge;
namespace fs = std::filesystem;

namespace {

ContestLogs logsOfSizes(const std::vector<std::uint32_t>& sizes)
{
    ContestLogs logs;
    for (std::uint32_t size : sizes) {
        Station s;
        s.first = static_cast<std::uint32_t>(logs.qsos.size());
        s.count = size;
        logs.qsos.resize(logs.qsos.size() + size);
        logs.stations.push_back(s);
    }
    return logs;
}

int madeUpScore(const ContestLogs& logs, std::uint32_t s) { return static_cast<int>(s * 1000 + logs.stations[s].count); }

} // namespace

TEST_CASE("stations split into consecutive ranges of about equal QSO counts")
{
    auto check = [](const std::vector<std::uint32_t>& sizes, unsigned parts, std::size_t ranges) {
        const ContestLogs logs = logsOfSizes(sizes);
        const std::vector<StationRange> split = splitByQsos(logs, parts);
        REQUIRE(split.size() == ranges);
        std::uint32_t next = 0;
        for (const StationRange& r : split) {
            CHECK(r.first == next);
            CHECK(r.last > r.first); // never an empty range
            next = r.last;
        }
        CHECK(next == sizes.size());
        return split;
    };
    CHECK(splitByQsos(logsOfSizes({}), 2).empty());
    check({5}, 2, 1);
    check({0, 0, 0}, 2, 2); // logs without QSOs still go somewhere
    std::vector<std::uint32_t> even(100, 10);
    const auto halves = check(even, 2, 2);
    CHECK(halves[0].last == 50);
    // One big log first: it alone is half the work.
    std::vector<std::uint32_t> big{500};
    big.insert(big.end(), 50, 10);
    CHECK(check(big, 2, 2)[0].last == 1);
    check({1, 1000, 1}, 3, 3);
}

TEST_CASE("scores from helper processes are the scores of one process, each station once")
{
    const ContestLogs logs = logsOfSizes({3, 70, 5, 0, 400, 12, 12, 90, 1, 250});
    TempDir folder;
    writeFileBytes("Plugins/settings.ini", "Key=4\n");
    // The operator's own folder of the name a helper might take stays as it was.
#if defined(_WIN32)
    const fs::path theirs = "korvane-score-helper-1";
#else
    const fs::path theirs = "korvane-score-helper-1-" + std::to_string(::getpid());
#endif
    fs::create_directories(theirs);
    writeFileBytes(theirs / "keep.txt", "mine");

    std::vector<std::size_t> progress;
    ScoreRun run;
    run.progress = [&](std::size_t done, std::size_t total) {
        CHECK(total == logs.stations.size());
        progress.push_back(done);
    };
    // Each finds the settings as they were and changes them, as the plug-in does on
    // every reset; a helper must change only its own copy.
    run.score = [&](std::uint32_t s) {
        const bool found = readFileBytes("Plugins/settings.ini").rfind("Key=4\n", 0) == 0;
        writeFileBytes("Plugins/settings.ini", "Key=4\nStation=" + std::to_string(s) + "\n");
        return found ? madeUpScore(logs, s) : -1;
    };
    for (unsigned helpers : {0u, 1u, 3u, 20u}) {
        CAPTURE(helpers);
        progress.clear();
        writeFileBytes("Plugins/settings.ini", "Key=4\n");
        run.helpers = helpers;
        const std::vector<int> scores = scoreStations(logs, run);
        REQUIRE(scores.size() == logs.stations.size());
        for (std::uint32_t s = 0; s < scores.size(); ++s)
            CHECK(scores[s] == madeUpScore(logs, s));
        REQUIRE(!progress.empty());
        CHECK(progress.back() == logs.stations.size());
        CHECK(std::is_sorted(progress.begin(), progress.end()));
#if !defined(_WIN32)
        // Here only the stations of this process's own range wrote, the last of them last.
        if (helpers > 0)
            CHECK(readFileBytes("Plugins/settings.ini") ==
                  "Key=4\nStation=" + std::to_string(splitByQsos(logs, helpers + 1).front().last - 1) + "\n");
#endif
    }
    // The helpers' folders are gone; the operator's folder is as it was.
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(".")) {
        CHECK((e.path().filename() == "Plugins" || e.path().filename() == theirs.filename()));
        ++entries;
    }
    CHECK(entries == 2);
    CHECK(readFileBytes(theirs / "keep.txt") == "mine");
}

#if !defined(_WIN32)
TEST_CASE("a helper that dies or throws part-way leaves its stations to the judge, none lost")
{
    const ContestLogs logs = logsOfSizes(std::vector<std::uint32_t>(40, 10));
    TempDir folder;
    const pid_t judge = ::getpid();
    for (bool throws : {false, true}) {
        CAPTURE(throws);
        ScoreRun run;
        run.helpers = 1;
        std::vector<std::uint32_t> scoredHere;
        run.score = [&](std::uint32_t s) {
            if (::getpid() != judge && s == 30) {
                if (throws)
                    throw std::runtime_error("out of memory in the plug-in");
                ::_exit(3); // a crash in the helper's plug-in
            }
            if (::getpid() == judge)
                scoredHere.push_back(s);
            return madeUpScore(logs, s);
        };
        const std::vector<int> scores = scoreStations(logs, run);
        // Only this process comes back here: a helper's exception never returns into a
        // copy of the judge.
        REQUIRE(::getpid() == judge);
        for (std::uint32_t s = 0; s < scores.size(); ++s)
            CHECK(scores[s] == madeUpScore(logs, s));
        // The helper's first ten stations came from it; from 30 on they were scored here.
        CHECK(std::count(scoredHere.begin(), scoredHere.end(), 25u) == 0);
        CHECK(std::count(scoredHere.begin(), scoredHere.end(), 30u) == 1);
        CHECK(std::count(scoredHere.begin(), scoredHere.end(), 39u) == 1);
        for (const auto& e : fs::directory_iterator("."))
            CHECK(e.path().filename() == "Plugins");
    }
}

TEST_CASE("a helper that finds every folder name taken is not started, and no folder of the operator's is touched")
{
    const ContestLogs logs = logsOfSizes(std::vector<std::uint32_t>(10, 5));
    TempDir folder;
    const std::string stem = "korvane-score-helper-1-" + std::to_string(::getpid());
    for (int n = 0; n < 100; ++n) {
        const fs::path theirs = n ? stem + "-" + std::to_string(n) : stem;
        fs::create_directories(theirs);
        writeFileBytes(theirs / "keep.txt", "mine");
    }
    ScoreRun run;
    run.helpers = 1;
    const pid_t judge = ::getpid();
    std::size_t here = 0;
    run.score = [&](std::uint32_t s) {
        here += ::getpid() == judge;
        return madeUpScore(logs, s);
    };
    const std::vector<int> scores = scoreStations(logs, run);
    for (std::uint32_t s = 0; s < scores.size(); ++s)
        CHECK(scores[s] == madeUpScore(logs, s));
    CHECK(here == logs.stations.size()); // every one scored here
    CHECK(readFileBytes(stem + "-99/keep.txt") == "mine");
    CHECK(readFileBytes(stem + "/keep.txt") == "mine");
}

TEST_CASE("when scoring here fails, the helpers are stopped and their folders removed")
{
    // Two helpers with more scores each than their pipes hold (1 MB), and this process
    // failing before it reads any: nothing may wait forever.
    const ContestLogs logs = logsOfSizes(std::vector<std::uint32_t>(450000, 1));
    TempDir folder;
    const pid_t judge = ::getpid();
    ScoreRun run;
    run.helpers = 2;
    run.score = [&](std::uint32_t s) {
        if (::getpid() == judge && s == 100)
            throw std::runtime_error("failed here");
        return static_cast<int>(s);
    };
    CHECK_THROWS_AS(scoreStations(logs, run), std::runtime_error);
    for (const auto& e : fs::directory_iterator("."))
        CHECK(e.path().filename() == "Plugins");
}
#endif
