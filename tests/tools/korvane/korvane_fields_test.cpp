#include "tools/logs/ContestPeriod.h"
#include "tools/korvane/RunOptions.h"
#include "tools/host/Cp1251.h"
#include "tools/korvane/DateOption.h"
#include "tools/korvane/HeaderOrigin.h"
#include "tools/korvane/HeaderSettings.h"
#include "tools/korvane/TypedLineBreaks.h"
#include "tools/logs/QsoFields.h"
#include "contract/SettingsText.h"
#include "tools/output/ScoreTable.h"
#include "tools/logs/SentExchange.h"

#include <doctest/doctest.h>

using namespace korvane;

TEST_CASE("megahertz to hertz is exact and refuses what is no frequency")
{
    struct Case {
        const char* mhz;
        long long hz; // -1: refused
    };
    const Case cases[] = {
        /* 1 */ {"3.5", 3500000},      /* 2 */ {"1.826543", 1826543},
        /* 3 */ {"14.0251239", 14025123}, /* 4 */ {".5", 500000},
        /* 5 */ {"7", 7000000},        /* 6 */ {" 3.512 ", 3512000},
        /* 7 */ {"4294.967295", 4294967295LL}, /* 8 */ {"10368.1", 10368100000LL},
        /* 9 */ {"", -1},              /* 10 */ {".", -1},
        /* 11 */ {"3,5", -1},          /* 12 */ {"-3.5", -1},
        /* 13 */ {"99999999999999999999", -1},
        /* 14 */ {"999999.9999999", 999999999999LL}, /* 15 */ {"1000000", -1},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const auto hz = megahertzToHertz(c.mhz);
        if (c.hz < 0)
            CHECK_FALSE(hz.has_value());
        else
            CHECK(hz == std::optional<unsigned long long>(static_cast<unsigned long long>(c.hz)));
    }
}

TEST_CASE("dates that do not exist are refused")
{
    struct Case {
        const char* date;
        const char* time;
        bool ok;
    };
    const Case cases[] = {
        /* 1 */ {"20260228", "2359", true},  /* 2 */ {"20260229", "0000", false},
        /* 3 */ {"20240229", "0000", true},  /* 4 */ {"21000229", "0000", false},
        /* 5 */ {"20260231", "1200", false}, /* 6 */ {"20261131", "1200", false},
        /* 7 */ {"20261121", "235959", true}, /* 8 */ {"20261121", "1260", false},
        /* 9 */ {"20261121", "12", false},   /* 10 */ {"2026112", "1200", false},
        /* 11 */ {"20261321", "1200", false}, /* 12 */ {"18991231", "1200", false},
        /* 13 */ {"2026-11-21", "1200", false}, /* 14 */ {"20000229", "0000", true},
        /* 15 */ {"19000101", "0000", true},     /* 16 */ {"20261121", "235960", false},
        /* 17 */ {"19000229", "0000", false},    /* 18 */ {"99991231", "235959", true},
        /* 19 */ {"20261100", "1200", false},    /* 20 */ {"20260431", "1200", false},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(parseCompactDateTime(c.date, c.time).has_value() == c.ok);
    }
    CHECK(parseDashedDateTime("2026-02-31", "1200") == std::nullopt);
    const auto dashed = parseDashedDateTime("2026-11-21", "1530");
    REQUIRE(dashed);
    CHECK(formatOleDate(*dashed, "%Y-%m-%d %H:%M") == "2026-11-21 15:30");
}

TEST_CASE("--start and --end forms")
{
    struct Case {
        const char* text;
        const char* shown; // nullptr: refused
    };
    const Case cases[] = {
        /* 1 */ {"2026-11-21 15:00", "2026-11-21 15:00:00"},
        /* 2 */ {"2026-11-21T15:00:30Z", "2026-11-21 15:00:30"},
        /* 3 */ {"2026-11-21 1500", "2026-11-21 15:00:00"},
        /* 4 */ {"20261121 1500", "2026-11-21 15:00:00"},
        /* 5 */ {"2026-11-21", "2026-11-21 00:00:00"},
        /* 6 */ {"2026-02-31 15:00", nullptr},
        /* 7 */ {"yesterday", nullptr},
        /* 8 */ {"2026-11-21 25:00", nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const auto date = parseDateOption(c.text);
        if (!c.shown) {
            CHECK_FALSE(date.has_value());
            continue;
        }
        REQUIRE(date.has_value());
        CHECK(formatOleDate(*date, "%Y-%m-%d %H:%M:%S") == c.shown);
    }
}

TEST_CASE("--start and --end keep the QSOs from the start minute up to the end minute")
{
    const auto at = [](const char* text) { return *parseDateOption(text); };
    const auto qsos = [&](std::initializer_list<const char*> times) {
        std::vector<LogQso> out;
        for (const char* t : times) {
            LogQso q;
            q.call = t;
            q.time = at(t);
            out.push_back(q);
        }
        return out;
    };
    const auto calls = [](const std::vector<LogQso>& kept) {
        std::string out;
        for (const LogQso& q : kept)
            out += (out.empty() ? "" : "|") + q.call;
        return out;
    };
    // Seconds move neither a QSO nor a bound across a minute; the end minute is out.
    std::vector<LogQso> log = qsos({"2026-11-21T17:59:59Z", "2026-11-21T14:59:59Z",
                                    "2026-11-21T15:00:00Z", "2026-11-21T18:00:00Z",
                                    "2026-11-21T15:00:10Z", "2026-11-22T09:00:00Z"});
    PeriodCut cut = keepPeriod(log, at("2026-11-21T15:00:30Z"), at("2026-11-21 18:00"));
    CHECK(calls(log) == "2026-11-21T17:59:59Z|2026-11-21T15:00:00Z|2026-11-21T15:00:10Z");
    CHECK(cut.before == 1);
    CHECK(cut.after == 2);
    CHECK(periodCutLines(cut) ==
          std::vector<std::string>{"1 QSO before 2026-11-21 15:00 left out",
                                   "2 QSOs from 2026-11-21 18:00 on left out"});

    // An absent bound leaves its side alone.
    log = qsos({"2026-11-21T14:00:00Z", "2026-11-21T19:00:00Z"});
    cut = keepPeriod(log, std::nullopt, at("2026-11-21 18:00"));
    CHECK(calls(log) == "2026-11-21T14:00:00Z");
    CHECK(periodCutLines(cut) == std::vector<std::string>{"1 QSO from 2026-11-21 18:00 on left out"});
    cut = keepPeriod(log, std::nullopt, std::nullopt);
    CHECK(log.size() == 1);
    CHECK(periodCutLines(cut).empty());
}

TEST_CASE("--sent-exchange: a run of # is the serial number, padded to its length")
{
    CHECK(sentExchangeFor("#", 7) == "7");
    CHECK(sentExchangeFor("###", 7) == "007");
    CHECK(sentExchangeFor("###", 1234) == "1234");
    CHECK(sentExchangeFor("2A IL", 9) == "2A IL");
    CHECK(sentExchangeFor("MO ## #", 5) == "MO 05 5");

    std::vector<LogQso> log(3);
    log[1].exchSent = "02"; // what the text gives anyway: not counted as replaced
    log[2].exchSent = "17";
    CHECK(applySentExchange(log, "##") == 1);
    CHECK(log[0].exchSent == "01");
    CHECK(log[1].exchSent == "02");
    CHECK(log[2].exchSent == "03");

    CHECK(sentExchangeProblem("001").empty());
    CHECK(sentExchangeProblem(std::string(54, '#')).empty());
    CHECK_FALSE(sentExchangeProblem(std::string(55, '#')).empty());
    CHECK_FALSE(sentExchangeProblem("  ").empty());
    CHECK_FALSE(sentExchangeProblem("16\tTX").empty());
    CHECK_FALSE(sentExchangeProblem("16\nTX").empty());
    CHECK_FALSE(sentExchangeProblem("\xd0\x9c\xd0\xa1\xd0\x9a").empty());
}

TEST_CASE("QSOs without a sent or a received exchange are counted, each side on its own line")
{
    std::vector<LogQso> log(3);
    for (LogQso& q : log)
        q.exchSent = q.exchReceived = "1";
    CHECK(missingExchangeWarnings(log, LogFormat::Adif).empty());
    log[0].exchSent.clear();
    log[2].exchSent.clear();
    const std::vector<std::string> sent = missingExchangeWarnings(log, LogFormat::Cabrillo);
    REQUIRE(sent.size() == 2);
    CHECK(sent[0].find("2 QSOs reach the plug-in with no sent exchange") == 0);
    CHECK(sent[1].find("log robots refuse") == 0);
    log[1].exchReceived.clear();
    const std::vector<std::string> both = missingExchangeWarnings(log, LogFormat::Adif);
    REQUIRE(both.size() == 3);
    CHECK(both[1].find("1 QSO reaches the plug-in with no received exchange") == 0);
    CHECK(both[1].find("--exchange-field") != std::string::npos);
}

TEST_CASE("callsigns: letters, digits and slashes of sane length")
{
    CHECK(callsignProblem("RK3AZ/P").empty());
    CHECK(callsignProblem("ua1aa").empty());
    CHECK_FALSE(callsignProblem("").empty());
    CHECK_FALSE(callsignProblem("UA1 AA").empty());
    CHECK_FALSE(callsignProblem("UA1AA\n").empty());
    CHECK_FALSE(callsignProblem(std::string(33, 'A')).empty());
    CHECK(callsignProblem(std::string(32, 'A')).empty());
}

TEST_CASE("header values in the stored form, breaks as typed")
{
    HeaderOptions h;
    h.name = "Ivan";
    h.address = "A\nB";
    h.soapbox = "73\\nGL\r";
    const auto entries = headerEntries(h);
    REQUIRE(entries.size() == 3);
    CHECK(entries[0] == std::make_pair(std::string("Name"), std::string("Ivan")));
    CHECK(entries[1] == std::make_pair(std::string("Address"), std::string("A<CR><LF>B")));
    CHECK(entries[2] == std::make_pair(std::string("SoapBox"), std::string("73<CR><LF>GL<CR><LF>")));
}

TEST_CASE("stored OPERATORS without the own call are warned of")
{
    struct Case {
        const char* stored; // null: no key stored
        bool given;         // --operators given
        bool warned;
    };
    const Case cases[] = {
        {"RK3AZ", false, true},           {"ua3xyz", false, false},
        {"RK3AZ, UA3XYZ", false, false},  {"RK3AZ @UA3XYZ", false, false},
        {"UA3XYZ/P", false, true},        {"", false, true},
        {"RK3AZ", true, false},           {nullptr, false, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        StoredHeader stored;
        if (c.stored)
            stored["Operators"] = c.stored;
        HeaderOptions given;
        if (c.given)
            given.operators = "RK3AZ";
        CHECK(operatorsWarning(stored, given, "UA3XYZ").empty() == !c.warned);
    }
}

TEST_CASE("each header line of the report is named with where it came from")
{
    HeaderSources sources;
    sources.given.name = "Ivan";
    sources.stored["Club"] = "Radio Club";
    ReadLog log;
    log.categories = {{"CATEGORY-POWER", "LOW"}, {"CATEGORY-BAND", "40 M\x01"}};
    std::vector<std::string> notes;
    sources.categories = chooseCategories(sources.given, log, notes);
    REQUIRE(notes.size() == 1); // the band is no category value
    const std::string report = "START-OF-LOG: 3.0\r\nCALLSIGN: RK3AZ\r\nCATEGORY-BAND: ALL\r\n"
                               "CATEGORY-POWER: HIGH\r\nCLUB: Radio Club\r\nNAME: Ivan\r\n"
                               "OPERATORS: RK3AZ\r\nEMAIL: \r\nX-EXTRA: 1\r\nQSO: 3500 CW\r\nNAME: x\r\n";
    const std::string shown = headerOrigins(report, sources);
    CHECK(shown == "  CALLSIGN: RK3AZ                   the log\n"
                   "  CATEGORY-BAND: ALL                the plug-in's default\n"
                   "  CATEGORY-POWER: HIGH              the plug-in's; LOW from the log's header was not taken\n"
                   "  CLUB: Radio Club                  stored in " + shownSettingsFile() + "\n"
                   "  NAME: Ivan                        --name\n"
                   "  OPERATORS: RK3AZ                  the plug-in's default, the own call\n"
                   "  EMAIL:                            empty\n"
                   "  X-EXTRA: 1                        cabrillo.ini\n");
}

TEST_CASE("the multiplier list follows the table's band order")
{
    const std::string table = "\tKorvane 21.11.26 \r\n         Contestant: RK3AZ\r\n"
                              "Band\tQSOs\tPoints\tNew Call\r\n160\t 2\t 2\r\n80\t 2\t 2\r\n"
                              "Total\t 4\t 4\t   3\r\n\r\nScore: 4+3  = 7\r\nkorvane-stats, 2026";
    CHECK(tableBands(table) == std::vector<std::string>{"160", "80"});
    CHECK(tableNewCalls(table) == 3);
    std::vector<LogQso> qsos(4);
    const char* calls[][2] = {{"UA1AA", "80"}, {"UA3BB", "160"}, {"UA1AA", "160"}, {"R9", "80"}};
    for (int i = 0; i < 4; ++i) {
        qsos[i].call = calls[i][0];
        qsos[i].band = calls[i][1];
    }
    CHECK(multipliers(qsos, tableBands(table), "") ==
          std::vector<std::string>{"UA3BB", "UA1AA", "R9"});
    CHECK(multipliers(qsos, tableBands(table), "R9") == std::vector<std::string>{"UA3BB", "UA1AA"});
    CHECK(printableTable("a\r\nb") == "a\nb\n");
}

TEST_CASE("the refusal message in UTF-8")
{
    CHECK(cp1251ToUtf8("QSO c UA1AA \xC2 \xCE\xC4\xCD\xCE\xCC !!!") ==
          "QSO c UA1AA \xD0\x92 \xD0\x9E\xD0\x94\xD0\x9D\xD0\x9E\xD0\x9C !!!");
    CHECK(cp1251ToUtf8("\xE8\xB8\x88") == "\xD0\xB8\xD1\x91\xE2\x82\xAC");
    // Either side of the ASCII half, and the last byte of the table.
    CHECK(cp1251ToUtf8("\x7F\x80\xFF") == "\x7F\xD0\x82\xD1\x8F");
}

TEST_CASE("header texts in Windows-1251, or the character that has no form there")
{
    struct Case {
        const char* utf8;
        const char* cp1251; // null: refused
        const char* why;    // part of the reason
    };
    const Case cases[] = {
        {"Ivan Petrov", "Ivan Petrov", ""},
        {"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xD1\x91", "\xC8\xE2\xE0\xED \xB8", ""}, // Иван ё
        {"\xE2\x84\x96 \xE2\x82\xAC \xC2\xA0", "\xB9 \x88 \xA0", ""},                 // № € no-break space
        {"Zo\xC3\xAB", nullptr, "\"\xC3\xAB\" (U+00EB) has no Windows-1251 form"},
        {"\xF0\x9F\x93\xBB", nullptr, "(U+1F4FB)"},          // a radio, outside the BMP
        {"\xEF\xBF\xBD", nullptr, "(U+FFFD)"},                // the one unassigned byte's stand-in
        {"a\xFF", nullptr, "byte 0xFF at position 2 is not UTF-8"},
        {"\xC0\xAF", nullptr, "byte 0xC0 at position 1"},       // an overlong '/'
        {"\xED\xA0\x80", nullptr, "not UTF-8"},                // a surrogate
        {"\xD0", nullptr, "not UTF-8"},                         // cut short
        {"\x98", nullptr, "not UTF-8"},                         // a lone continuation byte
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        std::string out;
        const std::string why = utf8ToCp1251(c.utf8, out);
        if (c.cp1251) {
            CHECK(why.empty());
            CHECK(out == c.cp1251);
            CHECK(cp1251ToUtf8(out) == c.utf8);
        } else {
            CHECK(why.find(c.why) != std::string::npos);
        }
    }
    HeaderOptions h;
    h.name = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD";
    CHECK(headerEntries(h).front().second == "\xC8\xE2\xE0\xED");
    h.club = "Zo\xC3\xAB";
    CHECK_THROWS(headerEntries(h));
}

TEST_CASE("typed on a command line: each break, \\n included, becomes one CR LF")
{
    CHECK(typedToStored("Lenina 1\nMoscow") == "Lenina 1<CR><LF>Moscow");
    CHECK(typedToStored("A\r\nB\rC\\nD") == "A<CR><LF>B<CR><LF>C<CR><LF>D");
    CHECK(typedToStored("no break") == "no break");
    CHECK(typedToStored("\n\r") == "<CR><LF><CR><LF>"); // LF CR is two breaks
    CHECK(typedToStored("C:\\new") == "C:<CR><LF>ew");    // the two characters, wherever
    CHECK(typedToStored("end\\") == "end\\");
    // What the plug-in reads back is the dialog's own form: CR LF between the lines.
    CHECK(settings::fromStored(typedToStored("A\nB\\nC\rD")) == "A\r\nB\r\nC\r\nD");
}
