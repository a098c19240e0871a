#include "tools/korvane/ContestRun.h"
#include "tools/korvane/logs/Cp1251.h"
#include "tools/korvane/DateOption.h"
#include "tools/korvane/HeaderSettings.h"
#include "tools/korvane/logs/QsoFields.h"
#include "tools/korvane/ScoreTable.h"

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
        /* 7 */ {"4294.967295", 4294967295LL}, /* 8 */ {"4295", -1},
        /* 9 */ {"", -1},              /* 10 */ {".", -1},
        /* 11 */ {"3,5", -1},          /* 12 */ {"-3.5", -1},
        /* 13 */ {"99999999999999999999", -1},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const auto hz = megahertzToHertz(c.mhz);
        if (c.hz < 0)
            CHECK_FALSE(hz.has_value());
        else
            CHECK(hz == std::optional<unsigned>(static_cast<unsigned>(c.hz)));
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
