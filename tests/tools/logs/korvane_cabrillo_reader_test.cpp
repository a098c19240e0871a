#include "tools/logs/CabrilloLayout.h"
#include "tools/logs/CabrilloReader.h"

#include <doctest/doctest.h>

#include <string>

using namespace korvane;

namespace {

const std::string kCabrilloHeader = "START-OF-LOG: 3.0\r\nCONTEST: KORVANE\r\nCALLSIGN: RK3AZ\r\n";

} // namespace

TEST_CASE("Cabrillo: the plug-in's own QSO lines read back field for field")
{
    const ReadLog log = readCabrillo(
        kCabrilloHeader + "QSO:  3537 CW 2026-11-21 1500 RK3AZ         589 001    UA9YKQ        599 001\r\n"
                  "QSO:  1852 PH 2026-11-21 1503 RK3AZ         57  005    EW1ZK         57  004\r\n"
                  "QSO: 14052 RY 2026-11-21 1559 RK3AZ         599        UA1AAA        599 042\r\n"
                  "END-OF-LOG:\r\n");
    CHECK(log.ownCall == "RK3AZ");
    CHECK(log.problems.empty());
    REQUIRE(log.qsos.size() == 3);
    CHECK(log.qsos[0].call == "UA9YKQ");
    CHECK(log.qsos[0].band == "80");
    CHECK(log.qsos[0].freqHz == 3537000u);
    CHECK(log.qsos[0].mode == "CW");
    CHECK(log.qsos[0].rstSent == "589");
    CHECK(log.qsos[0].exchSent == "001");
    CHECK(log.qsos[0].rstReceived == "599");
    CHECK(log.qsos[0].exchReceived == "001");
    CHECK(log.qsos[0].line == 4);
    CHECK(formatOleDate(log.qsos[0].time, "%Y-%m-%d %H:%M") == "2026-11-21 15:00");
    CHECK(log.qsos[1].band == "160");
    CHECK(log.qsos[1].mode == "SSB");
    // Empty exchanges: the worked call is found by the file's alignment.
    CHECK(log.qsos[2].call == "UA1AAA");
    CHECK(log.qsos[2].band == "20");
    CHECK(log.qsos[2].mode == "RY");
    CHECK(log.qsos[2].exchSent.empty());
    CHECK(log.qsos[2].exchReceived == "042");
}

TEST_CASE("Cabrillo: exchanges with blanks, aligned or of equal length")
{
    // Aligned like a logger's output, received halves longer than the sent ones.
    const ReadLog aligned = readCabrillo(
        kCabrilloHeader + "QSO:  7033 CW 2024-03-21 1901 DJ0SP         599 HANS/124            M0MPM         599 MICHAEL 217          \n"
                  "QSO:  7033 CW 2024-03-21 1928 DJ0SP         599 HANS/124            IK1YRA        599 CARL  135            \n"
                  "QSO:  7033 CW 2024-03-21 1940 DJ0SP         549 HANS/124            PA0M          599 THIEU110             \n"
                  "QSO:  7033 CW 2024-03-21 1945 DJ0SP         599 HANS/124            PE2V          599 VINCENT252           \n");
    REQUIRE(aligned.qsos.size() == 4);
    CHECK(aligned.qsos[0].call == "M0MPM");
    CHECK(aligned.qsos[0].exchSent == "HANS/124");
    CHECK(aligned.qsos[0].exchReceived == "MICHAEL 217");
    CHECK(aligned.qsos[1].exchReceived == "CARL  135"); // kept as written
    CHECK(aligned.qsos[2].call == "PA0M");

    // Single blanks, no alignment: halves of equal length tell the call; others cannot.
    const ReadLog loose = readCabrillo(kCabrilloHeader + "QSO: 3512 CW 2026-11-21 1500 RK3AZ 599 12 MO UA1AA 599 7 SP\n"
                                                 "QSO: 3512 CW 2026-11-21 1501 RK3AZ 599 13 UA1AB 599 8 SP\n");
    REQUIRE(loose.qsos.size() == 1);
    CHECK(loose.qsos[0].call == "UA1AA");
    CHECK(loose.qsos[0].exchSent == "12 MO");
    REQUIRE(loose.problems.size() == 1);
    CHECK(loose.problems[0].line == 5);
    CHECK(loose.problems[0].message.find("cannot tell the worked callsign") != std::string::npos);
}

TEST_CASE("Cabrillo: a QSO line that cannot be read is named and skipped")
{
    struct Case {
        const char* line;
        const char* why;
    };
    const Case cases[] = {
        /* 1 */ {"QSO:  3512 CW 2026-02-31 1500 RK3AZ 599 001 UA1AA 599 002", "date"},
        /* 2 */ {"QSO:  3512 CW 2026-11-21 2500 RK3AZ 599 001 UA1AA 599 002", "date or time"},
        /* 3 */ {"QSO:  9999 CW 2026-11-21 1500 RK3AZ 599 001 UA1AA 599 002", "no band"},
        /* 4 */ {"QSO:  abcd CW 2026-11-21 1500 RK3AZ 599 001 UA1AA 599 002", "no band"},
        /* 5 */ {"QSO:  3512 CW 2026-11-21 1500 RK3AZ", "needs"},
        /* 6 */ {"QSO:  3512 CW 2026-11-21 1500 RK3AZ 599 001 UA-1A 599 002", "characters"},
        /* 7 */ {"QSO:", "needs"},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        const ReadLog log = readCabrillo(kCabrilloHeader + c.line + "\nQSO:  3512 CW 2026-11-21 1501 RK3AZ 599 001 UA1AB 599 003\n");
        CHECK(log.qsos.size() == 1);
        REQUIRE(log.problems.size() == 1);
        CHECK(log.problems[0].line == 4);
        CHECK(log.problems[0].message.find(c.why) != std::string::npos);
    }
}

TEST_CASE("Cabrillo: band designators, text after END-OF-LOG, no final line end")
{
    const ReadLog log = readCabrillo("START-OF-LOG: 3.0\n"
                                     "QSO: 144 PH 2026-11-21 1500 RK3AZ 59 001 UA1AA 59 002\n"
                                     "QSO: 1.2G FM 2026-11-21 1500 RK3AZ 59 001 UA1AA 59 002\n"
                                     "END-OF-LOG:   \n"
                                     "   Straight Key: a remark\n"
                                     "QSO: 3512 CW 2026-11-21 1500 RK3AZ 599 001 UA1AA 599 002");
    REQUIRE(log.qsos.size() == 2);
    CHECK(log.qsos[0].band == "2");
    CHECK(log.qsos[0].freqHz == 144000000u);
    CHECK(log.qsos[1].band == "23CM");
    CHECK(log.qsos[1].mode == "FM");
    CHECK(log.ownCall == "RK3AZ"); // no CALLSIGN line: the first QSO's own call
    REQUIRE(log.problems.size() == 1);
    CHECK(log.problems[0].line == 5);
    CHECK_FALSE(log.problems[0].recordSkipped);
}

TEST_CASE("Cabrillo: the header's categories, the first of each tag")
{
    const ReadLog log = readCabrillo(
        kCabrilloHeader + "Category-Power:  low \r\nCATEGORY-OPERATOR: MULTI-OP\r\nCATEGORY-POWER: HIGH\r\n"
                  "QSO:  3537 CW 2026-11-21 1500 RK3AZ 589 001 UA9YKQ 599 001\r\n"
                  "X-CATEGORY-BAND: 80\r\nEND-OF-LOG:\r\n");
    using Tag = std::pair<std::string, std::string>;
    CHECK(log.categories == std::vector<Tag>{{"CATEGORY-POWER", "LOW"}, {"CATEGORY-OPERATOR", "MULTI-OP"}});
    CHECK(readCabrillo(kCabrilloHeader + "END-OF-LOG:\r\n").categories.empty());
}

TEST_CASE("Cabrillo: edge cases of band edges and missing exchanges")
{
    // A band's upper edge is inside the band.
    const ReadLog edge = readCabrillo(kCabrilloHeader + "QSO: 14350 CW 2026-12-07 1012 RK3AZ 599 001 UA1AA 599 002\n");
    REQUIRE(edge.qsos.size() == 1);
    CHECK(edge.qsos[0].band == "20");

    // Reports on both sides, no exchanges at all: the second report is the received one.
    const ReadLog bare = readCabrillo(kCabrilloHeader + "QSO: 14000 CW 2026-12-07 1012 RA3XYZ 599 UA1AA 579\n");
    REQUIRE(bare.qsos.size() == 1);
    CHECK(bare.qsos[0].call == "UA1AA");
    CHECK(bare.qsos[0].rstSent == "599");
    CHECK(bare.qsos[0].rstReceived == "579");
    CHECK(bare.qsos[0].exchSent.empty());
    CHECK(bare.qsos[0].exchReceived.empty());

    // The host station, marked '@' among the operators, is one of the log's own calls.
    const ReadLog host = readCabrillo("START-OF-LOG: 3.0\nCALLSIGN: K1ABC\nOPERATORS: K2DEF, @W1AW\n"
                                      "QSO: 14000 CW 2026-12-07 1012 W1AW 599 001 UA1AA 599 002\n"
                                      "QSO: 14000 CW 2026-12-07 1013 K1ABC 599 002 UA1AB 599 003\n");
    CHECK(host.qsos.size() == 2);
    CHECK(host.problems.empty());

    // Seven digits of kilohertz are still a frequency (23 cm); an exchange of 64 bytes is
    // the longest read.
    const std::string longest(64, '7');
    const ReadLog wide = readCabrillo(kCabrilloHeader + "QSO: 1296000 FM 2026-12-07 1012 RK3AZ 59 001 UA1AA 59 " + longest +
                                      "\nQSO: 1296000 FM 2026-12-07 1013 RK3AZ 59 002 UA1AB 59 " + longest + "7\n");
    REQUIRE(wide.qsos.size() == 1);
    CHECK(wide.qsos[0].band == "23CM");
    CHECK(wide.qsos[0].freqHz == 1296000000u);
    CHECK(wide.qsos[0].exchReceived == longest);
    REQUIRE(wide.problems.size() == 1);
    CHECK(wide.problems[0].message.find("longer than 64") != std::string::npos);

    // Kilohertz with a decimal part are a frequency too; past what the host's hertz hold,
    // the band stands, the host gets 0 and the kilohertz are kept, never wrapped.
    struct Case {
        const char* kHz;
        const char* band;
        unsigned hz;
        std::uint32_t pastHost;
    };
    const Case cases[] = {
        /* 1 */ {"3550.5", "80", 3550500u, 0},
        /* 2 */ {"3550.12345", "80", 3550123u, 0},
        /* 3 */ {"5760000", "6CM", 0, 5760000u},
        /* 4 */ {"10368000", "3CM", 0, 10368000u},
        /* 5 */ {"1296000.5", "23CM", 1296000500u, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readCabrillo(kCabrilloHeader + "QSO: " + c.kHz + " CW 2026-12-07 1012 RK3AZ 599 001 UA1AA 599 002\n");
        REQUIRE(log.qsos.size() == 1);
        CHECK(log.qsos[0].band == c.band);
        CHECK(log.qsos[0].freqHz == c.hz);
        CHECK(log.qsos[0].kHzPastHost == c.pastHost);
    }
    for (const char* bad : {".5", "3550.5.1", "35a0", "3550.5e"}) {
        CAPTURE(bad);
        CHECK(readCabrillo(kCabrilloHeader + "QSO: " + bad + " CW 2026-12-07 1012 RK3AZ 599 001 UA1AA 599 002\n").qsos.empty());
    }
}

TEST_CASE("Cabrillo: the layout is the file's, so each of these lines gives its worked call")
{
    struct Case {
        const char* header; // lines before the QSO lines
        const char* lines;  // the QSO lines, one after the other
        std::size_t pinned; // which QSO (from 0) the values below are of
        const char* call;
        const char* rstSent;
        const char* exchSent;
        const char* rstReceived;
        const char* exchReceived;
    };
    const Case cases[] = {
        // 1: a multi-transmitter log: the transmitter number ends the line.
        {"CALLSIGN: AA4VT\n",
         "QSO:    7152 PH 2025-03-29 0000 AA4VT            59  0001  NV2K             59   0001    1\n"
         "QSO:   14215 PH 2025-03-29 0000 AA4VT            59  0001  AA9U             59   0001    0\n",
         0, "NV2K", "59", "0001", "59", "0001"},
        // 2: a QSO party: fewer fields sent than received.
        {"CALLSIGN: PE4KH\n",
         "QSO: 14000 CW 2024-03-21 1906 PE4KH         599 KOOS         I5ECW         599 VANNI 164 \n"
         "QSO:  7000 CW 2024-03-21 1942 PE4KH         599 KOOS         OK2NO         599 JARDA NM\n",
         0, "I5ECW", "599", "KOOS", "599", "VANNI 164"},
        // 3: as many fields on both sides by chance, but the call is not in the middle.
        {"CALLSIGN: I5ECW\n",
         "QSO: 14057 CW 2024-03-21 1901 I5ECW         599 599VANNI164 PA7F          599 NTC 181 2POINTS \n"
         "QSO: 14057 CW 2024-03-21 1901 I5ECW         599 599VANNI164 ON6NL         599 NTC 154   2 POINTS \n",
         0, "PA7F", "599", "599VANNI164", "599", "NTC 181 2POINTS"},
        // 4: not aligned: the transmitter number stands where the template has the call.
        {"CALLSIGN: N9NB\nOPERATORS: N9NB W9RE\n",
         "QSO: 21008 CW 2024-07-13 1200 N9NB 599 08 JR1GJP 599 45 1\n"
         "QSO: 21028 CW 2024-07-13 1206 N9NB 599 08 K1IMI 599 08 1\n"
         "QSO: 21011 CW 2024-07-14 1159 N9NB 599 08 9A2NB 599 28 0\n",
         1, "K1IMI", "599", "08", "599", "08"},
        // 5: a class such as 4A looks a little like a call, but is the same on every line;
        // no reports at all.
        {"CALLSIGN: W1OP\n",
         "QSO:   14025 CW 2025-06-28 1801 W1OP          4A     GA  W4GTA         4A   GA      \n"
         "QSO:   14239 PH 2025-06-28 1802 W1OP          4A     GA  K9VQA         1E   IL      \n"
         "QSO:   14025 CW 2025-06-28 1803 W1OP          10A    GA  VO1DD         1A   NL      \n",
         1, "K9VQA", "", "4A     GA", "", "1E   IL"},
        // 6: aligned, the sent exchange in one field or two: the column tells the call.
        {"CALLSIGN: DJ0SP\n",
         "QSO:  7033 CW 2024-03-21 1901 DJ0SP         599 HANS 124            M0MPM         599 MICHAEL 217\n"
         "QSO:  7033 CW 2024-03-21 1902 DJ0SP         599 HANS/124            OK1DZ         599 ZDENEK /216\n"
         "QSO:  7033 CW 2024-03-21 1903 DJ0SP         599 HANS/124            SP7OGP        599 PITOR   111\n",
         0, "M0MPM", "599", "HANS 124", "599", "MICHAEL 217"},
        // 7: tabs, a time written 19.03 and report and exchange in one field.
        {"CALLSIGN: PA0XAW\n",
         "QSO: 14050\tCW 2024-03-21\t19.03\tPA0XAW 599-119\tI5ECW  \t 599-164\n"
         "QSO: 14050\tCW 2024-03-21\t19.07\tPA0XAW 599-119  OE8TIR\t 599-105\n",
         1, "OE8TIR", "", "599-119", "", "599-105"},
        // 8: a multi-operator log: each line has its operator's call, no CALLSIGN line.
        {"OPERATORS: K1ABC, K2DEF @W1AW\n",
         "QSO: 14001 CW 2026-11-21 1500 K1ABC 599 001 UA1AA 599 017\n"
         "QSO: 14001 CW 2026-11-21 1501 K2DEF 599 002 UA1AB 599 018\n",
         1, "UA1AB", "599", "002", "599", "018"},
        // 9: a portable call with prefix and suffix.
        {"CALLSIGN: RK3AZ\n",
         "QSO: 14001 CW 2026-11-21 1500 RK3AZ 599 001 DL/PA7F/P 599 017\n",
         0, "DL/PA7F/P", "599", "001", "599", "017"},
        // 10: a call-like exchange with a few values (two club calls) before the calls.
        {"CALLSIGN: RK3AZ\n",
         "QSO: 3512 CW 2026-11-21 1500 RK3AZ 599 RK3AWL IVAN UA1AA 599 017\n"
         "QSO: 3512 CW 2026-11-21 1501 RK3AZ 599 RK3AWL IVAN UA1AB 599 018\n"
         "QSO: 3512 CW 2026-11-21 1502 RK3AZ 599 RK3AWM IVAN UA1AC 599 019\n"
         "QSO: 3512 CW 2026-11-21 1503 RK3AZ 599 RK3AWM IVAN UA1AD 599 020\n"
         "QSO: 3512 CW 2026-11-21 1504 RK3AZ 599 RK3AWM IVAN UA1AE 599 021\n",
         0, "UA1AA", "599", "RK3AWL IVAN", "599", "017"},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        const ReadLog log = readCabrillo(std::string("START-OF-LOG: 3.0\n") + c.header + c.lines);
        CHECK(log.skippedRecords() == 0);
        CHECK(log.qsos.size() > c.pinned);
        if (log.qsos.size() <= c.pinned)
            continue;
        const LogQso& q = log.qsos[c.pinned];
        CHECK(q.call == c.call);
        CHECK(q.rstSent == c.rstSent);
        CHECK(q.exchSent == c.exchSent);
        CHECK(q.rstReceived == c.rstReceived);
        CHECK(q.exchReceived == c.exchReceived);
    }
}

TEST_CASE("Cabrillo: a line that does not fit the file's layout is named and skipped")
{
    struct Case {
        const char* lines; // the faulty line is the third (file line 5)
        const char* why;
    };
    const std::string good = "QSO: 21008 CW 2024-07-13 1200 N9NB 599 08 JR1GJP 599 45 1\n"
                             "QSO: 21008 CW 2024-07-13 1203 N9NB 599 08 NP4Z 599 11 1\n";
    const Case cases[] = {
        /* 1 */ {"QSO: 21028 CW 2024-07-13 1206 N9NB 599 08 599 08 1\n", "worked callsign"},
        /* 2 */ {"QSO: 21028 CW 2024-07-13 1206 N9NB 599 08\n", "worked callsign"},
        /* 3 */ {"QSO: 21028 CW 2024-07-13 1206 N9NB 599 08 HD1QRC93 599 08 1\n", "HD1QRC93"},
        /* 4 */ {"QSO: 21028 CW 2024-07-13 1206 N9NB 599 08 F8FKFZ/ 599 08 1\n", "F8FKFZ/"},
        /* 5 */ {"QSO: 21028 CW 2024-07-13 1206 K1ABC 599 08 K1IMI 599 08 1\n", "own callsign \"K1ABC\""},
        /* 6 */ {"QSO: 21028 CW 2024-07-13 1206 N9NB 599 08 K1IMI 599 08\n", "transmitter"},
        /* 7 */ {"QSO: 21028 CW 2024-07-13 1206 599 08 K1IMI 599 08 1\n", "worked callsign"},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        const ReadLog log = readCabrillo("START-OF-LOG: 3.0\nCALLSIGN: N9NB\n" + good + c.lines + good);
        CHECK(log.qsos.size() == 4);
        CHECK(log.problems.size() == 1);
        if (log.problems.empty())
            continue;
        CHECK(log.problems[0].line == 5);
        CHECK(log.problems[0].recordSkipped);
        CHECK_MESSAGE(log.problems[0].message.find(c.why) != std::string::npos, log.problems[0].message);
    }
}

TEST_CASE("Cabrillo: exchanges that look like calls give way to the calls, unreadable on a line")
{
    struct Case {
        const char* lines; // the worked call of the third line (file line 6) is unreadable
        const char* exchSent;
        const char* exchReceived;
    };
    const Case cases[] = {
        // 1: locators sent and received, as in VHF contests.
        {"QSO: 144 PH 2026-11-21 1500 RK3AZ 59 001 KO85TS UA1AA 59 017 KO93AB\n"
         "QSO: 144 PH 2026-11-21 1501 RK3AZ 59 002 KO85TS UA1AB 59 018 KO91CD\n"
         "QSO: 144 PH 2026-11-21 1502 RK3AZ 59 003 KO85TS 599 59 019 KO85EF\n"
         "QSO: 144 PH 2026-11-21 1503 RK3AZ 59 004 KO85TS UA1AD 59 020 LO02GH\n",
         "001 KO85TS", "017 KO93AB"},
        // 2: the same club call sent on every line.
        {"QSO: 3512 CW 2026-11-21 1500 RK3AZ 599 RK3AWL UA1AA 599 017\n"
         "QSO: 3512 CW 2026-11-21 1501 RK3AZ 599 RK3AWL UA1AB 599 018\n"
         "QSO: 3512 CW 2026-11-21 1502 RK3AZ 599 RK3AWL 599 599 019\n"
         "QSO: 3512 CW 2026-11-21 1503 RK3AZ 599 RK3AWL UA1AD 599 020\n",
         "RK3AWL", "017"},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        const ReadLog log = readCabrillo(kCabrilloHeader + c.lines);
        CHECK(log.qsos.size() == 3);
        if (log.qsos.empty())
            continue;
        CHECK(log.qsos[0].call == "UA1AA");
        CHECK(log.qsos[0].exchSent == c.exchSent);
        CHECK(log.qsos[0].exchReceived == c.exchReceived);
        CHECK(log.problems.size() == 1);
        if (!log.problems.empty())
            CHECK(log.problems[0].line == 6);
    }
}

TEST_CASE("Cabrillo: what looks like a callsign")
{
    using cabrillo::looksLikeCall;
    const char* calls[] = {"PA7F", "pa7f", "K1A", "9A1A", "4X4AB", "3DA0RS", "DL/PA7F", "PA7F/P",
                           "VE3/K1ABC/M", "OK1DZ/1", "PI4NTC"};
    for (const char* call : calls)
        CHECK_MESSAGE(looksLikeCall(call), call);
    const char* others[] = {"",      "599",      "001",     "4A",          "10A",   "NTC",
                            "NTC44", "HANS/124", "2POINTS", "599VANNI164", "WB8",   "F8FKFZ/",
                            "/PA7F", "PA7F//P",  "A/B/C/PA7F", "UA-1A",    "UA1AA."};
    for (const char* other : others)
        CHECK_FALSE_MESSAGE(looksLikeCall(other), other);
}

TEST_CASE("Cabrillo: where the worked call stands, as a message names it")
{
    using cabrillo::Layout;
    struct Case {
        std::size_t afterTime;
        const char* place;
    };
    const Case cases[] = {
        {1, "the 1st field after the time"},   {2, "the 2nd field after the time"},
        {3, "the 3rd field after the time"},   {4, "the 4th field after the time"},
        {11, "the 11th field after the time"}, {12, "the 12th field after the time"},
        {13, "the 13th field after the time"}, {21, "the 21st field after the time"},
        {22, "the 22nd field after the time"}, {23, "the 23rd field after the time"},
        {111, "the 111th field after the time"},
    };
    for (const Case& c : cases) {
        Layout layout;
        layout.callAt = cabrillo::kTime + c.afterTime;
        CHECK(layout.callPlace() == c.place);
    }
    Layout byColumn;
    byColumn.callBy = Layout::CallBy::Column;
    byColumn.callAt = 40;
    CHECK(byColumn.callPlace() == "column 41");
    CHECK(Layout().callPlace() == "no place");
}

TEST_CASE("Cabrillo: times written HH.MM are read, with one remark for the file")
{
    const ReadLog log = readCabrillo(kCabrilloHeader + "QSO: 14050 CW 2024-03-21 19.03 RK3AZ 599-119 I5ECW 599-164\n"
                                               "QSO: 14050 CW 2024-03-21 19:07 RK3AZ 599-119 OE8TIR 599-105\n");
    REQUIRE(log.qsos.size() == 2);
    CHECK(formatOleDate(log.qsos[0].time, "%H:%M") == "19:03");
    CHECK(formatOleDate(log.qsos[1].time, "%H:%M") == "19:07");
    REQUIRE(log.problems.size() == 1);
    CHECK(log.problems[0].line == 4);
    CHECK_FALSE(log.problems[0].recordSkipped);
}

TEST_CASE("Cabrillo: past the limit the reader counts broken lines instead of keeping them")
{
    std::string text = kCabrilloHeader;
    for (int i = 0; i < 30; ++i)
        text += "QSO: 1\r\n";
    text += "QSO:  3537 CW 2026-11-21 1500 RK3AZ         589 001    UA9YKQ        599 001\r\nEND-OF-LOG:\r\n";

    const ReadLog all = readCabrillo(text);
    CHECK(all.problems.size() == 30);
    CHECK(all.problemsLeftOut == 0);

    const ReadLog capped = readCabrillo(text, ReadLimits{10});
    REQUIRE(capped.problems.size() == 10);
    CHECK(capped.problems.front().line == 4);
    CHECK(capped.problemsLeftOut == 20);
    CHECK(capped.recordsLeftOut == 20);
    CHECK(capped.skippedRecords() == 30);
    CHECK(capped.qsos.size() == 1);
}
