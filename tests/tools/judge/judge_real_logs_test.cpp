// Real logs: the bundled sample and logs other people sent to a real contest read and
// judge without error. A log alone confirms nothing.
#include "JudgeTestSupport.h"

#include "TempDir.h"

#include "tools/judge/ExchangeParts.h"
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/judge/LogLoader.h"
#include "tools/judge/ResultFiles.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

using namespace judgetest;
namespace fs = std::filesystem;

namespace {

bool judgeFiles(const std::vector<std::string>& paths, const JudgeRules& rules, const fs::path& work,
                Judgement& j)
{
    JudgeOptions options;
    std::string error;
    REQUIRE_MESSAGE(listLogFiles(paths, options.files, &error), error);
    options.rules = rules;
    options.plugin.path = pluginPath();
    options.workFolder = work.string();
    const bool judged = judgeContest(options, j, &error);
    if (!judged)
        MESSAGE((error.empty() ? j.stopped : error));
    return judged;
}

std::size_t resultsCount(const Judgement& j, Finding f)
{
    std::size_t n = 0;
    for (const StationResult& r : j.results)
        n += r.byFinding[static_cast<int>(f)];
    return n;
}

std::vector<std::string> ntcEvent(const fs::path& root)
{
    return {(root / "ntcqp-2024-03").string(), (root / "ntc-qp-2024-03-PA7F.cbr").string(),
            (root / "ntc-qp-2024-03-S51Z.cbr").string(), (root / "ntc-qp-2024-03-DJ0SP.cbr").string()};
}

// The party's definition as shipped beside the bundled sample.
JudgeRules ntcRules()
{
    JudgeRules rules;
    std::string error;
    const fs::path file = fs::path(folderFrom("KORVANE_BUNDLED")) / "ntc-qp.ini";
    REQUIRE_MESSAGE(loadContestDefinition(file.string(), rules.contest, &error), error);
    rules.start = *rules.contest.start;
    rules.end = *rules.contest.end;
    return rules;
}

} // namespace

TEST_CASE("the bundled sample alone: nothing confirmed, every call unique, the tour rule's four refusals")
{
    const std::string bundled = folderFrom("KORVANE_BUNDLED");
    REQUIRE_MESSAGE(!bundled.empty(), "KORVANE_BUNDLED is not a folder");
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    const std::string sample = (fs::path(bundled) / "korvane-2026-RK3AZ").string();
    Judgement j;
    REQUIRE(judgeFiles({sample + ".cbr"}, korvaneRules(), dir.path() / "work", j));
    REQUIRE(j.logs.stations.size() == 1);
    const Station& s = j.logs.stations[0];
    CHECK(s.call == "RK3AZ");
    CHECK(s.count == 314);
    CHECK(*s.claimedScore == 445);
    CHECK(resultsCount(j, Finding::Confirmed) == 0);
    CHECK(resultsCount(j, Finding::Unique) == 310);

    // The refusals are those `korvane check` lists for the sample: log positions.
    std::set<std::uint32_t> expected, found;
    std::ifstream refused(sample + ".refused");
    for (std::uint32_t position; refused >> position;) {
        expected.insert(position);
        refused.ignore(256, '\n');
    }
    REQUIRE(expected.size() == 4);
    for (std::uint32_t i = 0; i < s.count; ++i)
        if (j.logs.qsos[s.first + i].finding == Finding::TourRepeat)
            found.insert(i + 1);
    CHECK(found == expected);
    // 310 QSOs and the same 131 calls: the plug-in's score without the four repeats.
    CHECK(j.results[0].pluginScore == 441);
    CHECK(j.results[0].score == 441);

    JudgeRules strict = korvaneRules();
    strict.uniquesValid = false;
    Judgement withoutUniques;
    REQUIRE(judgeFiles({sample + ".cbr"}, strict, dir.path() / "work", withoutUniques));
    CHECK(withoutUniques.results[0].valid == 0);
    CHECK(withoutUniques.results[0].pluginScore == 0);
}

TEST_CASE("a real contest's logs cross-check against each other; each alone confirms nothing")
{
    const std::string samples = folderFrom("KORVANE_SAMPLES");
    if (samples.empty()) {
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, the real logs are not judged");
        return;
    }
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    const fs::path root(samples);
    const std::vector<std::string> event = {
        (root / "ntcqp-2024-03").string(), (root / "ntc-qp-2024-03-PA7F.cbr").string(),
        (root / "ntc-qp-2024-03-S51Z.cbr").string(), (root / "ntc-qp-2024-03-DJ0SP.cbr").string(),
        (root / "ntc-qp-2024-03-PA3HEB.adi").string()};
    Judgement j;
    REQUIRE(judgeFiles(event, ntcRules(), dir.path() / "work", j));
    for (const UnreadableLog& u : j.logs.unreadable)
        MESSAGE(u.file << ": " << u.reason << " (line " << u.line << ")");
    CHECK(j.logs.unreadable.empty());
    CHECK(j.logs.stations.size() == 22);
    // The ADIF log is read as `score` reads it, and its partners' QSOs with it are found.
    const auto heb = std::find_if(j.logs.stations.begin(), j.logs.stations.end(),
                                  [](const Station& s) { return s.call == "PA3HEB"; });
    REQUIRE(heb != j.logs.stations.end());
    std::size_t hebConfirmed = 0;
    for (std::uint32_t i = heb->first; i < heb->first + heb->count; ++i)
        hebConfirmed += j.logs.qsos[i].finding != Finding::Nil && j.logs.qsos[i].finding != Finding::Unique;
    CHECK(heb->count == 12);
    CHECK(hebConfirmed > heb->count / 2);
    // One QSO of PA0M's is logged at 20:00, when the hour was over.
    CHECK(resultsCount(j, Finding::OutOfPeriod) == 1);
    // Most QSOs between participants are found in both logs; the free-text exchange
    // (name and member number) is often taken down differently.
    const std::size_t matched = resultsCount(j, Finding::Confirmed) + resultsCount(j, Finding::BustedExchange);
    CHECK(matched > 150);
    CHECK(resultsCount(j, Finding::Confirmed) > 50);
    CHECK(matched > 10 * resultsCount(j, Finding::Nil));

    for (const char* one : {"ntc-qp-2024-03-PA7F.cbr", "ntc-qp-2024-03-S51Z.cbr"}) {
        CAPTURE(one);
        Judgement alone;
        REQUIRE(judgeFiles({(root / one).string()}, ntcRules(), dir.path() / "work", alone));
        REQUIRE(alone.logs.stations.size() == 1);
        CHECK(resultsCount(alone, Finding::Confirmed) == 0);
        CHECK(resultsCount(alone, Finding::Nil) == 0);
        CHECK(resultsCount(alone, Finding::Unique) > 0);
    }

    // The whole folder, subfolders too: ADIF logs are judged; what cannot be is listed,
    // not fatal.
    std::vector<std::string> allFiles;
    std::string error;
    REQUIRE(listLogFiles({samples}, allFiles, &error));
    const ContestLogs allLogs = loadContestLogs(allFiles, LoadOptions());
    std::size_t adif = 0;
    for (const Station& s : allLogs.stations)
        adif += fs::path(s.file).extension().string().rfind(".adi", 0) == 0;
    CHECK(adif >= 5);
    std::size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(samples))
        files += entry.is_regular_file();
    CHECK(allLogs.stations.size() + allLogs.unreadable.size() == files);
    CHECK(allLogs.stations.size() > allLogs.unreadable.size());

    // Judged as the built-in contest, the event's QSOs all lie outside its period: the
    // judge stops and says so rather than publish nothing valid.
    Judgement wrongContest;
    CHECK_FALSE(judgeFiles(event, korvaneRules(), dir.path() / "work", wrongContest));
    CHECK_MESSAGE(wrongContest.stopped.find("473 of the 473 QSOs lie outside the period") != std::string::npos,
                  wrongContest.stopped);
}

TEST_CASE("a file named to sort first that claims a real station's call displaces nothing")
{
    const std::string samples = folderFrom("KORVANE_SAMPLES");
    if (samples.empty()) {
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, the real logs are not judged");
        return;
    }
    TempDir dir;
    const fs::path root(samples);
    const fs::path forged = dir.path() / "0.cbr";
    writeFileBytes(forged, "START-OF-LOG: 3.0\nCALLSIGN: PA7F\nCATEGORY-OPERATOR: SINGLE-OP\n"
                           "QSO: 3520 CW 2024-03-21 1905 PA7F 599 JAN 1 ON6NL 599 PAUL 2\nEND-OF-LOG:\n");
    const std::string real = (root / "ntc-qp-2024-03-PA7F.cbr").string();
    auto judge = [&](std::vector<std::string> paths, std::map<std::string, std::string> chosen, Judgement& j) {
        JudgeOptions options;
        std::string error;
        paths.push_back((root / "ntcqp-2024-03").string());
        REQUIRE_MESSAGE(listLogFiles(paths, options.files, &error), error);
        options.rules = ntcRules();
        options.chosen = std::move(chosen);
        options.plugin.path = pluginPath();
        options.workFolder = (dir.path() / "work").string();
        std::string error2;
        REQUIRE_MESSAGE(judgeContest(options, j, &error2), error2);
    };
    auto pa7f = [](const Judgement& j) -> const StationResult* {
        for (std::uint32_t s = 0; s < j.logs.stations.size(); ++s)
            if (j.logs.stations[s].call == "PA7F")
                return &j.results[s];
        return nullptr;
    };
    Judgement honest, contested, chosen;
    judge({real}, {}, honest);
    REQUIRE(pa7f(honest));
    CHECK(pa7f(honest)->score > 50);

    // Neither log is judged, both are listed for the committee.
    judge({forged.string(), real}, {}, contested);
    CHECK_FALSE(pa7f(contested));
    std::size_t listed = 0;
    for (const UnreadableLog& u : contested.logs.unreadable)
        listed += u.call == "PA7F" && u.reason.find("--choose PA7F=FILE") != std::string::npos;
    CHECK(listed == 2);

    judge({forged.string(), real}, {{"PA7F", "ntc-qp-2024-03-PA7F.cbr"}}, chosen);
    REQUIRE(pa7f(chosen));
    CHECK(pa7f(chosen)->score == pa7f(honest)->score);
}

TEST_CASE("a real event's exchanges: the way one is written and a sender's incomplete log bust nobody; real errors stay found")
{
    const std::string samples = folderFrom("KORVANE_SAMPLES");
    if (samples.empty()) {
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, the real exchanges are not judged");
        return;
    }
    REQUIRE(!pluginPath().empty());
    TempDir dir;
    Judgement j;
    REQUIRE(judgeFiles(ntcEvent(samples), ntcRules(), dir.path() / "work", j));

    struct Verdict {
        const char* station;
        std::uint32_t line;
        Finding finding;
        const char* what;
    };
    const Verdict verdicts[] = {
        {"F6JOE", 28, Finding::Confirmed, "HANS 124 where DJ0SP logs HANS/124"},
        {"PC4Y", 26, Finding::Confirmed, "VOLKER 84 where DJ9BM logs VOLKER084"},
        {"ON6NL", 29, Finding::Confirmed, "VANNI 164 where I5ECW logs 599VANNI164"},
        {"ON6NL", 38, Finding::Confirmed, "JEAN 44 where F6JOE logs JEAN NTC44"},
        {"PA7F", 41, Finding::Confirmed, "KOOS 165 where PE4KH logs KOOS alone"},
        {"PA7F", 33, Finding::Confirmed, "AGE 119 where PA0XAW logs 599-119"},
        {"I5ECW", 20, Finding::Confirmed, "NTC 154 2 POINTS: the number without the name"},
        {"OK1DZ", 31, Finding::BustedExchange, "ZOLI 226 where S51Z sends ZOKI 226"},
        {"DJ0SP", 23, Finding::BustedExchange, "DIRK 210 where the others copy DICK 210"},
        {"PE4KH", 24, Finding::BustedExchange, "FRANK 171 for FRANK 181"},
        {"LB2WD", 40, Finding::BustedExchange, "VANNI 175 for VANNI 164"},
    };
    for (const Verdict& v : verdicts) {
        const std::string what = v.what;
        CAPTURE(what);
        CHECK(findingKey(j.logs.qsos[qsoOnLine(j, v.station, v.line)].finding) == std::string(findingKey(v.finding)));
    }

    // The whole event: every busted exchange differs from what was sent in a name or a
    // number, never only in the way it is written or where the sender's log is silent.
    const std::set<std::pair<std::string, std::uint32_t>> expected = {
        {"DJ0SP", 18}, {"DJ0SP", 20}, {"DJ0SP", 23}, {"I5ECW", 40}, {"I5ECW", 43},
        {"LB2WD", 40}, {"M0SDB", 23}, {"OK1DZ", 31}, {"PA7F", 70},  {"PC4Y", 28},
        {"PE4KH", 24}, {"PE4KH", 32}, {"S51Z", 30},  {"S51Z", 58},  {"SP7OGP", 22}};
    std::set<std::pair<std::string, std::uint32_t>> busted;
    ExchangeReader reader(exchangeRules(ntcContest()));
    for (std::uint32_t i = 0; i < j.logs.qsos.size(); ++i) {
        const CompactQso& q = j.logs.qsos[i];
        if (q.finding != Finding::BustedExchange)
            continue;
        busted.insert({j.logs.stations[j.logs.stationOf(i)].call, q.line});
        const std::uint32_t other = j.check.partner[i];
        if (other == kNoIndex)
            continue;
        const PartValues got = reader.parts(q.received, j.logs.exchanges);
        const PartValues sent = reader.parts(j.logs.qsos[other].sent, j.logs.exchanges);
        bool differs = false;
        for (std::size_t k = 0; k < got.size(); ++k)
            differs = differs || (sent[k] != kNoValue && got[k] != kNoValue && got[k] != sent[k]);
        CAPTURE(q.line);
        CHECK(differs);
    }
    CHECK(busted == expected);

    // The sender sees it too.
    const std::string koos = stationReport(j, stationNamed(j, "PE4KH"));
    CHECK(koos.find("Your exchange: 2 of 2 partners copied KOOS 165; your log says KOOS\n") != std::string::npos);
    const std::string zoki = stationReport(j, stationNamed(j, "S51Z"));
    CHECK(zoki.find("Your exchange: 11 of 12 partners copied ZOKI 226; your log says ZOKI 226\n") != std::string::npos);
    const std::string zoli = stationReport(j, stationNamed(j, "OK1DZ"));
    CHECK(zoli.find("received ZOLI 226, S51Z sent ZOKI 226 (11 of 12 partners copied ZOKI 226)") != std::string::npos);
}
