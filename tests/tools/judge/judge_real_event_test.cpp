// The real event's verdicts on calls and times, each checked by hand against both logs:
// swapped letters, busted copies of well-known calls, near misses, portable suffixes, a
// log kept in local time and a log whose header call its partners never logged.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/LogLoader.h"
#include "tools/judge/ResultFiles.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

const char* const kEventPeriod[] = {"2024-03-21 19:00", "2024-03-21 20:00"};

std::vector<std::string> eventFiles(const fs::path& root, const std::string& without = "")
{
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(root / "ntcqp-2024-03"))
        files.push_back(e.path().string());
    for (const char* one : {"ntc-qp-2024-03-PA7F.cbr", "ntc-qp-2024-03-S51Z.cbr", "ntc-qp-2024-03-DJ0SP.cbr"})
        if (without != one)
            files.push_back((root / one).string());
    std::sort(files.begin(), files.end());
    return files;
}

// Cross-checked and counted, as judgeContest does it but without the plug-in's score.
Judgement checked(const std::vector<std::string>& files, CheckOptions options = {})
{
    Judgement j;
    j.logs = loadContestLogs(files, LoadOptions{});
    REQUIRE(j.logs.unreadable.empty());
    j.rules.start = options.start = *minuteOf(makeOleDate(2024, 3, 21, 19, 0, 0));
    j.rules.end = options.end = *minuteOf(makeOleDate(2024, 3, 21, 20, 0, 0));
    j.rules.contest = ntcContest();
    options.exchange = exchangeRules(j.rules.contest);
    j.check = crossCheck(j.logs, options);
    j.results.resize(j.logs.stations.size());
    rankStations(j);
    return j;
}

std::size_t qsoCount(const Judgement& j, Finding f)
{
    std::size_t n = 0;
    for (const CompactQso& q : j.logs.qsos)
        n += q.finding == f;
    return n;
}

Finding findingAt(const Judgement& j, const char* call, std::uint32_t line)
{
    return j.logs.qsos[qsoOnLine(j, call, line)].finding;
}

std::string readAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A log's QSO lines with their times moved by some minutes, as a log kept in another
// time zone has them; the date stays (the shift keeps within the day here).
std::string shiftedTimes(const std::string& log, int minutes)
{
    std::istringstream in(log);
    std::string out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("QSO:", 0) == 0) {
            std::size_t at = 0;
            for (int token = 0; token < 4; ++token) {
                at = line.find_first_not_of(" \t", at);
                at = line.find_first_of(" \t", at);
            }
            at = line.find_first_not_of(" \t", at);
            const int t = std::stoi(line.substr(at, 2)) * 60 + std::stoi(line.substr(at + 2, 2)) + minutes;
            char hhmm[8];
            std::snprintf(hhmm, sizeof hhmm, "%02d%02d", t / 60 % 24, t % 60);
            line.replace(at, 4, hhmm);
        }
        out += line + "\n";
    }
    return out;
}

std::string samplesOrSkip()
{
    const std::string samples = folderFrom("KORVANE_SAMPLES");
    if (samples.empty())
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, the real event's calls and times are not judged");
    return samples;
}

} // namespace

TEST_CASE("the real event: swapped letters, busted copies, a near miss; two NILs left, both real")
{
    const std::string samples = samplesOrSkip();
    if (samples.empty())
        return;
    const Judgement j = checked(eventFiles(samples));
    // Five before: IN3FHE's with OK2BND and both sides of DJ0SP's with PA0XAW were not NILs.
    CHECK(qsoCount(j, Finding::Nil) == 2);
    CHECK(findingAt(j, "LB2WD", 30) == Finding::Nil);
    CHECK(findingAt(j, "PE4KH", 23) == Finding::Nil);

    // OK2BND logged IN3FHE as IN3HFE: busted, and IN3FHE keeps the QSO.
    CHECK(findingAt(j, "OK2BND", 23) == Finding::BustedCall);
    CHECK(findingAt(j, "IN3FHE", 37) == Finding::Confirmed);

    // F8DTF, OK1LOX, DL5XA and OK2BM: the same exchange as F8DTU, OK1LO, DL5XL and OK2BMA
    // in 5, 12, 15 and 7 other logs.
    CHECK(qsoCount(j, Finding::BustedCall) == 6);
    CHECK(qsoCount(j, Finding::Unique) == 10);
    const std::uint32_t f8dtf = qsoOnLine(j, "DJ0SP", 51);
    CHECK(j.logs.qsos[f8dtf].finding == Finding::BustedCall);
    REQUIRE(j.check.meant.count(f8dtf) == 1);
    CHECK(j.logs.calls.text(j.check.meant.at(f8dtf).call) == "F8DTU");
    CHECK(j.check.meant.at(f8dtf).logs == 5);
    // OM6MS is in two of these logs only: a unique by default, a busted copy at 2.
    CHECK(findingAt(j, "DJ0SP", 45) == Finding::Unique);
    CheckOptions two;
    two.uniqueBustLogs = 2;
    const Judgement atTwo = checked(eventFiles(samples), two);
    const std::uint32_t om6mh = qsoOnLine(atTwo, "DJ0SP", 45);
    CHECK(atTwo.logs.qsos[om6mh].finding == Finding::BustedCall);
    CHECK(atTwo.logs.calls.text(atTwo.check.meant.at(om6mh).call) == "OM6MS");

    // DJ0SP's 19:37 sits among QSOs its partners confirm; PA0XAW's 19:26, 11 minutes
    // off with the same numbers, among QSOs with stations that sent no log.
    CHECK(findingAt(j, "PA0XAW", 30) == Finding::WrongTime);
    const Finding dj0sp = findingAt(j, "DJ0SP", 44);
    CHECK(dj0sp != Finding::Nil);
    CHECK(dj0sp != Finding::WrongTime);
    CHECK(stationReport(j, stationNamed(j, "DJ0SP")).find("PA0XAW logged this QSO at 19:26") != std::string::npos);
    CHECK(stationReport(j, stationNamed(j, "PA0XAW")).find("in DJ0SP's log at 19:37") != std::string::npos);
}

TEST_CASE("the real event with one log kept an hour ahead: its clock is found and nothing else changes")
{
    const std::string samples = samplesOrSkip();
    if (samples.empty())
        return;
    TempDir dir;
    const fs::path shifted = dir.path() / "PA7F-local.cbr";
    writeFileBytes(shifted, shiftedTimes(readAll(fs::path(samples) / "ntc-qp-2024-03-PA7F.cbr"), 60));
    std::vector<std::string> files = eventFiles(samples, "ntc-qp-2024-03-PA7F.cbr");
    files.push_back(shifted.string());
    const Judgement j = checked(files);
    const Judgement real = checked(eventFiles(samples));
    const std::uint32_t pa7f = stationNamed(j, "PA7F");
    CHECK(j.check.offsets[pa7f].minutes == 60);
    CHECK(stationReport(j, pa7f).find("Your clock was 1 hour fast") != std::string::npos);
    // 27 NILs and 51 QSOs outside the period before clocks were found by the hour.
    for (Finding f : {Finding::Nil, Finding::OutOfPeriod, Finding::Confirmed, Finding::BustedCall})
        CHECK(qsoCount(j, f) == qsoCount(real, f));
}

TEST_CASE("the real event with SV9RPE's log under SV9RPE/P, and PA7F's under a header typed PA7E")
{
    const std::string samples = samplesOrSkip();
    if (samples.empty())
        return;
    TempDir dir;
    // What SV9RPE would have logged with the three who worked it.
    const fs::path portable = dir.path() / "SV9RPE-P.cbr";
    writeFileBytes(portable, cabrillo("SV9RPE/P", {"QSO:  7033 CW 2024-03-21 1907 SV9RPE/P 599 DICK 210 ON6NL 599 ANTON 154",
                                          "QSO:  7033 CW 2024-03-21 1910 SV9RPE/P 599 DICK 210 DJ0SP 599 HANS 124",
                                          "QSO:  7032 CW 2024-03-21 1914 SV9RPE/P 599 DICK 210 PA7F 599 FRANK 181"}));
    std::vector<std::string> files = eventFiles(samples);
    files.push_back(portable.string());
    const Judgement j = checked(files);
    // DJ0SP copied DIRK for DICK: a real exchange error, not a call.
    CHECK(findingAt(j, "ON6NL", 34) == Finding::Confirmed);
    CHECK(findingAt(j, "DJ0SP", 23) == Finding::BustedExchange);
    CHECK(findingAt(j, "PA7F", 34) == Finding::Confirmed);
    CheckOptions bust;
    bust.suffixes = SuffixRule::Bust;
    const Judgement strict = checked(files, bust);
    CHECK(findingAt(strict, "ON6NL", 34) == Finding::BustedCall);
    CHECK(findingAt(strict, "PA7F", 34) == Finding::BustedCall);

    // PA7F's own log with its header and lines typed PA7E: its partners are not busted.
    std::string log = readAll(fs::path(samples) / "ntc-qp-2024-03-PA7F.cbr");
    for (std::size_t at = 0; (at = log.find("PA7F", at)) != std::string::npos;)
        log.replace(at, 4, "PA7E");
    const fs::path typo = dir.path() / "PA7E.cbr";
    writeFileBytes(typo, log);
    files = eventFiles(samples, "ntc-qp-2024-03-PA7F.cbr");
    files.push_back(typo.string());
    const Judgement doubted = checked(files);
    const Judgement real = checked(eventFiles(samples));
    CHECK(doubted.logs.stations[stationNamed(doubted, "PA7E")].callDoubt == "PA7F");
    CHECK(resultsText(doubted).find("  PA7E: its partners logged PA7F\n") != std::string::npos);
    CHECK(resultsJson(doubted).find("\"call_doubt\": \"PA7F\"") != std::string::npos);
    CHECK(resultsJson(real).find("call_doubt") == std::string::npos);
    CHECK(qsoCount(doubted, Finding::BustedCall) == qsoCount(real, Finding::BustedCall));
    CHECK(qsoCount(doubted, Finding::Confirmed) == qsoCount(real, Finding::Confirmed));
}
