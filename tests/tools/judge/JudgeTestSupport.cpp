#include "JudgeTestSupport.h"

#include "tools/judge/ContestDefinitionFile.h"

#include "tools/logs/LogFile.h"
#include "tools/logs/QsoFields.h"

#include <doctest/doctest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace judgetest {

void checkFindings(const std::vector<NamedLog>& named, const CheckOptions& options,
                   const std::vector<Expect>& expected, Unlisted unlisted)
{
    ContestLogs logs = contestOf(named);
    crossCheck(logs, options);
    for (const Station& s : logs.stations)
        for (unsigned i = 0; i < s.count; ++i) {
            const bool noLog = logs.stationOfCall[logs.qsos[s.first + i].call] == kNoIndex;
            Finding want = unlisted == Unlisted::ConfirmedOrNoLog && noLog ? Finding::NoLog : Finding::Confirmed;
            for (const Expect& e : expected)
                if (s.call == e.station && i == e.qso)
                    want = e.finding;
            CAPTURE(s.call);
            CAPTURE(i);
            CHECK(findingKey(logs.qsos[s.first + i].finding) == std::string(findingKey(want)));
        }
}

std::string qso(const std::string& own, const char* hhmm, const std::string& worked, int sent,
                int received, unsigned kHz, const char* mode)
{
    char line[200];
    std::snprintf(line, sizeof line, "QSO: %5u %-2s 2026-11-21 %s %-13s 599 %03d    %-13s 599 %03d", kHz,
                  mode, hhmm, own.c_str(), sent, worked.c_str(), received);
    return line;
}

std::string cabrillo(const std::string& call, const std::vector<std::string>& qsos,
                     const std::string& category)
{
    std::string text = "START-OF-LOG: 3.0\r\nCONTEST: KORVANE\r\nCALLSIGN: " + call +
                       "\r\nCATEGORY-OPERATOR: " + category + "\r\nCLAIMED-SCORE: 10\r\n";
    for (const std::string& q : qsos)
        text += q + "\r\n";
    return text + "END-OF-LOG:\r\n";
}

ContestLogs contestOf(const std::vector<NamedLog>& logs)
{
    ContestLogs contest;
    for (const NamedLog& log : logs) {
        const std::string text = cabrillo(log.call, log.qsos);
        const korvane::LogFileResult read = korvane::readLogText(text);
        REQUIRE_MESSAGE(read.ok, read.error);
        std::string reason;
        std::size_t line = 0;
        REQUIRE_MESSAGE(addStation(contest, log.call + ".cbr", read.log, false, &reason, &line),
                        reason);
    }
    contest.indexStations();
    return contest;
}

JudgeRules korvaneRules()
{
    JudgeRules rules;
    rules.start = *minuteOf(makeOleDate(2026, 11, 21, 15, 0, 0));
    rules.end = *minuteOf(makeOleDate(2026, 11, 21, 18, 0, 0));
    return rules;
}

// The party's definition as shipped beside the bundled sample, so that the tests hold
// the file a committee would use.
ContestDefinition ntcContest()
{
    static const ContestDefinition loaded = [] {
        ContestDefinition c;
        std::string error;
        const std::string file = folderFrom("KORVANE_BUNDLED") + "/ntc-qp.ini";
        REQUIRE_MESSAGE(loadContestDefinition(file, c, &error), error);
        return c;
    }();
    return loaded;
}

std::uint32_t stationNamed(const Judgement& j, const std::string& call)
{
    const std::uint32_t id = j.logs.calls.find(call);
    REQUIRE(id != TextTable::kNone);
    REQUIRE(j.logs.stationOfCall[id] != kNoIndex);
    return j.logs.stationOfCall[id];
}

std::uint32_t qsoOnLine(const Judgement& j, const std::string& call, std::uint32_t line)
{
    const Station& s = j.logs.stations[stationNamed(j, call)];
    for (std::uint32_t i = s.first; i < s.first + s.count; ++i)
        if (j.logs.qsos[i].line == line)
            return i;
    FAIL("no QSO on line " << line << " of " << call);
    return kNoIndex;
}

std::string pluginPath()
{
    const char* path = std::getenv("KORVANE_PLUGIN");
    return path ? path : "";
}

} // namespace judgetest
