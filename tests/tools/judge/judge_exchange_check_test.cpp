// Exchanges of names and member numbers judged as a log checker judges them: what a
// station sent is what its partners agree it sent, its own log being one voice.
#include "JudgeTestSupport.h"

#include "tools/judge/CrossCheck.h"

#include <doctest/doctest.h>

#include <cstdio>

using namespace judgetest;

namespace {

// "QSO:  7030 CW 2026-11-21 HHMM OWN 599 SENT WORKED 599 RECEIVED"
std::string line(const std::string& own, const char* hhmm, const char* sent, const std::string& worked,
                 const char* received)
{
    char text[200];
    std::snprintf(text, sizeof text, "QSO:  7030 CW 2026-11-21 %s %-13s 599 %-14s %-13s 599 %s", hhmm, own.c_str(),
                  sent, worked.c_str(), received);
    return text;
}

CheckOptions ntcCheck(bool missingNameIsBust = false)
{
    const JudgeRules r = korvaneRules();
    CheckOptions o;
    o.start = r.start;
    o.end = r.end;
    ContestDefinition ntc = ntcContest();
    ntc.missingNameIsBust = missingNameIsBust;
    o.exchange = exchangeRules(ntc);
    return o;
}

// Three partners of one sender: each sends its own exchange and copies the sender's
// as given; the sender's log sends `own` to each.
std::vector<NamedLog> threePartners(const char* own, const char* first, const char* second, const char* third)
{
    return {{"PE1KK", {line("PE1KK", "1500", own, "PA1AA", "ANNA 11"), line("PE1KK", "1510", own, "PA2BB", "BEN 12"),
                       line("PE1KK", "1520", own, "PA3CC", "COR 13")}},
            {"PA1AA", {line("PA1AA", "1500", "ANNA 11", "PE1KK", first)}},
            {"PA2BB", {line("PA2BB", "1510", "BEN 12", "PE1KK", second)}},
            {"PA3CC", {line("PA3CC", "1520", "COR 13", "PE1KK", third)}}};
}

} // namespace

TEST_CASE("a received exchange is busted only against what its sender is agreed to have sent")
{
    struct Case {
        const char* what;
        std::vector<NamedLog> logs;
        std::vector<Expect> expected; // every QSO not listed is confirmed (or its station sent no log)
    };
    const Case cases[] = {
        /* 1 */ {"the same exchange written otherwise is no bust",
                 threePartners("HANS/124", "HANS 124", "124 hans", "HANS NTC#0124"), {}},
        /* 2 */ {"the sender's log without its number: the partners' copies say it",
                 threePartners("KOOS", "KOOS 165", "KOOS 165", "KOOS 175"), {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 3 */ {"a template text in the sender's log", threePartners("Name NTC#/NM", "PETER 12", "PETER 12", "PETER 12"),
                 {}},
        /* 4 */ {"a sender's log with no exchange at all", threePartners("", "PETER 12", "PETER 12", "PIETER 12"),
                 {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 5 */ {"one partner's wrong name, against the sender's log and the others",
                 threePartners("ZOKI 226", "ZOKI 226", "ZOKI 226", "ZOLI 226"), {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 6 */ {"a name two partners copy alike is a variant the sender used",
                 threePartners("HANS 124", "HANNES 124", "HANNES 124", "HANS 124"), {}},
        /* 7 */ {"a wrong number, 185 or 086 for 085",
                 threePartners("BERT 085", "BERT 185", "BERT 085", "BERT 086"),
                 {{"PA1AA", 0, Finding::BustedExchange}, {"PA3CC", 0, Finding::BustedExchange}}},
        /* 8 */ {"partners who each copy another number: the sender's log decides",
                 threePartners("BERT 085", "BERT 185", "BERT 087", "BERT 086"),
                 {{"PA1AA", 0, Finding::BustedExchange}, {"PA2BB", 0, Finding::BustedExchange},
                  {"PA3CC", 0, Finding::BustedExchange}}},
        /* 9 */ {"a receiver who wrote only the number",
                 threePartners("ANTON 154", "NTC 154 2 POINTS", "ANTON 154", "NTC 155 2 POINTS"),
                 {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 10 */ {"\"no member\" copied where no number was sent, and a number where none was",
                 threePartners("JARDA NM", "JARDA NM", "JARDA", "JARDA 12"), {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 11 */ {"a non-member's serials are compared line by line",
                 {{"PE1KK", {line("PE1KK", "1500", "JAN 1", "PA1AA", "ANNA 11"), line("PE1KK", "1510", "JAN 2", "PA2BB", "BEN 12"),
                             line("PE1KK", "1520", "JAN 3", "PA3CC", "COR 13")}},
                  {"PA1AA", {line("PA1AA", "1500", "ANNA 11", "PE1KK", "JAN 1")}},
                  {"PA2BB", {line("PA2BB", "1510", "BEN 12", "PE1KK", "JAN 002")}},
                  {"PA3CC", {line("PA3CC", "1520", "COR 13", "PE1KK", "JAN 2")}}},
                 {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 12 */ {"a station without a log is held to what most who worked it copied",
                  {{"PA1AA", {line("PA1AA", "1500", "ANNA 11", "SV9RPE", "DICK 210")}},
                   {"PA2BB", {line("PA2BB", "1510", "BEN 12", "SV9RPE", "DICK 210")}},
                   {"PA3CC", {line("PA3CC", "1520", "COR 13", "SV9RPE", "DIRK 210")}}},
                  {{"PA3CC", 0, Finding::BustedExchange}}},
        /* 13 */ {"two who worked it and disagree: neither is held wrong",
                  {{"PA1AA", {line("PA1AA", "1500", "ANNA 11", "SV9RPE", "DICK 210")}},
                   {"PA3CC", {line("PA3CC", "1520", "COR 13", "SV9RPE", "DIRK 210")}}},
                  {}},
        /* 14 */ {"a busted call's other side answers for the exchange it took down",
                  {{"PA1AA", {line("PA1AA", "1500", "ANNA 11", "PA2BC", "BEN 12")}},
                   {"PA2BB", {line("PA2BB", "1500", "BEN 12", "PA1AA", "ANNA 17")}}},
                  {{"PA1AA", 0, Finding::BustedCall}, {"PA2BB", 0, Finding::BustedExchange}}},
        /* 15 */ {"both sides busted: each is judged on its own",
                  {{"PA1AA", {line("PA1AA", "1500", "ANNA 11", "PA2BB", "BEN 13")}},
                   {"PA2BB", {line("PA2BB", "1500", "BEN 12", "PA1AA", "ANA 11")}}},
                  {{"PA1AA", 0, Finding::BustedExchange}, {"PA2BB", 0, Finding::BustedExchange}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        const std::string what = c.what;
        CAPTURE(n);
        CAPTURE(what);
        checkFindings(c.logs, ntcCheck(), c.expected, Unlisted::ConfirmedOrNoLog);
    }
}

TEST_CASE("a missing name is a bust only when the contest says so")
{
    const std::vector<NamedLog> logs = threePartners("ANTON 154", "NTC 154 2 POINTS", "ANTON 154", "154");
    checkFindings(logs, ntcCheck(false), {}, Unlisted::ConfirmedOrNoLog);
    checkFindings(logs, ntcCheck(true), {{"PA1AA", 0, Finding::BustedExchange}, {"PA3CC", 0, Finding::BustedExchange}},
                  Unlisted::ConfirmedOrNoLog);
}

TEST_CASE("each sender sees how its partners copied its exchange beside what its log says")
{
    ContestLogs logs = contestOf(threePartners("KOOS", "KOOS 165", "KOOS 165", "KOOS 175"));
    const CrossCheckResult r = crossCheck(logs, ntcCheck());
    REQUIRE(r.senders.size() == logs.stations.size());
    const SenderView& koos = r.senders[logs.stationOfCall[logs.calls.find("PE1KK")]];
    CHECK(koos.partners == 3);
    CHECK(koos.agreeing == 2);
    CHECK(koos.copied == "KOOS 165");
    CHECK(koos.ownLog == "KOOS");
    const SenderView& anna = r.senders[logs.stationOfCall[logs.calls.find("PA1AA")]];
    CHECK(anna.partners == 1);
    CHECK(anna.agreeing == 1);
    CHECK(anna.copied == "ANNA 11");

    // A serial-only contest has no agreement to show: each line says what was sent.
    ContestLogs serials = contestOf({{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7)}},
                                     {"UA3BB", {qso("UA3BB", "1500", "UA3AA", 7, 1)}}});
    CheckOptions korvane = ntcCheck();
    korvane.exchange = ExchangeRules{};
    CHECK(crossCheck(serials, korvane).senders.empty());
}
