// Cross-checking small contests whose every QSO's fate is known.
#include "JudgeTestSupport.h"

#include "tools/logs/LogFile.h"
#include "tools/judge/CrossCheck.h"
#include "tools/judge/ResultFiles.h"

#include <doctest/doctest.h>

#include <cstdio>

using namespace judgetest;

namespace {

CheckOptions korvaneCheck()
{
    const JudgeRules r = korvaneRules();
    CheckOptions o;
    o.start = r.start;
    o.end = r.end;
    return o;
}

// Minutes of the day as "HHMM".
std::string hhmm(int minute)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d", minute / 60 % 100, minute % 60);
    return text;
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
        SuffixRule suffixes = SuffixRule::Ignore;
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
        /* 6 */ {"a portable suffix left out is the same station",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                  {"UA3BB/P", {qso("UA3BB/P", "1500", "UA3AA", 7, 1)}}},
                 {}},
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
        /* 17 */ {"a portable suffix left out is busted where the contest counts suffixes",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                   {"UA3BB/M", {qso("UA3BB/M", "1500", "UA3AA", 7, 1)}}},
                  {{"UA3AA", 0, Finding::BustedCall}},
                  SuffixRule::Bust},
        /* 18 */ {"/QRP is never part of the call",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB/QRP", 1, 7), qso("UA3AA", "1510", "UA3CC", 2, 4)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA/QRP", 7, 1)}},
                   {"UA3CC/QRP", {qso("UA3CC/QRP", "1510", "UA3AA", 4, 2)}}},
                  {},
                  SuffixRule::Bust},
        /* 19 */ {"two neighbouring characters swapped are a busted call",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BD", 1, 7)}},
                   {"UA3DB", {qso("UA3DB", "1500", "UA3AA", 7, 1)}}},
                  {{"UA3AA", 0, Finding::BustedCall}}},
        /* 20 */ {"both sides logged the other's call wrong: each is busted on its own",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1501", "UA3AB", 7, 1)}}},
                  {{"UA3AA", 0, Finding::BustedCall}, {"UA3BB", 0, Finding::BustedCall}}},
        /* 21 */ {"one side the call, the other the exchange",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 9)}}},
                  {{"UA3AA", 0, Finding::BustedCall}, {"UA3BB", 0, Finding::BustedExchange}}},
        /* 22 */ {"both calls wrong and four minutes apart are two QSOs",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BC", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1504", "UA3AB", 7, 1)}}},
                  {{"UA3AA", 0, Finding::Unique}, {"UA3BB", 0, Finding::Unique}}},
        /* 23 */ {"a unique one character from a call three logs hold is a busted copy of it",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA9ZX", 1, 5)}},
                   {"UA3BB", {qso("UA3BB", "1502", "UA9ZZ", 1, 6)}},
                   {"UA3CC", {qso("UA3CC", "1503", "UA9ZZ", 1, 7)}},
                   {"UA3DD", {qso("UA3DD", "1504", "UA9ZZ", 1, 8)}}},
                  {{"UA3AA", 0, Finding::BustedCall}, {"UA3BB", 0, Finding::NoLog}, {"UA3CC", 0, Finding::NoLog},
                   {"UA3DD", 0, Finding::NoLog}}},
        /* 24 */ {"two logs are not enough",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA9ZX", 1, 5)}},
                   {"UA3BB", {qso("UA3BB", "1502", "UA9ZZ", 1, 6)}},
                   {"UA3CC", {qso("UA3CC", "1503", "UA9ZZ", 1, 7)}}},
                  {{"UA3AA", 0, Finding::Unique}, {"UA3BB", 0, Finding::NoLog}, {"UA3CC", 0, Finding::NoLog}}},
        /* 25 */ {"a near miss: the side another confirmed QSO shows on the air keeps it",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1502", "UA3CC", 2, 3)}},
                   {"UA3BB", {qso("UA3BB", "1511", "UA3AA", 7, 1)}},
                   {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 3, 2)}}},
                  {{"UA3BB", 0, Finding::WrongTime}}},
        /* 26 */ {"a near miss the logs cannot settle stays a NIL on both sides",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                   {"UA3BB", {qso("UA3BB", "1511", "UA3AA", 7, 1)}}},
                  {{"UA3AA", 0, Finding::Nil}, {"UA3BB", 0, Finding::Nil}}},
        /* 27 */ {"other numbers are no near miss",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1502", "UA3CC", 2, 3)}},
                   {"UA3BB", {qso("UA3BB", "1511", "UA3AA", 8, 1)}},
                   {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 3, 2)}}},
                  {{"UA3AA", 0, Finding::Nil}, {"UA3BB", 0, Finding::Nil}}},
        /* 28 */ {"further off than a near miss is a NIL",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1502", "UA3CC", 2, 3)}},
                   {"UA3BB", {qso("UA3BB", "1531", "UA3AA", 7, 1)}},
                   {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 3, 2)}}},
                  {{"UA3AA", 0, Finding::Nil}, {"UA3BB", 0, Finding::Nil}}},
        /* 29 */ {"a header call no partner logged: the partners keep their QSOs",
                  {{"UA3AX", {qso("UA3AX", "1500", "UA3BB", 1, 7), qso("UA3AX", "1502", "UA3CC", 2, 8),
                              qso("UA3AX", "1504", "UA3DD", 3, 9)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}},
                   {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 8, 2)}},
                   {"UA3DD", {qso("UA3DD", "1504", "UA3AA", 9, 3)}}},
                  {}},
        /* 30 */ {"two partners who logged another call are two busted calls",
                  {{"UA3AX", {qso("UA3AX", "1500", "UA3BB", 1, 7), qso("UA3AX", "1502", "UA3CC", 2, 8)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}},
                   {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 8, 2)}}},
                  {{"UA3BB", 0, Finding::BustedCall}, {"UA3CC", 0, Finding::BustedCall}}},
        /* 31 */ {"partners who logged two different calls are busted",
                  {{"UA3AX", {qso("UA3AX", "1500", "UA3BB", 1, 7), qso("UA3AX", "1502", "UA3CC", 2, 8),
                              qso("UA3AX", "1504", "UA3DD", 3, 9)}},
                   {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}},
                   {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 8, 2)}},
                   {"UA3DD", {qso("UA3DD", "1504", "UA3AY", 9, 3)}}},
                  {{"UA3BB", 0, Finding::BustedCall}, {"UA3CC", 0, Finding::BustedCall},
                   {"UA3DD", 0, Finding::BustedCall}}},
        /* 32 */ {"a near miss: the line whose place in its log fits the other side's time, not its own, was typed",
                  // UA3AA typed two times in a row: neither stands out against the line
                  // beside it, and both sides were on the air at either time.
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3CC", 1, 3), qso("UA3AA", "1502", "UA3DD", 2, 4),
                              qso("UA3AA", "1520", "UA3BB", 3, 7), qso("UA3AA", "1530", "UA9XYZ", 4, 1),
                              qso("UA3AA", "1506", "UA3CC", 5, 5), qso("UA3AA", "1518", "UA3DD", 6, 6)}},
                   {"UA3BB", {qso("UA3BB", "1501", "UA3DD", 6, 7), qso("UA3BB", "1505", "UA3AA", 7, 3)}},
                   {"UA3CC", {qso("UA3CC", "1500", "UA3AA", 3, 1), qso("UA3CC", "1506", "UA3AA", 5, 5)}},
                   {"UA3DD", {qso("UA3DD", "1501", "UA3BB", 7, 6), qso("UA3DD", "1502", "UA3AA", 4, 2),
                              qso("UA3DD", "1518", "UA3AA", 6, 6)}}},
                  {{"UA3AA", 2, Finding::WrongTime}, {"UA3AA", 3, Finding::Unique}}},
        /* 33 */ {"a near miss whose typed time fits its place as well as the other's stays unsettled",
                  {{"UA3AA", {qso("UA3AA", "1500", "UA3CC", 1, 3), qso("UA3AA", "1520", "UA3BB", 2, 7),
                              qso("UA3AA", "1521", "UA3CC", 3, 5)}},
                   {"UA3BB", {qso("UA3BB", "1505", "UA3AA", 7, 2), qso("UA3BB", "1506", "UA3CC", 8, 9)}},
                   {"UA3CC", {qso("UA3CC", "1500", "UA3AA", 3, 1), qso("UA3CC", "1506", "UA3BB", 9, 8),
                              qso("UA3CC", "1521", "UA3AA", 5, 3)}}},
                  {{"UA3AA", 1, Finding::Nil}, {"UA3BB", 0, Finding::Nil}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CAPTURE(c.what);
        CheckOptions options = korvaneCheck();
        options.suffixes = c.suffixes;
        checkFindings(c.logs, options, c.expected);
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

TEST_CASE("a clock off by exactly the threshold, by whole hours or by a zone's half hour is found, and the report says which way")
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
        /* 9 */ {60, 6, "Your clock was 1 hour fast"}, // a log kept in local time
        /* 10 */ {-120, 6, "Your clock was 2 hours slow"},
        /* 11 */ {65, 6, "Your clock was 1 hour 5 minutes fast"},
        /* 12 */ {-14 * 60, 6, "Your clock was 14 hours slow"},
        /* 13 */ {-57, 6, "Your clock was 57 minutes slow"},
        /* 14 */ {120, 4, nullptr},
        /* 15 */ {5 * 60 + 30, 6, "Your clock was 5 hours 30 minutes fast"}, // zones half an hour off
        /* 16 */ {5 * 60 + 45, 6, "Your clock was 5 hours 45 minutes fast"},
        /* 17 */ {-(3 * 60 + 30), 6, "Your clock was 3 hours 30 minutes slow"},
        /* 18 */ {-(12 * 60 + 45), 6, "Your clock was 12 hours 45 minutes slow"},
        /* 19 */ {-(9 * 60 + 30), 6, "Your clock was 9 hours 30 minutes slow"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        std::vector<std::string> mine;
        std::vector<NamedLog> logs;
        const char* partners[] = {"UA1BB", "UA2CC", "UA4DD", "UA6EE", "UA9FF", "RA3GG"};
        for (int k = 0; k < c.partners; ++k) {
            const char* p = partners[k];
            const int minute = 16 * 60 + 20 + 5 * k;
            mine.push_back(qso("UA3AA", hhmm(minute + c.offset).c_str(), p, k + 1, 50 + k));
            logs.push_back({p, {qso(p, hhmm(minute).c_str(), "UA3AA", 50 + k, k + 1)}});
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

TEST_CASE("reports name the near miss, the call a busted copy was meant to be, and a doubted header")
{
    struct Case {
        const char* what;
        std::vector<NamedLog> logs;
        const char* station; // whose report
        const char* words;   // in it
    };
    const std::vector<NamedLog> nearMiss = {
        {"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1502", "UA3CC", 2, 3)}},
        {"UA3BB", {qso("UA3BB", "1511", "UA3AA", 7, 1)}},
        {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 3, 2)}}};
    const std::vector<NamedLog> unsettled = {{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                                             {"UA3BB", {qso("UA3BB", "1511", "UA3AA", 7, 1)}}};
    const std::vector<NamedLog> doubted = {
        {"UA3AX", {qso("UA3AX", "1500", "UA3BB", 1, 7), qso("UA3AX", "1502", "UA3CC", 2, 8),
                   qso("UA3AX", "1504", "UA3DD", 3, 9)}},
        {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}},
        {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 8, 2)}},
        {"UA3DD", {qso("UA3DD", "1504", "UA3AA", 9, 3)}}};
    const Case cases[] = {
        /* 1 */ {"the wrong time", nearMiss, "UA3BB", "time far from the partner's: in UA3AA's log at 15:00"},
        /* 2 */ {"the right time", nearMiss, "UA3AA", "UA3BB logged this QSO at 15:11"},
        /* 3 */ {"unsettled, one side", unsettled, "UA3AA", "a near miss: UA3BB logged it at 15:11"},
        /* 4 */ {"unsettled, the other", unsettled, "UA3BB", "a near miss: UA3AA logged it at 15:00"},
        /* 5 */ {"the meant call",
                 {{"UA3AA", {qso("UA3AA", "1500", "UA9ZX", 1, 5)}},
                  {"UA3BB", {qso("UA3BB", "1502", "UA9ZZ", 1, 6)}},
                  {"UA3CC", {qso("UA3CC", "1503", "UA9ZZ", 1, 7)}},
                  {"UA3DD", {qso("UA3DD", "1504", "UA9ZZ", 1, 8)}}},
                 "UA3AA",
                 "logged UA9ZX, in no other log; probably UA9ZZ, which 3 logs hold"},
        /* 6 */ {"the doubted header", doubted, "UA3AX", "Your partners logged you as UA3AA, not UA3AX"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CAPTURE(c.what);
        Judgement j;
        j.logs = contestOf(c.logs);
        j.rules = korvaneRules();
        j.check = crossCheck(j.logs, korvaneCheck());
        j.results.resize(j.logs.stations.size());
        rankStations(j);
        const std::uint32_t s = j.logs.stationOfCall[j.logs.calls.find(c.station)];
        REQUIRE(s != kNoIndex);
        const std::string report = stationReport(j, s);
        CHECK_MESSAGE(report.find(c.words) != std::string::npos, report);
    }
}

TEST_CASE("a doubted header is flagged with the call its partners logged, and only then")
{
    ContestLogs logs = contestOf({{"UA3AX", {qso("UA3AX", "1500", "UA3BB", 1, 7), qso("UA3AX", "1502", "UA3CC", 2, 8),
                                             qso("UA3AX", "1504", "UA3DD", 3, 9)}},
                                  {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}},
                                  {"UA3CC", {qso("UA3CC", "1502", "UA3AA", 8, 2)}},
                                  {"UA3DD", {qso("UA3DD", "1504", "UA3AX", 9, 3)}}});
    crossCheck(logs, korvaneCheck());
    // One partner logged the header's call: the others are busted, the header stands.
    CHECK(logs.stations[0].callDoubt.empty());
    CHECK(qsoOf(logs, "UA3BB", 0).finding == Finding::BustedCall);
    CHECK(qsoOf(logs, "UA3DD", 0).finding == Finding::Confirmed);
}
