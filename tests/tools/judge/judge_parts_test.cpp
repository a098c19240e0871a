// The judge's small rules: which calls are one character apart, when two exchanges
// are the same, what a header makes of a log, minutes and back.
#include "JudgeTestSupport.h"

#include "tools/judge/CabrilloHeader.h"
#include "tools/judge/CrossCheck.h"
#include "tools/judge/ExchangeParts.h"
#include "tools/judge/FindingKinds.h"

#include <doctest/doctest.h>

using namespace judgetest;

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
    CHECK(headerProblem(h).empty());
    CHECK(readCabrilloHeader("START-OF-LOG: 3.0\nCLAIMED-SCORE: 445\n").claimedScore == 445);

    struct Case {
        const char* text;
        const char* problem;
    };
    const Case cases[] = {
        /* 1 */ {"CALLSIGN: UA3AB\n", "no START-OF-LOG"},
        /* 2 */ {"START-OF-LOG: 2.0\nCALLSIGN: UA3AB\n", "not Cabrillo 3.0"},
        /* 3 */ {"START-OF-LOG: 3.0\nCALLSIGN:\n", "no CALLSIGN"},
        /* 4 */ {"<EOH>\n", "no START-OF-LOG"},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        CHECK(headerProblem(readCabrilloHeader(c.text)).find(c.problem) != std::string::npos);
    }
    CHECK(categoryLabel(readCabrilloHeader("START-OF-LOG: 3.0\n")) == "UNSPECIFIED");
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
