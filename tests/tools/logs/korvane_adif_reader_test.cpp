#include "tools/logs/AdifReader.h"

#include <doctest/doctest.h>

#include <string>

using namespace korvane;

namespace {

const char* const kAdifHeader = "exported by a logger\n<ADIF_VER:5>3.1.4 <EOH>\n";

std::string record(const std::string& fields) { return fields + " <EOR>\n"; }

const std::string kGood = "<CALL:6>UA1AAA <QSO_DATE:8>20261121 <TIME_ON:6>151230 <BAND:4>160m "
                          "<MODE:2>CW <FREQ:6>1.8265 <RST_SENT:3>599 <RST_RCVD:3>579 "
                          "<STX:3>001 <SRX:2>42 <STATION_CALLSIGN:5>RK3AZ";

} // namespace

TEST_CASE("ADIF: a record in the host's terms")
{
    const ReadLog log = readAdif(std::string(kAdifHeader) + record(kGood));
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
        std::string fields;
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
        /* 8 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <SUBMODE:3>LSB", "80", "SSB", 3500000, ""},
        // The longest tag still read as one: 127 characters between '<' and '>'.
        /* 9 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <APP_" +
                     std::string(121, 'X') + ":1>x", "80", "CW", 3500000, ""},
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
        /* 14 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <SRX_STRING:65>" +
                      std::string(65, '7'), "longer than 64"},
        /* 15 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <MODE:2>CW <FREQ:7>1000000", "unreadable FREQ"},
        /* 16 */ {"<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW <APP_" +
                      std::string(122, 'X') + ":1>x", "opens no tag"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(std::string(kAdifHeader) + record(c.record) + record(kGood));
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
    const std::string whole = std::string(kAdifHeader) + record(kGood) + record(kGood);
    struct Case {
        std::size_t cutFromEnd;
        std::size_t qsos;
        const char* why; // part of the message; nullptr: no message
    };
    const Case cases[] = {
        /* 1 */ {4, 1, "inside a tag"},         // inside <EOR>
        /* 2 */ {20, 1, "inside a tag"},        // inside STATION_CALLSIGN's tag
        /* 3 */ {60, 1, "inside a tag"},        // inside RST_RCVD's tag
        /* 4 */ {1, 2, nullptr},                // the last line end only
        /* 5 */ {7, 1, "no <EOR>"},             // on the last byte of a value
        /* 6 */ {10, 1, "declares"},            // inside a value
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(whole.substr(0, whole.size() - c.cutFromEnd));
        CHECK(log.qsos.size() == c.qsos);
        CHECK(log.skippedRecords() == 2 - c.qsos);
        if (c.why) {
            REQUIRE(log.problems.size() == 1);
            CHECK(log.problems[0].message.find(c.why) != std::string::npos);
        }
    }
    const ReadLog packed = readAdif("<CALL:5>UA1AA<QSO_DATE:8>20261121");
    REQUIRE(packed.problems.size() == 1);
    CHECK(packed.problems[0].message.find("no <EOR>") != std::string::npos);
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

namespace {

// One data specifier with its length counted.
std::string field(const std::string& name, const std::string& value)
{
    return "<" + name + ":" + std::to_string(value.size()) + ">" + value + " ";
}

const std::string kBase = "<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW ";
const char* const kLongestExchange = "7777777777777777777777777777777777777777777777777777777777777777";

} // namespace

TEST_CASE("ADIF: the received exchange comes from the first contest field a record holds")
{
    struct Case {
        std::string fields;
        const char* received;
        const char* sent;
    };
    const Case cases[] = {
        // Serials as logged; STX_STRING beats STX, and STX is no count here.
        /* 1 */ {field("SRX", "42") + field("STX", "7"), "42", "7"},
        /* 2 */ {field("SRX", "42") + field("SRX_STRING", "42 MO") + field("STX_STRING", "7 KR"), "42 MO", "7 KR"},
        /* 3 */ {field("SRX_STRING", "") + field("SRX", "9") + field("CQZ", "14") + field("STX", "3"), "9", "3"},
        // N1MM: its exchange before the zone it always writes; STX is its running count.
        /* 4 */ {field("APP_N1MM_EXCHANGE1", "106") + field("CQZ", "14") + field("STX", "1"), "106", ""},
        /* 5 */ {field("APP_N1MM_EXCHANGE1", "1D") + field("ARRL_SECT", "OK") + field("STX", "1"), "1D OK", ""},
        /* 6 */ {field("APP_N1MM_EXCHANGE1", "OK") + field("ARRL_SECT", "OK"), "OK", ""},
        // Field Day from other programs; the own section alone is no whole exchange.
        /* 7 */ {field("CLASS", "3A") + field("ARRL_SECT", "EMA") + field("STATE", "MA") + field("CQZ", "5"), "3A EMA", ""},
        /* 8 */ {field("CLASS", "3A") + field("ARRL_SECT", "EMA") + field("MY_ARRL_SECT", "IL"), "3A EMA", ""},
        /* 9 */ {field("ARRL_SECT", "EMA") + field("MY_ARRL_SECT", "IL") + field("STATE", "MA"), "EMA", "IL"},
        /* 10 */ {field("STATE", "ON") + field("CQZ", "4") + field("MY_STATE", "TN") + field("STX", "5"), "ON", "TN"},
        /* 11 */ {field("CQZ", "14") + field("ITUZ", "27") + field("MY_CQ_ZONE", "16"), "14", "16"},
        /* 12 */ {field("ITUZ", "27") + field("GRIDSQUARE", "IO83") + field("MY_ITU_ZONE", "29"), "27", "29"},
        /* 13 */ {field("GRIDSQUARE", "EM87") + field("MY_GRIDSQUARE", "CN85QN") + field("STX", "4"), "EM87", "CN85QN"},
        /* 14 */ {field("GRIDSQUARE", "") + field("MY_GRIDSQUARE", "CN85QN") + field("STX", "4"), "", "4"},
        // Serials in COMMENT: sent first, then received; anything else is no exchange.
        /* 15 */ {field("COMMENT", "013, 021"), "021", "013"},
        /* 16 */ {field("COMMENT", "040 ,024"), "024", "040"},
        /* 17 */ {field("COMMENT", "014") + field("STX", "3"), "014", "3"},
        /* 18 */ {field("COMMENT", "WAB: TQ58, John, FT-2000"), "", ""},
        /* 19 */ {field("COMMENT", "FT8  Sent: +03  Rcvd: -11"), "", ""},
        /* 20 */ {field("COMMENT", "1 2 3"), "", ""},
        /* 21 */ {field("COMMENT", "013, 021") + field("SRX", "5"), "5", ""},
        // What the logger says was sent always wins.
        /* 22 */ {field("CQZ", "14") + field("MY_CQ_ZONE", "16") + field("STX_STRING", "16 TX"), "14", "16 TX"},
        // Nothing found: STX is all there is.
        /* 23 */ {field("STX", "12"), "", "12"},
        // The longest serials a COMMENT gives, and the longest exchange read.
        /* 24 */ {field("COMMENT", "123456, 654321"), "654321", "123456"},
        /* 25 */ {field("COMMENT", "1234567"), "", ""},
        /* 26 */ {field("SRX_STRING", std::string(64, '7')), kLongestExchange, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(record(kBase + c.fields));
        REQUIRE(log.qsos.size() == 1);
        CHECK(log.qsos[0].exchReceived == c.received);
        CHECK(log.qsos[0].exchSent == c.sent);
    }
}

TEST_CASE("ADIF: a COMMENT with one short token on most records comes before the zones")
{
    // A national contest logged with the department in COMMENT; the logger fills CQZ
    // from its country file, the same on every QSO.
    const char* const departments[] = {" 54 ", "75", "13", "2A", " 971", "54", "33", "69"};
    const auto log = [&](std::size_t tokens, std::size_t others, const AdifOptions& options = {},
                         const char* sameToken = nullptr) {
        std::string text = kAdifHeader;
        for (std::size_t i = 0; i < tokens + others; ++i) {
            const char* comment = sameToken ? sameToken : departments[i % 8];
            text += record(kBase + field("CQZ", "14") + field("STX", std::to_string(i + 1)) +
                           field("COMMENT", i < tokens ? comment : "tnx fer QSO"));
        }
        return readAdif(text, options);
    };

    const ReadLog most = log(9, 3);
    REQUIRE(most.qsos.size() == 12);
    CHECK(most.qsos[0].exchReceived == "54");
    CHECK(most.qsos[0].exchSent == "1"); // a serial-like token answers STX, as before
    CHECK(most.qsos[3].exchReceived == "2A");
    CHECK(most.qsos[3].exchSent == "");
    CHECK(most.qsos[9].exchReceived == "14"); // a remark is no token: the zone stays
    CHECK(most.warnings.empty());

    // Tokens on half the records only: the zone, the same everywhere, and a warning
    // that names its field and the way out.
    const ReadLog half = log(6, 6);
    CHECK(half.qsos[0].exchReceived == "14");
    REQUIRE(half.warnings.size() == 1);
    CHECK(half.warnings[0] == "the received exchange is \"14\" on 12 of 12 QSOs, taken from CQZ: "
                              "if the operators exchanged something else, name the field that "
                              "holds it with --exchange-field");

    // 75% is enough, from whichever field; fewer than ten QSOs, or a field the operator
    // named, are not.
    CHECK(log(2, 6).warnings.empty());                          // 8 of 8, too few to tell
    CHECK(log(9, 3, {}, "54").warnings.size() == 1);            // "54" on 9 of 12
    CHECK(log(9, 3, {}, "54").warnings[0].find("taken from COMMENT") != std::string::npos);
    CHECK(log(8, 4, {}, "54").warnings.empty());                // 8 of 12
    AdifOptions cqz;
    cqz.exchangeField = "CQZ";
    CHECK(log(0, 12, cqz).warnings.empty());
}

TEST_CASE("ADIF: --exchange-field names the received exchange's fields")
{
    const std::string cqww = kBase + field("STATE", "ON") + field("CQZ", "4") + field("SRX", "77") +
                             field("STX", "1") + field("MY_CQ_ZONE", "5") + field("MY_STATE", "TN");
    struct Case {
        const char* names;
        std::string fields;
        const char* received;
        const char* sent;
    };
    const Case cases[] = {
        /* 1 */ {"CQZ+STATE", cqww, "4 ON", "5 TN"},
        /* 2 */ {"cqz", cqww, "4", "5"},
        /* 3 */ {"STATE+CQZ", kBase + field("CQZ", "14"), "14", ""},
        /* 4 */ {"APP_N1MM_EXCHANGE1", kBase + field("APP_N1MM_EXCHANGE1", "MARCEL 159") + field("SRX", "3"), "MARCEL 159", ""},
        /* 5 */ {"COMMENT", kBase + field("COMMENT", "013, 021") + field("STX", "9"), "013, 021", ""},
        /* 6 */ {"SRX", cqww, "77", "1"},
        /* 7 */ {"NAME", cqww, "", "1"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        AdifOptions options;
        options.exchangeField = c.names;
        const ReadLog log = readAdif(record(c.fields), options);
        REQUIRE(log.qsos.size() == 1);
        CHECK(log.qsos[0].exchReceived == c.received);
        CHECK(log.qsos[0].exchSent == c.sent);
    }
    CHECK(exchangeFieldProblem("CQZ+STATE").empty());
    CHECK(exchangeFieldProblem("app_n1mm_exchange1").empty());
    CHECK_FALSE(exchangeFieldProblem("").empty());
    CHECK_FALSE(exchangeFieldProblem("CQZ+").empty());
    CHECK_FALSE(exchangeFieldProblem("SRX STRING").empty());
    CHECK_FALSE(exchangeFieldProblem("<EOR>").empty());
}

TEST_CASE("ADIF: a frequency past 4294 MHz keeps its band and goes to the host as 0")
{
    struct Case {
        std::string fields;
        const char* band;
        unsigned freqHz;
        const char* remark; // part of it; nullptr: none
    };
    const Case cases[] = {
        /* 1 */ {field("BAND", "13cm") + field("FREQ", "10489.899880"), "13CM", 0, "10489.89988 MHz"},
        /* 2 */ {field("FREQ", "10368.2"), "3CM", 0, "10368.2 MHz"},
        /* 3 */ {field("BAND", "6cm"), "6CM", 0, "lower edge 5650 MHz"},
        /* 4 */ {field("BAND", "13cm") + field("FREQ", "2400.1"), "13CM", 2400100000u, nullptr},
        /* 5 */ {field("FREQ", "3400.5"), "9CM", 3400500000u, nullptr},
        /* 6 */ {field("BAND", "9cm"), "9CM", 3300000000u, nullptr},
        /* 7 */ {field("BAND", "13cm") + field("FREQ", "4294.967295"), "13CM", 4294967295u, nullptr},
        /* 8 */ {field("BAND", "13cm") + field("FREQ", "4294.967296"), "13CM", 0, "4294.967296 MHz"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const std::string base = "<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <MODE:3>SSB ";
        const ReadLog log = readAdif(record(base + c.fields));
        REQUIRE(log.qsos.size() == 1);
        CHECK(log.qsos[0].band == c.band);
        CHECK(log.qsos[0].freqHz == c.freqHz);
        CHECK(log.skippedRecords() == 0);
        if (c.remark) {
            REQUIRE(log.problems.size() == 1);
            CHECK_FALSE(log.problems[0].recordSkipped);
            CHECK(log.problems[0].line == 1);
            CHECK(log.problems[0].message.find(c.remark) != std::string::npos);
        } else {
            CHECK(log.problems.empty());
        }
    }
    // Past every band, and past what the reader takes for a frequency at all.
    CHECK(readAdif(record(kBase + field("FREQ", "1000000"))).skippedRecords() == 1);
    CHECK(readAdif(record("<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <MODE:2>CW " +
                          field("FREQ", "9999")))
              .skippedRecords() == 1);
}

TEST_CASE("ADIF: OPERATOR is the own call only when every record names the same one")
{
    const std::string r1 = "<CALL:5>UA1AA <QSO_DATE:8>20261121 <TIME_ON:4>1512 <BAND:3>80m <MODE:2>CW ";
    const std::string r2 = "<CALL:5>UA1AB <QSO_DATE:8>20261121 <TIME_ON:4>1513 <BAND:3>80m <MODE:2>CW ";
    const std::string r3 = "<CALL:5>UA1AC <QSO_DATE:8>20261121 <TIME_ON:4>1514 <BAND:3>80m <MODE:2>CW ";
    struct Case {
        std::string log;
        const char* ownCall;
        std::size_t remarkLine; // 0: no remark
    };
    const Case cases[] = {
        /* 1 */ {record(r1 + field("OPERATOR", "rk3az")), "RK3AZ", 0},
        /* 2 */ {record(r1 + field("OPERATOR", "RK3AZ")) + record(r2) + record(r3 + field("OPERATOR", "rk3az")), "RK3AZ", 0},
        /* 3 */ {record(r1 + field("OPERATOR", "K9MSG")) + record(r2 + field("OPERATOR", "K9MSG")) +
                     record(r3 + field("OPERATOR", "N9HRT")), "", 3},
        /* 4 */ {record(r1 + field("OPERATOR", "K9MSG")) + record(r2 + field("OPERATOR", "N9HRT")) +
                     record(r3 + field("STATION_CALLSIGN", "W9ZV")), "W9ZV", 0},
        /* 5 */ {record(r1 + field("STATION_CALLSIGN", "RK3AZ/P") + field("OPERATOR", "RK3AA")), "RK3AZ/P", 0},
        /* 6 */ {record(r1 + field("OPERATOR", "Steve S")) + record(r2 + field("OPERATOR", "RK3AZ")), "RK3AZ", 0},
        /* 7 */ {record(r1), "", 0},
        /* 8 */ {record(r1 + field("STATION_CALLSIGN", "RK3AZ")) + record(r2 + field("STATION_CALLSIGN", "RK3AZ/P")), "RK3AZ", 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const ReadLog log = readAdif(c.log);
        CHECK(log.ownCall == c.ownCall);
        CHECK(log.skippedRecords() == 0);
        if (c.remarkLine) {
            REQUIRE(log.problems.size() == 1);
            CHECK(log.problems[0].line == c.remarkLine);
            CHECK(log.problems[0].message.find("OPERATOR changes") != std::string::npos);
            CHECK(log.problems[0].message.find("K9MSG") != std::string::npos);
        } else {
            CHECK(log.problems.empty());
        }
    }
}
