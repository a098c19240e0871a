// Cross-checking small contests whose every QSO's fate is known.
#include "JudgeTestSupport.h"

#include "tools/logs/LogFile.h"
#include "tools/judge/CrossCheck.h"
#include "tools/judge/ResultFiles.h"

#include <doctest/doctest.h>

#include <cstdio>

using namespace judgetest;

namespace {

struct Expect {
    const char* station;
    unsigned qso; // from 0, in the station's log
    Finding finding;
};

CheckOptions korvaneCheck()
{
    const JudgeRules r = korvaneRules();
    CheckOptions o;
    o.start = r.start;
    o.end = r.end;
    return o;
}

const CompactQso& qsoOf(const ContestLogs& logs, const char* call, unsigned n)
{
    const std::uint32_t s = logs.stationOfCall[logs.calls.find(call)];
    REQUIRE(s != kNoIndex);
    REQUIRE(n < logs.stations[s].count);
    return logs.qsos[logs.stations[s].first + n];
}

} // namespace

TEST_CASE("each QSO's finding in contests made for it")
{
    struct Case {
        const char* what;
        std::vector<NamedLog> logs;
        std::vector<Expect> expected; // every QSO not listed is confirmed
    };
    const Case cases[] = {
        /* 1 */ {"three minutes apart still match",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                  {"UA3BB", {qso("UA3BB", "1503", "UA3AA", 7, 1)}}},
                 {}},
        /* 2 */ {"four minutes apart do not",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                  {"UA3BB", {qso("UA3BB", "1504", "UA3AA", 7, 1)}}},
                 {{"UA3AA", 0, Finding::Nil}, {"UA3BB", 0, Finding::Nil}}},
        /* 3 */ {"a wrong serial costs only the side that took it down",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 8)}},
                  {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}}},
                 {{"UA3AA", 0, Finding::BustedExchange}}},
        /* 4 */ {"band and mode must agree",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7, 1830)}},
                  {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1, 3530, "PH")}}},
                 {{"UA3AA", 0, Finding::Nil}, {"UA3BB", 0, Finding::Nil}}},
        /* 5 */ {"a call one letter off is busted; the other side keeps its QSO",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                  {"UA3BB", {qso("UA3BB", "1501", "UA3AA", 7, 1)}}},
                 {{"UA3AA", 0, Finding::BustedCall}}},
        /* 6 */ {"a portable suffix left out is a busted call",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                  {"UA3BB/P", {qso("UA3BB/P", "1500", "UA3AA", 7, 1)}}},
                 {{"UA3AA", 0, Finding::BustedCall}}},
        /* 7 */ {"a busted call that is another submitted station",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                  {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}},
                  {"UA3BC", {qso("UA3BC", "1520", "UA3DD", 3, 4)}},
                  {"UA3DD", {qso("UA3DD", "1520", "UA3BC", 4, 3)}}},
                 {{"UA3AA", 0, Finding::BustedCall}}},
        /* 8 */ {"not in the other log",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1510", "UA3BB", 2, 8)}},
                  {"UA3BB", {qso("UA3BB", "1510", "UA3AA", 8, 2)}}},
                 {{"UA3AA", 0, Finding::Nil}}},
        /* 9 */ {"a call in one log only is unique; in two, it only sent no log",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA9ZZ", 1, 5), qso("UA3AA", "1501", "UA1XX", 2, 5)}},
                  {"UA3BB", {qso("UA3BB", "1502", "UA1XX", 1, 6)}}},
                 {{"UA3AA", 0, Finding::Unique}, {"UA3AA", 1, Finding::NoLog}, {"UA3BB", 0, Finding::NoLog}}},
        /* 10 */ {"a line repeated to the minute is a duplicate; the first counts",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}}},
                  {{"UA3AA", 1, Finding::Duplicate}}},
        /* 11 */ {"before the start and from the end on is outside the period, on both sides",
                  {{"UA3AA", {qso("UA3AA", "1459", "UA3BB", 1, 7), qso("UA3AA", "1800", "UA3BB", 2, 8),
                              qso("UA3AA", "1759", "UA3BB", 3, 9)}},
                   {"UA3BB", {qso("UA3BB", "1459", "UA3AA", 7, 1), qso("UA3BB", "1800", "UA3AA", 8, 2),
                              qso("UA3BB", "1759", "UA3AA", 9, 3)}}},
                  {{"UA3AA", 0, Finding::OutOfPeriod}, {"UA3AA", 1, Finding::OutOfPeriod},
                   {"UA3BB", 0, Finding::OutOfPeriod}, {"UA3BB", 1, Finding::OutOfPeriod}}},
        /* 12 */ {"serials tell apart two QSOs a minute apart across a tour's end",
                  {{"UA3AA", {qso("UA3AA", "1529", "UA3BB", 1, 11), qso("UA3AA", "1530", "UA3BB", 2, 12)}},
                   {"UA3BB", {qso("UA3BB", "1530", "UA3AA", 11, 1), qso("UA3BB", "1531", "UA3AA", 12, 2)}}},
                  {}},
        /* 13 */ {"each QSO matches once",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1), qso("UA3BB", "1501", "UA3AA", 7, 1)}}},
                  {{"UA3BB", 1, Finding::Nil}}},
        /* 14 */ {"a busted call three minutes apart is still the station worked",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1503", "UA3AA", 7, 1)}}},
                  {{"UA3AA", 0, Finding::BustedCall}}},
        /* 15 */ {"four minutes apart it is not",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1504", "UA3AA", 7, 1)}}},
                  {{"UA3AA", 0, Finding::Unique}, {"UA3BB", 0, Finding::Nil}}},
        /* 16 */ {"one side sends the same exchange each time: the other side's serials pair the QSOs",
                  {{"UA3AA", {qso("UA3AA", "1529", "UA3BB", 1, 11), qso("UA3AA", "1530", "UA3BB", 2, 11)}},
                   {"UA3BB", {qso("UA3BB", "1530", "UA3AA", 11, 1), qso("UA3BB", "1531", "UA3AA", 11, 2)}}},
                  {}},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CAPTURE(c.what);
        ContestLogs logs = contestOf(c.logs);
        crossCheck(logs, korvaneCheck());
        for (const Station& s : logs.stations)
            for (unsigned i = 0; i < s.count; ++i) {
                Finding expected = Finding::Confirmed;
                for (const Expect& e : c.expected)
                    if (s.call == e.station && i == e.qso)
                        expected = e.finding;
                CAPTURE(s.call);
                CAPTURE(i);
                CHECK(findingKey(logs.qsos[s.first + i].finding) == std::string(findingKey(expected)));
            }
    }
}

TEST_CASE("the other side of a busted call is marked, and each side points at the other")
{
    ContestLogs logs = contestOf({{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                                  {"UA3BB", {qso("UA3BB", "1501", "UA3AA", 7, 1)}}});
    const CrossCheckResult r = crossCheck(logs, korvaneCheck());
    const CompactQso& theirs = qsoOf(logs, "UA3BB", 0);
    CHECK((theirs.flags & kOtherBustedMyCall) != 0);
    CHECK(r.partner[0] == 1);
    CHECK(r.partner[1] == 0);
}

TEST_CASE("a clock off by a constant is found, corrected and reported; a few minutes of scatter is not")
{
    // UA3AA's clock runs 6 minutes fast; its partners' are right.
    std::vector<std::string> mine;
    std::vector<NamedLog> logs;
    const char* partners[] = {"UA1BB", "UA2CC", "UA4DD", "UA6EE", "UA9FF", "RA3GG"};
    int k = 0;
    for (const char* p : partners) {
        const int minute = 10 + 7 * k;
        char real[8], fast[8];
        std::snprintf(real, sizeof real, "15%02d", minute);
        std::snprintf(fast, sizeof fast, "15%02d", minute + 6);
        mine.push_back(qso("UA3AA", fast, p, k + 1, 50 + k));
        logs.push_back({p, {qso(p, real, "UA3AA", 50 + k, k + 1)}});
        ++k;
    }
    // One QSO near the end: 18:03 by the fast clock is 17:57, inside the period.
    mine.push_back(qso("UA3AA", "1803", "UA1BB", 9, 60));
    logs[0].qsos.push_back(qso("UA1BB", "1757", "UA3AA", 60, 9));
    logs.insert(logs.begin(), {"UA3AA", mine});

    ContestLogs contest = contestOf(logs);
    const CrossCheckResult r = crossCheck(contest, korvaneCheck());
    CHECK(r.offsets[0].minutes == 6);
    CHECK(r.offsets[0].samples == 7);
    for (std::size_t s = 1; s < contest.stations.size(); ++s)
        CHECK(r.offsets[s].minutes == 0);
    for (const CompactQso& q : contest.qsos)
        CHECK(q.finding == Finding::Confirmed);

    // Off by one minute is within the tolerance and no clock to correct.
    ContestLogs nearly = contestOf({{"UA3AA", {qso("UA3AA", "1501", "UA1BB", 1, 2), qso("UA3AA", "1511", "UA2CC", 2, 2),
                                               qso("UA3AA", "1521", "UA4DD", 3, 2), qso("UA3AA", "1531", "UA6EE", 4, 2),
                                               qso("UA3AA", "1541", "UA9FF", 5, 2)}},
                                    {"UA1BB", {qso("UA1BB", "1500", "UA3AA", 2, 1)}},
                                    {"UA2CC", {qso("UA2CC", "1510", "UA3AA", 2, 2)}},
                                    {"UA4DD", {qso("UA4DD", "1520", "UA3AA", 2, 3)}},
                                    {"UA6EE", {qso("UA6EE", "1530", "UA3AA", 2, 4)}},
                                    {"UA9FF", {qso("UA9FF", "1540", "UA3AA", 2, 5)}}});
    CHECK(crossCheck(nearly, korvaneCheck()).offsets[0].minutes == 0);
}

TEST_CASE("a clock off by exactly the threshold is found, and the report says which way")
{
    struct Case {
        int offset;        // minutes UA3AA's clock is ahead of its partners'
        int partners;      // one QSO with each
        const char* words; // in UA3AA's report; nullptr: no clock line
    };
    const Case cases[] = {
        /* 1 */ {2, 6, "Your clock was 2 minutes fast"},
        /* 2 */ {-2, 6, "Your clock was 2 minutes slow"},
        /* 3 */ {5, 6, "Your clock was 5 minutes fast"},
        /* 4 */ {-9, 6, "Your clock was 9 minutes slow"},
        /* 5 */ {1, 6, nullptr},
        /* 6 */ {-1, 6, nullptr},
        /* 7 */ {3, 5, "Your clock was 3 minutes fast"}, // the fewest QSOs that tell
        /* 8 */ {3, 4, nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        std::vector<std::string> mine;
        std::vector<NamedLog> logs;
        const char* partners[] = {"UA1BB", "UA2CC", "UA4DD", "UA6EE", "UA9FF", "RA3GG"};
        for (int k = 0; k < c.partners; ++k) {
            const char* p = partners[k];
            const int minute = 20 + 5 * k;
            char real[8], logged[8];
            std::snprintf(real, sizeof real, "16%02d", minute);
            std::snprintf(logged, sizeof logged, "16%02d", minute + c.offset);
            mine.push_back(qso("UA3AA", logged, p, k + 1, 50 + k));
            logs.push_back({p, {qso(p, real, "UA3AA", 50 + k, k + 1)}});
        }
        logs.insert(logs.begin(), {"UA3AA", mine});
        Judgement j;
        j.logs = contestOf(logs);
        j.rules = korvaneRules();
        j.check = crossCheck(j.logs, korvaneCheck());
        j.results.resize(j.logs.stations.size());
        rankStations(j);
        CHECK(j.check.offsets[0].minutes == (c.words ? c.offset : 0));
        const std::string report = stationReport(j, 0);
        const std::string json = resultsJson(j);
        if (c.words) {
            CHECK_MESSAGE(report.find(c.words) != std::string::npos, report);
            CHECK(json.find("\"clock_offset\": {\"minutes\": " + std::to_string(c.offset) + ", \"samples\": " +
                            std::to_string(c.partners) + "}") != std::string::npos);
        } else {
            CHECK(report.find("Your clock") == std::string::npos);
        }
    }
}

TEST_CASE("a log refused half-way leaves none of its QSOs behind")
{
    ContestLogs logs = contestOf({{"UA3BB", {qso("UA3BB", "1500", "UA3AA", 1, 2)}}});
    const std::size_t before = logs.qsos.size();
    korvane::ReadLog log;
    log.format = korvane::LogFormat::Cabrillo;
    for (int m = 0; m < 300; ++m) {
        korvane::LogQso q;
        q.call = "UA1AA";
        q.band = "80";
        q.mode = "M" + std::to_string(m);
        q.freqHz = 3520000;
        q.time = makeOleDate(2026, 11, 21, 15, 0, 0);
        q.line = 6 + m;
        log.qsos.push_back(q);
    }
    std::string reason;
    std::size_t line = 0;
    log.header.callsign = "UA3AA";
    CHECK_FALSE(addStation(logs, "a.cbr", log, false, &reason, &line));
    CHECK(reason.find("more distinct") != std::string::npos);
    CHECK(line == 6 + 255); // the 256th mode
    CHECK(logs.qsos.size() == before);
    CHECK(logs.stations.size() == 1);
}

TEST_CASE("a band the frequency contradicts is not matched")
{
    korvane::ReadLog log;
    log.format = korvane::LogFormat::Cabrillo;
    korvane::LogQso q;
    q.call = "UA3BB";
    q.band = "80";
    q.mode = "CW";
    q.freqHz = 7010000;
    q.time = makeOleDate(2026, 11, 21, 15, 0, 0);
    q.line = 6;
    log.qsos.push_back(q);
    ContestLogs logs;
    std::string reason;
    std::size_t line = 0;
    log.header.callsign = "UA3AA";
    REQUIRE(addStation(logs, "a.cbr", log, false, &reason, &line));
    crossCheck(logs, korvaneCheck());
    CHECK(logs.qsos[0].finding == Finding::BandMismatch);
}
