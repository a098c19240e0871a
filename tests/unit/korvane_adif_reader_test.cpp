#include "tools/korvane/AdifReader.h"

#include <doctest/doctest.h>

#include <string>

using namespace korvane;

namespace {

const char* const kHeader = "exported by a logger\n<ADIF_VER:5>3.1.4 <EOH>\n";

std::string record(const std::string& fields) { return fields + " <EOR>\n"; }

const std::string kGood = "<CALL:6>UA1AAA <QSO_DATE:8>20261121 <TIME_ON:6>151230 <BAND:4>160m "
                          "<MODE:2>CW <FREQ:6>1.8265 <RST_SENT:3>599 <RST_RCVD:3>579 "
                          "<STX:3>001 <SRX:2>42 <STATION_CALLSIGN:5>RK3AZ";

} // namespace

TEST_CASE("ADIF: a record in the host's terms")
{
    const ReadLog log = readAdif(std::string(kHeader) + record(kGood));
    REQUIRE(log.qsos.size() == 1);
    CHECK(log.problems.empty());
    CHECK(log.ownCall == "RK3AZ");
    const LogQso& q = log.qsos[0];
    CHECK(q.call == "UA1AAA");
    CHECK(q.band == "160");
    CHECK(q.mode == "CW");
    CHECK(q.freqHz == 1826500u);
    CHECK(q.rstSent == "599");
    CHECK(q.rstReceived == "579");
    CHECK(q.exchSent == "001");
    CHECK(q.exchReceived == "42");
    CHECK(q.line == 3);
    CHECK(formatOleDate(q.time, "%Y-%m-%d %H:%M:%S") == "2026-11-21 15:12:30");
}

TEST_CASE("ADIF: field variants that still give a QSO")
{
    struct Case {
        const char* fields;
        const char* band;
        const char* mode;
        unsigned freqHz;
        const char* exchSent;
    };
    const Case cases[] = {
        /* 1 */ {"<call:5>ua1aa <qso_date:8>20261121 <time_on:4>1512 <band:3>80M <mode:3>SSB", "80", "SSB", 3500000, ""},
        /* 2 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:3>SSB <SUBMODE:3>USB", "80", "SSB", 3500000, ""},
        /* 3 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <FREQ:5>3.512 <MODE:3>LSB", "80", "SSB", 3512000, ""},
        /* 4 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>40m <MODE:4>RTTY", "40", "RTTY", 7000000, ""},
        /* 5 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:4>70cm <MODE:2>FM", "70CM", "FM", 420000000, ""},
        /* 6 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <STX:1>7 <STX_STRING:5>MO 07", "80", "CW", 3500000, "MO 07"},
        /* 7 */ {"<CALL:5>UA1AA <QSO_DATE:8:D>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>cw <FREQ:10>3.51234567", "80", "CW", 3512345, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(record(c.fields));
        REQUIRE(log.qsos.size() == 1);
        CHECK(log.qsos[0].call == "UA1AA");
        CHECK(log.qsos[0].band == c.band);
        CHECK(log.qsos[0].mode == c.mode);
        CHECK(log.qsos[0].freqHz == c.freqHz);
        CHECK(log.qsos[0].exchSent == c.exchSent);
    }
}

TEST_CASE("ADIF: a malformed record is named with its line and skipped, the next one read")
{
    const std::string tenMegabytes(10 * 1024 * 1024, 'W');
    struct Case {
        std::string record;
        const char* why; // part of the message
    };
    const Case cases[] = {
        /* 1 */ {"<CALL:5>UA1AA <QSO_DATE:8>20260231 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW", "date"},
        /* 2 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>2460 <BAND:3>80m <MODE:2>CW", "date or time"},
        /* 3 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>99m <MODE:2>CW", "unknown band"},
        /* 4 */ {"<QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW", "no callsign"},
        /* 5 */ {"<CALL:" + std::to_string(tenMegabytes.size()) + ">" + tenMegabytes +
                     " <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW", "longer than 32"},
        /* 6 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <MODE:2>CW", "neither BAND nor FREQ"},
        /* 7 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m", "no MODE"},
        /* 8 */ {"<CALL:x>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW", "length"},
        /* 9 */ {"<CALL:99999999999999999999>UA1AA <BAND:3>80m <MODE:2>CW", "length"},
        /* 10 */ {"<CALL:5>UA 1A <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW", "characters"},
        /* 11 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <FREQ:3>abc <MODE:2>CW", "FREQ"},
        /* 12 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <FREQ:4>9999 <MODE:2>CW", "FREQ"},
        /* 13 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <CALL", "opens no tag"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(std::string(kHeader) + record(c.record) + record(kGood));
        REQUIRE(log.qsos.size() == 1);
        CHECK(log.qsos[0].call == "UA1AAA");
        CHECK(log.qsos[0].line == 4);
        REQUIRE(log.problems.size() == 1);
        CHECK(log.problems[0].line == 3);
        CHECK(log.problems[0].recordSkipped);
        CHECK(log.problems[0].message.find(c.why) != std::string::npos);
        CHECK(log.problems[0].message.size() < 300); // never the whole 10 MB value
    }
}

TEST_CASE("ADIF: a file cut short loses only its last record")
{
    const std::string whole = std::string(kHeader) + record(kGood) + record(kGood);
    struct Case {
        std::size_t cutFromEnd;
        std::size_t qsos;
    };
    // 1: inside <EOR>, 2: inside a value, 3: inside a tag, 4: the last line end only.
    const Case cases[] = {{4, 1}, {20, 1}, {60, 1}, {1, 2}};
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(whole.substr(0, whole.size() - c.cutFromEnd));
        CHECK(log.qsos.size() == c.qsos);
        CHECK(log.skippedRecords() == 2 - c.qsos);
    }
}

TEST_CASE("ADIF: lengths are bytes, so a value may hold tags and line ends")
{
    const ReadLog log = readAdif(record("<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m "
                                        "<MODE:2>CW <COMMENT:12><EOR>\n<EOR>x"));
    REQUIRE(log.qsos.size() == 1);
    CHECK(log.problems.empty());

    // Nothing between one value and the next tag: the value ends exactly at its length.
    const ReadLog packed = readAdif("<call:5>UA1AA<qso_date:8>20261207<time_on:4>1012<band:3>80m<mode:2>CW<eor>");
    REQUIRE(packed.qsos.size() == 1);
    CHECK(packed.qsos[0].call == "UA1AA");
    CHECK(packed.qsos[0].band == "80");
    CHECK(packed.qsos[0].mode == "CW");
}

TEST_CASE("ADIF: the own call comes from STATION_CALLSIGN, else OPERATOR")
{
    const std::string base = "<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW ";
    CHECK(readAdif(record(base + "<OPERATOR:5>rk3az")).ownCall == "RK3AZ");
    CHECK(readAdif(record(base + "<STATION_CALLSIGN:7>RK3AZ/P <OPERATOR:5>RK3AA")).ownCall == "RK3AZ/P");
    CHECK(readAdif(record(base)).ownCall.empty());
}
