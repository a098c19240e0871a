// Scores worked out beside the judge in helper processes: every station once, the same
// scores as in one process, and none lost when a helper dies.
#include "tools/judge/ScoreHelpers.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>

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
    fs::path folder = fs::temp_directory_path() / "korvane-score-helpers-test";
    fs::remove_all(folder);
    fs::create_directories(folder / "Plugins");
    std::ofstream(folder / "Plugins" / "settings.ini") << "[Section]\nKey=4\n";
    // The operator's own folder of the name a helper might take stays as it was.
#if defined(_WIN32)
    const fs::path theirs = folder / "korvane-score-helper-1";
#else
    const fs::path theirs = folder / ("korvane-score-helper-1-" + std::to_string(::getpid()));
#endif
    fs::create_directories(theirs);
    std::ofstream(theirs / "keep.txt") << "mine";
    const fs::path here = fs::current_path();
    fs::current_path(folder);

    std::vector<std::size_t> progress;
    ScoreRun run;
    run.folder = ".";
    run.progress = [&](std::size_t done, std::size_t total) {
        CHECK(total == logs.stations.size());
        progress.push_back(done);
    };
    // The settings the plug-in keeps beside it are there for a helper too.
    run.score = [&](std::uint32_t s) {
        std::ifstream settings("Plugins/settings.ini");
        return settings ? madeUpScore(logs, s) : -1;
    };
    for (unsigned helpers : {0u, 1u, 3u, 20u}) {
        CAPTURE(helpers);
        progress.clear();
        run.helpers = helpers;
        const std::vector<int> scores = scoreStations(logs, run);
        REQUIRE(scores.size() == logs.stations.size());
        for (std::uint32_t s = 0; s < scores.size(); ++s)
            CHECK(scores[s] == madeUpScore(logs, s));
        REQUIRE(!progress.empty());
        CHECK(progress.back() == logs.stations.size());
        CHECK(std::is_sorted(progress.begin(), progress.end()));
    }
    // The helpers' folders are gone; the plug-in's own settings and the operator's
    // folder are as they were.
    std::size_t entries = 0;
    for (const auto& e : fs::directory_iterator(".")) {
        CHECK((e.path().filename() == "Plugins" || e.path() == fs::path(".") / theirs.filename()));
        ++entries;
    }
    CHECK(entries == 2);
    std::string kept;
    std::ifstream(theirs / "keep.txt") >> kept;
    CHECK(kept == "mine");
    fs::current_path(here);
    fs::remove_all(folder);
}

#if !defined(_WIN32)
TEST_CASE("a helper that dies part-way leaves its stations to the judge, none lost")
{
    const ContestLogs logs = logsOfSizes(std::vector<std::uint32_t>(40, 10));
    const pid_t judge = ::getpid();
    ScoreRun run;
    run.folder = fs::temp_directory_path().string();
    run.helpers = 1;
    std::vector<std::uint32_t> scoredHere;
    run.score = [&](std::uint32_t s) {
        if (::getpid() != judge && s == 30)
            ::_exit(3); // a crash in the helper's plug-in
        if (::getpid() == judge)
            scoredHere.push_back(s);
        return madeUpScore(logs, s);
    };
    const std::vector<int> scores = scoreStations(logs, run);
    for (std::uint32_t s = 0; s < scores.size(); ++s)
        CHECK(scores[s] == madeUpScore(logs, s));
    // The helper's first ten stations came from it; from 30 on they were scored here.
    CHECK(std::count(scoredHere.begin(), scoredHere.end(), 25u) == 0);
    CHECK(std::count(scoredHere.begin(), scoredHere.end(), 30u) == 1);
    CHECK(std::count(scoredHere.begin(), scoredHere.end(), 39u) == 1);
    for (const auto& e : fs::directory_iterator(run.folder))
        CHECK(e.path().filename().string().find("korvane-score-helper") == std::string::npos);
}
#endif
