#include "tools/korvane/CabrilloReader.h"

#include <doctest/doctest.h>

#include <string>

using namespace korvane;

namespace {

const std::string kHeader = "START-OF-LOG: 3.0\r\nCONTEST: KORVANE\r\nCALLSIGN: RK3AZ\r\n";

} // namespace

TEST_CASE("Cabrillo: the plug-in's own QSO lines read back field for field")
{
    const ReadLog log = readCabrillo(
        kHeader + "QSO:  3537 CW 2026-11-21 1500 RK3AZ         589 001    UA9YKQ        599 001\r\n"
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
        kHeader + "QSO:  7033 CW 2024-03-21 1901 DJ0SP         599 HANS/124            M0MPM         599 MICHAEL 217          \n"
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
    const ReadLog loose = readCabrillo(kHeader + "QSO: 3512 CW 2026-11-21 1500 RK3AZ 599 12 MO UA1AA 599 7 SP\n"
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
        CAPTURE(++n);
        const ReadLog log = readCabrillo(kHeader + c.line + "\nQSO:  3512 CW 2026-11-21 1501 RK3AZ 599 001 UA1AB 599 003\n");
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

TEST_CASE("Cabrillo: edge cases of band edges and missing exchanges")
{
    // A band's upper edge is inside the band.
    const ReadLog edge = readCabrillo(kHeader + "QSO: 14350 CW 2026-12-07 1012 RK3AZ 599 001 UA1AA 599 002\n");
    REQUIRE(edge.qsos.size() == 1);
    CHECK(edge.qsos[0].band == "20");

    // Reports on both sides, no exchanges at all: the second report is the received one.
    const ReadLog bare = readCabrillo(kHeader + "QSO: 14000 CW 2026-12-07 1012 RA3XYZ 599 UA1AA 579\n");
    REQUIRE(bare.qsos.size() == 1);
    CHECK(bare.qsos[0].call == "UA1AA");
    CHECK(bare.qsos[0].rstSent == "599");
    CHECK(bare.qsos[0].rstReceived == "579");
    CHECK(bare.qsos[0].exchSent.empty());
    CHECK(bare.qsos[0].exchReceived.empty());
}
