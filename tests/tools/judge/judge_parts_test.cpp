// The judge's small rules: which calls are one character apart, when two exchanges
// are the same, what a header makes of a log, minutes and back.
#include "JudgeTestSupport.h"

#include "tools/judge/Categories.h"
#include "tools/judge/ContestDefinitionFile.h"
#include "tools/judge/OutsideContest.h"
#include "tools/judge/LogIntake.h"
#include "tools/logs/CabrilloReader.h"
#include "tools/logs/LogFile.h"
#include "tools/judge/CrossCheck.h"
#include "tools/judge/ExchangeParts.h"
#include "tools/judge/FindingKinds.h"

#include <doctest/doctest.h>

using namespace judgetest;
using korvane::CabrilloHeader;

namespace {

// The header as the Cabrillo reader takes it.
CabrilloHeader readCabrilloHeader(const std::string& text) { return korvane::readCabrillo(text).header; }

} // namespace

TEST_CASE("a busted call is one character away or two neighbours swapped, or a portable suffix more or less")
{
    struct Case {
        const char* a;
        const char* b;
        bool apart;
    };
    const Case cases[] = {
        /* 1 */ {"UA3AB", "UA3AC", true},      // one letter replaced
        /* 2 */ {"UA3AB", "UA4AB", true},      // the digit
        /* 3 */ {"UA3AB", "UA3ABC", true},     // one added at the end
        /* 4 */ {"UA3AB", "UA3B", true},       // one left out inside
        /* 5 */ {"UA3AB", "U3AB", true},       // one left out in the prefix
        /* 6 */ {"UA3AB", "UA3AB/P", true},    // portable added
        /* 7 */ {"UA3AB/P", "UA3AB", true},    // portable left out
        /* 8 */ {"UA3AB/QRP", "UA3AB", true},
        /* 9 */ {"UA3AB", "UA3AB", false},     // the same call
        /* 10 */ {"UA3AB", "UA3BA", true},     // two neighbours swapped
        /* 11 */ {"UA3AB", "UA4AC", false},    // two replaced
        /* 12 */ {"UA3AB", "UA3ABCD", false},  // two added
        /* 13 */ {"UA3AB/P", "UA3AB/M", true}, // the suffix's letter
        /* 14 */ {"UA3AB/P", "UA3AC", false},  // suffix and a letter
        /* 15 */ {"UA3AB", "UA3AB/PORTA", false},
        /* 16 */ {"", "A", true},
        /* 17 */ {"IN3FHE", "IN3HFE", true},   // swapped inside
        /* 18 */ {"UA3AB", "AU3AB", true},     // swapped at the start
        /* 19 */ {"UA3AB", "UB3AA", false},    // swapped, but not neighbours
        /* 20 */ {"UA3ABCD", "UA3BADC", false}, // two swaps
        /* 21 */ {"UA3AB", "UA3BAC", false},   // swapped and one added
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CHECK(oneCharacterApart(c.a, c.b) == c.apart);
        CHECK(oneCharacterApart(c.b, c.a) == c.apart);
    }
}

TEST_CASE("the call as matched: /QRP always dropped, /P and /M unless suffixes count")
{
    struct Case {
        const char* call;
        SuffixRule rule;
        const char* matched;
    };
    const Case cases[] = {
        /* 1 */ {"PA7F/P", SuffixRule::Ignore, "PA7F"},
        /* 2 */ {"PA7F/M", SuffixRule::Ignore, "PA7F"},
        /* 3 */ {"PA7F/P", SuffixRule::Bust, "PA7F/P"},
        /* 4 */ {"PA7F/QRP", SuffixRule::Bust, "PA7F"},
        /* 5 */ {"PA7F/P/QRP", SuffixRule::Ignore, "PA7F"},
        /* 6 */ {"PA7F/QRP/P", SuffixRule::Bust, "PA7F/P"},
        /* 10 */ {"PA7F/QRPP", SuffixRule::Bust, "PA7F/QRPP"}, // not the suffix
        /* 11 */ {"/QRP", SuffixRule::Bust, "/QRP"},
        /* 7 */ {"PA7F/3", SuffixRule::Ignore, "PA7F/3"},       // a region is part of the call
        /* 8 */ {"/P", SuffixRule::Ignore, "/P"},               // nothing left is no call
        /* 9 */ {"PA7F/PM", SuffixRule::Ignore, "PA7F/PM"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(matchedCall(c.call, c.rule) == c.matched);
    }
}

TEST_CASE("near calls are found from one slip away; the heaviest wins, a tie names none")
{
    NearCalls calls;
    calls.add(1, "F8DTU", 7);
    calls.add(2, "OM6MS", 6);
    calls.add(3, "OM6MT", 6);
    calls.add(4, "DL5XL", 15);
    calls.add(5, "DL5X", 2);
    CHECK(calls.near("F8DTF") == std::vector<std::uint32_t>{1});
    CHECK(calls.near("F8TDU") == std::vector<std::uint32_t>{1}); // swapped
    CHECK(calls.near("F8DTUU") == std::vector<std::uint32_t>{1}); // one added
    CHECK(calls.near("F8DU") == std::vector<std::uint32_t>{1});   // one left out
    CHECK(calls.near("F8DTU").empty());                           // the call itself
    CHECK(calls.near("F9DTF").empty());                           // two slips
    CHECK(calls.near("DL5XA") == std::vector<std::uint32_t>{4, 5});
    CHECK(calls.heaviest("DL5XA") == 4u);
    CHECK(calls.heaviest("OM6MX") == std::nullopt); // OM6MS and OM6MT, six logs each
    CHECK(calls.heaviest("OM6MH") == std::nullopt);
    CHECK(calls.heaviest("K1ABC") == std::nullopt);
    NearCalls lone;
    lone.add(7, "OM6MS", 6);
    CHECK(lone.heaviest("OM6MH") == 7u);
    CHECK(lone.weight(7) == 6);
}

TEST_CASE("exchanges compare without leading zeros, letter case or extra blanks")
{
    TextTable texts;
    struct Case {
        const char* a;
        const char* b;
        bool same;
    };
    const Case cases[] = {
        /* 1 */ {"001", "1", true},
        /* 2 */ {"012", "12", true},
        /* 3 */ {"012", "021", false},
        /* 4 */ {"FRANK 181", "frank  181", true},
        /* 5 */ {"FRANK 0181", "FRANK 181", true},
        /* 6 */ {"FRANK 181", "FRANK181", false},
        /* 7 */ {"", "", true},
        /* 8 */ {"", "0", false},
        /* 9 */ {"0", "000", true},
        /* 10 */ {"1234567890", "1234567890", true}, // past nine digits: kept as text
        /* 11 */ {"1234567890", "1234567891", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CHECK((encodeExchange(c.a, texts) == encodeExchange(c.b, texts)) == c.same);
    }
    CHECK(exchangeText(encodeExchange("7", texts), texts) == "007");
    CHECK(exchangeText(encodeExchange("1234", texts), texts) == "1234");
    CHECK(exchangeText(encodeExchange(" frank   181 ", texts), texts) == "FRANK 181");
    CHECK(exchangeText(encodeExchange("", texts), texts).empty());
    CHECK(exchangeText(0, texts) == "000");
    CHECK(exchangeText(999999999, texts) == "999999999");
}

TEST_CASE("interned texts keep their ids in first-seen order, across the table's growth")
{
    TextTable texts;
    CHECK(texts.find("") == TextTable::kNone);
    CHECK(texts.intern("") == 0u);
    std::vector<std::string> calls;
    for (int i = 0; i < 5000; ++i)
        calls.push_back("R" + std::to_string(i) + "AA");
    for (std::size_t i = 0; i < calls.size(); ++i)
        REQUIRE(texts.intern(calls[i]) == i + 1);
    CHECK(texts.size() == calls.size() + 1);
    for (std::size_t i = 0; i < calls.size(); i += 7) {
        CHECK(texts.intern(calls[i]) == i + 1);
        CHECK(texts.find(calls[i]) == i + 1);
        CHECK(texts.text(static_cast<std::uint32_t>(i + 1)) == calls[i]);
    }
    CHECK(texts.find("R5000AA") == TextTable::kNone);
    CHECK(texts.find("r1aa") == TextTable::kNone); // bytes, not letters
    CHECK(texts.size() == calls.size() + 1);       // a lookup adds nothing
}

TEST_CASE("an exchange's parts: names as words, numbers as numbers, the report and the contest's words left out")
{
    ExchangeReader ntc(exchangeRules(ntcContest()));
    ExchangeReader serial(exchangeRules(ContestDefinition{}));
    auto partsOf = [](ExchangeReader& reader, const char* text) {
        std::string out;
        for (std::uint32_t v : reader.read(text))
            out += (out.empty() ? "" : " ") + reader.valueText(v);
        return out;
    };
    struct Case {
        const char* text;
        const char* parts; // NAME NR, "-" where the exchange lacks one
    };
    const Case cases[] = {
        /* 1 */ {"HANS/124", "HANS 124"},
        /* 2 */ {"HANS 124", "HANS 124"},
        /* 3 */ {"VOLKER084", "VOLKER 84"},
        /* 4 */ {"599VANNI164", "VANNI 164"}, // the report glued on
        /* 5 */ {"062 PAVEL", "PAVEL 62"},
        /* 6 */ {"LAD NTC# 215", "LAD 215"},
        /* 7 */ {"JEAN NTC44", "JEAN 44"},
        /* 8 */ {"HELGA NTC 88", "HELGA 88"},
        /* 9 */ {"ZDENEK /216", "ZDENEK 216"},
        /* 10 */ {"bert,085", "BERT 85"},
        /* 11 */ {"PAVEL-62", "PAVEL 62"},
        /* 12 */ {"NTC 154 2 POINTS", "- 154"}, // the points the receiver noted are no part
        /* 13 */ {"NTC 181 2POINTS", "- 181"},
        /* 14 */ {"NM 1 POINT", "- -"},
        /* 15 */ {"HELGE/ NM", "HELGE -"},
        /* 16 */ {"599-119", "- 119"},
        /* 17 */ {"KOOS", "KOOS -"},
        /* 18 */ {"Name NTC#/NM", "NAME -"}, // a template: a name as far as the text goes
        /* 19 */ {"", "- -"},
        /* 20 */ {"59", "- 59"},          // a lone number stays, even one shaped like a report
        /* 21 */ {"599 VANNI", "VANNI 599"}, // so does the only number beside a name
        /* 22 */ {"ZOLI 226", "ZOLI 226"},
        /* 23 */ {"BERT 185", "BERT 185"},
        /* 24 */ {"J\xC3\x96RG 12", "J\xC3\x96RG 12"}, // a code page's letters stay in the word
        /* 25 */ {"JOSEF 0000000000042", "JOSEF 42"},
        /* 26 */ {"ANNA 12345678901234", "ANNA 12345678901234"}, // past nine digits, as text
        /* 27 */ {"\x1bPIOTR\t111\r", "PIOTR 111"}, // control bytes only separate
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CHECK(partsOf(ntc, c.text) == c.parts);
    }
    // A serial alone: leading zeros aside, and a report before it taken off.
    CHECK(partsOf(serial, "007") == "7");
    CHECK(partsOf(serial, "599 007") == "7");
    CHECK(partsOf(serial, "") == "-");
    // The same exchange stored twice reads the same.
    TextTable texts;
    CHECK(ntc.parts(encodeExchange("HANS/124", texts), texts) == ntc.parts(encodeExchange("124 hans", texts), texts));
    CHECK(ntc.parts(encodeExchange("124", texts), texts) == ntc.read("124"));
}

TEST_CASE("the header: who sent the log, the category, the claimed score, and what refuses it")
{
    const CabrilloHeader h = readCabrilloHeader(
        "START-OF-LOG: 3.0\r\ncallsign: ua3ab/p\r\nCATEGORY-POWER: low\r\nCATEGORY-OPERATOR: SINGLE-OP\r\n"
        "CATEGORY-XYZ: EXTRA\r\nCATEGORY-BAND: 80M\r\nCLAIMED-SCORE: 1,234\r\nOPERATORS: UA3AB\r\n"
        "QSO: 3520 CW 2026-11-21 1500 UA3AB 599 001 UA3AC 599 001\r\nEND-OF-LOG:\r\nCALLSIGN: LATER\r\n");
    CHECK(h.version == "3.0");
    CHECK(h.callsign == "UA3AB/P");
    CHECK(h.callsignLine == 2);
    CHECK(categoryLabel(h) == "SINGLE-OP 80M LOW EXTRA");
    CHECK_FALSE(h.claimedScore); // not a whole number
    CHECK(h.operators == "UA3AB");
    CHECK(readCabrilloHeader("START-OF-LOG: 3.0\nCLAIMED-SCORE: 445\n").claimedScore == 445);

    // Whose log it is: the header's call, else the one its QSO lines give, noted.
    struct Case {
        const char* text;
        const char* call;
        const char* said; // the note, or why the log cannot be judged
    };
    const std::string line = "QSO: 3520 CW 2026-11-21 1500 UA3AB 599 001 UA3AC 599 001\n";
    const Case cases[] = {
        /* 1 */ {"START-OF-LOG: 2.0\nCALLSIGN: UA3AB\n", "UA3AB", ""},
        /* 2 */ {"START-OF-LOG: 3.0\nCALLSIGN:\n", "UA3AB", "no CALLSIGN: line; judged as UA3AB"},
        /* 3 */ {"START-OF-LOG: 3.0\nCALLSIGN: UA3AB;\n", "", "holds characters other than"},
        /* 4 */ {"<EOH>\n", "", "no STATION_CALLSIGN"},
        /* 5 */ {"<EOH>\n<STATION_CALLSIGN:5>UA3AB <CALL:5>UA3AC <QSO_DATE:8>20261121 <TIME_ON:4>1500 "
                 "<BAND:3>80m <MODE:2>CW <EOR>\n", "UA3AB", ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        const std::string text = std::string(c.text) + (c.text[0] == '<' ? "" : line);
        const korvane::LogFileResult read = korvane::readLogText(text);
        REQUIRE(read.ok);
        const LogIdentity id = identityOf(read.log);
        CHECK(id.call == c.call);
        const std::string& said = id.call.empty() ? id.problem : id.note;
        CHECK_MESSAGE(said.find(c.said) != std::string::npos, said);
        CHECK(said.empty() == (*c.said == 0));
    }
    CHECK(categoryLabel(readCabrilloHeader("START-OF-LOG: 3.0\n")) == "UNSPECIFIED");

    // Categories in Cabrillo 3.0's words; a value it has no word for is left out, noted.
    struct Label {
        const char* lines;
        const char* label;
        std::size_t notes;
        bool checkLog;
    };
    const Label labels[] = {
        {"CATEGORY-POWER: LO\nCATEGORY-OPERATOR: SINGLE-OP\n", "SINGLE-OP LOW", 0, false},
        {"CATEGORY-MODE: PH\nCATEGORY-POWER: HI\n", "SSB HIGH", 0, false},
        {"CATEGORY-BAND: 3.5 / 7 / 14 MHz\nCATEGORY-MODE: CW\n", "CW", 1, false},
        {"CATEGORY-POWER: LOUD\n", "UNSPECIFIED", 1, false},
        {"CATEGORY-OPERATOR: checklog\n", "CHECKLOG", 0, true},
        {"CATEGORY-ASSISTED: CHECKLOG\n", "UNSPECIFIED", 1, false},
    };
    for (const Label& l : labels) {
        CAPTURE(l.lines);
        const CabrilloHeader header = readCabrilloHeader(std::string("START-OF-LOG: 3.0\n") + l.lines);
        std::vector<std::string> notes;
        CHECK(categoryLabel(header, &notes) == l.label);
        CHECK(notes.size() == l.notes);
        CHECK(isCheckLog(header) == l.checkLog);
    }

    // A contest's own categories take the stations whose labels hold all their words.
    ContestLogs logs;
    for (const char* label : {"SINGLE-OP ALL CW LOW NON-ASSISTED", "SINGLE-OP ALL CW QRP", "SINGLE-OP CW", "CHECKLOG"}) {
        logs.stations.emplace_back();
        logs.stations.back().category = label;
    }
    logs.stations[3].checkLog = true;
    ContestDefinition party;
    party.name = "PARTY";
    party.categories = {"SINGLE-OP ALL CW LOW", "SINGLE-OP CW QRP"};
    placeInContestCategories(logs, party);
    CHECK(logs.stations[0].category == "SINGLE-OP ALL CW LOW");
    CHECK(logs.stations[1].category == "SINGLE-OP CW QRP");
    CHECK(logs.stations[2].category == "UNSPECIFIED");
    REQUIRE(logs.stations[2].notes.size() == 1);
    CHECK(logs.stations[2].notes[0] == "the category SINGLE-OP CW is none of PARTY's: ranked as UNSPECIFIED");
    CHECK(logs.stations[3].category == "CHECKLOG");
}

TEST_CASE("minutes: to the host's value and back, and the tour of the day")
{
    const COleDateTime t = makeOleDate(2026, 11, 21, 17, 59, 0);
    const Minute m = *minuteOf(t);
    CHECK(formatMinute(m, "%Y-%m-%d %H%M") == "2026-11-21 1759");
    CHECK(formatMinute(m + 1, "%Y-%m-%d %H%M") == "2026-11-21 1800");
    CHECK(formatMinute(m + 6 * 60 + 1, "%Y-%m-%d %H%M") == "2026-11-22 0000");
    CHECK(*minuteOf(oleOf(m)) == m);
    CHECK(*minuteOf(makeOleDate(2026, 11, 21, 17, 59, 59)) == m); // seconds dropped
    CHECK(tourOfDay(m) == 35);
    CHECK(tourOfDay(m - 29) == 35);
    CHECK(tourOfDay(m - 30) == 34);
    COleDateTime null;
    null.status = kOleNull;
    CHECK_FALSE(minuteOf(null));
    // The last date a log may write is no minute rather than one wrapped into the past.
    CHECK_FALSE(minuteOf(makeOleDate(9999, 12, 31, 23, 59, 0)));
    CHECK_FALSE(minuteOf(makeOleDate(5000, 1, 1, 0, 0, 0)));
    CHECK(formatMinute(*minuteOf(makeOleDate(4999, 12, 31, 23, 59, 0)), "%Y-%m-%d %H%M") == "4999-12-31 2359");
}

TEST_CASE("which QSOs count: confirmed ones, those with stations that sent no log, and uniques unless ruled out")
{
    JudgeRules rules;
    struct Case {
        Finding finding;
        bool counts, countsWithoutUniques;
    };
    const Case cases[] = {
        /* 1 */ {Finding::Confirmed, true, true},       /* 2 */ {Finding::NoLog, true, true},
        /* 3 */ {Finding::Unique, true, false},         /* 4 */ {Finding::BustedExchange, false, false},
        /* 5 */ {Finding::Nil, false, false},           /* 6 */ {Finding::BustedCall, false, false},
        /* 7 */ {Finding::TourRepeat, false, false},    /* 8 */ {Finding::OutOfPeriod, false, false},
        /* 9 */ {Finding::BandMismatch, false, false},  /* 10 */ {Finding::Duplicate, false, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        rules.uniquesValid = true;
        CHECK(counts(c.finding, rules) == c.counts);
        rules.uniquesValid = false;
        CHECK(counts(c.finding, rules) == c.countsWithoutUniques);
    }
}

TEST_CASE("each finding kind: its key names it back, its JSON name is the key in snake_case, the summary lists it once")
{
    std::array<int, kFindingCount> rowsTaken{};
    for (const FindingKind& kind : kFindingKinds) {
        CAPTURE(kind.key);
        CHECK(findingFromKey(kind.key) == kind.finding);
        std::string snake = kind.key;
        for (char& c : snake)
            if (c == '-')
                c = '_';
        CHECK(snake == kind.jsonName);
        REQUIRE(kind.summaryRow >= 0);
        REQUIRE(kind.summaryRow < kFindingCount);
        ++rowsTaken[static_cast<std::size_t>(kind.summaryRow)];
        // What counts is never held against the QSO, apart from a lone call the committee may rule out.
        CHECK(kind.heldAgainst == (kind.counting != Counting::Always));
        // Only what the QSO lost goes to the penalised columns.
        if (kind.column != ResultColumn::None)
            CHECK(kind.counting == Counting::Never);
    }
    for (int taken : rowsTaken)
        CHECK(taken == 1);
    CHECK_FALSE(findingFromKey("busted_call"));
    CHECK_FALSE(findingFromKey(""));
    CHECK_FALSE(findingFromKey("nil "));
}

TEST_CASE("a contest definition file: every key read, and what it refuses with the line")
{
    ContestDefinition d;
    std::string error;
    REQUIRE_MESSAGE(readContestDefinition("; the party\n[contest]\nname = NTC QSO Party ; of 2024\n"
                                          "start = 2024-03-21 19:00\nEND = 2024-03-21 2000\n"
                                          "deadline = 2024-04-04 23:59\nbands = 80M 40m 20\nmodes = cw PH\n"
                                          "exchange = NAME:name:constant NR:number\nfixed-words = ntc POINTS\n"
                                          "missing-name-is-bust = yes\nsuffixes = bust\nunique-bust-logs = 0\n"
                                          "categories = SINGLE-OP ALL CW LOW,  single-op  all cw qrp ,\n",
                                          d, &error),
                    error);
    CHECK(d.name == "NTC QSO Party");
    CHECK(formatMinute(*d.start, "%Y-%m-%d %H%M") == "2024-03-21 1900");
    CHECK(*d.end - *d.start == 60);
    CHECK(formatMinute(*d.deadline, "%Y-%m-%d %H%M") == "2024-04-04 2359");
    CHECK(d.bands == std::vector<std::string>{"80", "40", "20"});
    CHECK(d.modes == std::vector<std::string>{"CW", "SSB"});
    REQUIRE(d.exchange.size() == 2);
    CHECK(d.exchange[0].kind == PartKind::Name);
    CHECK(d.exchange[0].constant);
    CHECK(d.exchange[1].label == "NR");
    CHECK_FALSE(d.exchange[1].constant);
    CHECK(d.fixedWords == std::vector<std::string>{"NTC", "POINTS"});
    CHECK(d.missingNameIsBust);
    CHECK(d.suffixes == SuffixRule::Bust);
    CHECK(d.uniqueBustLogs == 0);
    CHECK(d.categories == std::vector<std::string>{"SINGLE-OP ALL CW LOW", "SINGLE-OP ALL CW QRP"});
    CHECK(inContest(d, "40", "CW"));
    CHECK(inContest(d, "20", "SSB"));
    CHECK_FALSE(inContest(d, "160", "CW"));
    CHECK_FALSE(inContest(d, "80", "RTTY"));
    // Keys left out keep the built-in contest's.
    ContestDefinition only;
    REQUIRE(readContestDefinition("modes = CW\n", only, &error));
    CHECK(only.name == "KORVANE");
    CHECK(only.start == korvaneContest().start);
    CHECK(inContest(only, "160", "CW"));

    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"name = A\nname = B\n", "line 2: \"name\" is given twice"},
        {"[rules]\n", "line 1: \"[rules]\": the only section is [contest]"},
        {"bands 80\n", "line 1: \"bands 80\" is not KEY = VALUE"},
        {"colour = red\n", "line 1: \"colour\": no such key"},
        {"start = 21.3.2024\nend = 2024-03-21 20:00\n", "line 1: \"start\": not a UTC date"},
        {"start = 2024-03-21 19:00\n", "start and end are given together"},
        {"start = 2024-03-21 19:00\nend = 2024-03-21 19:00\n", "must end after it starts"},
        {"exchange = NAME:word\n", "line 1: \"exchange\": \"NAME:WORD\" is not LABEL:name"},
        {"exchange = NR:number:fixed\n", "is not LABEL:name"},
        {"exchange =\n", "an exchange of no parts"},
        {"missing-name-is-bust = maybe\n", "yes or no"},
        {"suffixes = strict\n", "ignore or bust"},
        {"unique-bust-logs = -1\n", "a whole number from 0 to 1000"},
        {"unique-bust-logs = 3x\n", "a whole number from 0 to 1000"},
        {"name =\n", "a contest needs a name"},
    };
    for (const Case& c : cases) {
        CAPTURE(c.text);
        ContestDefinition kept = only;
        CHECK_FALSE(readContestDefinition(c.text, kept, &error));
        CHECK_MESSAGE(error.find(c.error) != std::string::npos, error);
        CHECK(kept.modes == only.modes); // nothing taken from a file refused
    }
    CHECK_FALSE(readContestDefinition(std::string(70000, ';'), d, &error));
    CHECK(error.find("not a contest definition") != std::string::npos);
}

TEST_CASE("QSOs on a band or with a mode the contest does not have are that, not a NIL")
{
    ContestLogs logs = contestOf({{"UA3AA", {qso("UA3AA", "1500", "UA3BB", 1, 7), qso("UA3AA", "1501", "UA3CC", 2, 8)}},
                                  {"UA3CC", {qso("UA3CC", "1501", "UA3AA", 8, 2)}}});
    CheckOptions check;
    check.start = korvaneRules().start;
    check.end = korvaneRules().end;
    crossCheck(logs, check);
    ContestDefinition other;
    other.bands = {"40"};
    logs.qsos[2].finding = Finding::Duplicate; // goes before it, and stays
    markNotInContest(logs, other);
    CHECK(logs.qsos[0].finding == Finding::NotInContest);
    CHECK(logs.qsos[1].finding == Finding::NotInContest);
    CHECK(logs.qsos[2].finding == Finding::Duplicate);
    CHECK(qsosOutsidePeriod(logs, korvaneRules().start, korvaneRules().end) == 0);
    CHECK(qsosOutsidePeriod(logs, korvaneRules().start + 1, korvaneRules().end) == 1);
}
