// Every ADIF log among the real samples, read whole: counts, own call, exchanges, and a
// few QSOs checked by hand against the file.
#include "tools/logs/LogFile.h"
#include "tools/logs/TextUtil.h"

#include "TestEnvironment.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace korvane;

namespace {

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t recordsIn(const std::string& text)
{
    std::size_t n = 0;
    for (std::size_t at = findNoCase(text, "<eor>", 0); at != std::string::npos;
         at = findNoCase(text, "<eor>", at + 1))
        ++n;
    return n;
}

} // namespace

TEST_CASE("real ADIF logs: every record read, own call and received exchange found")
{
    const std::string dir = folderFrom("KORVANE_SAMPLES");
    if (dir.empty()) {
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, real ADIF logs not read");
        return;
    }
    struct Case {
        const char* file;
        std::size_t records; // <EOR> marks in the file; all of them read
        std::size_t remarks; // problems that skip nothing
        const char* ownCall; // "": the log names none, --call is needed
        std::size_t withExchange; // QSOs with a received exchange
    };
    const Case cases[] = {
        /* 1 */ {"ntc-qp-2024-03-PA3HEB.adi", 12, 0, "PA3HEB", 12},
        /* 2 */ {"rsgb-80m-autumn-ssb-2018-M0NOM-P.adi", 67, 0, "M0NOM/P", 66}, // one before the contest
        /* 3 */ {"loggers/arrlfd-2025-W9ZV-n1mm-adifmaster.adi", 713, 0, "W9ZV", 713},
        /* 4 */ {"loggers/arrlfd-2025-n3fjp-all.adi", 998, 1, "", 998}, // operators change
        /* 5 */ {"loggers/cqww-rtty-2025-W4TA-n1mm.adi", 15, 0, "W4TA", 15},
        /* 6 */ {"loggers/vhf-144-2021-M0KPW-minos.adi", 45, 0, "M0KPW", 45},
        /* 7 */ {"loggers/wsjtx-2023-KK7KNB.adi", 528, 0, "KK7KNB", 389}, // the rest: no grid
        /* 8 */ {"loggers/qo100-2026-R3LO-logger32.adif", 1, 1, "R3LO/P", 1}, // 10 GHz
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const std::string path = (std::filesystem::path(dir) / c.file).string();
        CHECK(recordsIn(fileText(path)) == c.records);
        const LogFileResult r = readLogFile(path);
        REQUIRE_MESSAGE(r.ok, r.error);
        CHECK(r.log.format == LogFormat::Adif);
        CHECK(r.log.qsos.size() == c.records);
        CHECK(r.log.skippedRecords() == 0);
        CHECK(r.log.problems.size() == c.remarks);
        CHECK(r.log.ownCall == c.ownCall);
        std::size_t withExchange = 0;
        for (const LogQso& q : r.log.qsos)
            withExchange += q.exchReceived.empty() ? 0 : 1;
        CHECK(withExchange == c.withExchange);
    }
}

TEST_CASE("real ADIF logs: QSOs checked by hand against the files")
{
    const std::string dir = folderFrom("KORVANE_SAMPLES");
    if (dir.empty()) {
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, real ADIF logs not read");
        return;
    }
    struct Case {
        const char* file;
        std::size_t index; // in file order, from 0
        std::size_t line;
        const char* call;
        const char* band;
        unsigned freqHz;
        const char* exchReceived;
        const char* exchSent;
    };
    const char* const ntc = "ntc-qp-2024-03-PA3HEB.adi";
    const char* const rsgb = "rsgb-80m-autumn-ssb-2018-M0NOM-P.adi";
    const char* const w9zv = "loggers/arrlfd-2025-W9ZV-n1mm-adifmaster.adi";
    const char* const n3fjp = "loggers/arrlfd-2025-n3fjp-all.adi";
    const char* const w4ta = "loggers/cqww-rtty-2025-W4TA-n1mm.adi";
    const char* const minos = "loggers/vhf-144-2021-M0KPW-minos.adi";
    const char* const wsjtx = "loggers/wsjtx-2023-KK7KNB.adi";
    const char* const qo100 = "loggers/qo100-2026-R3LO-logger32.adif";
    const Case cases[] = {
        // N1MM's exchange field; its STX is a running count, not the sent name and number.
        /* 1 */ {ntc, 0, 10, "GW4OKT", "80", 3554000, "106", ""},
        /* 2 */ {ntc, 5, 15, "PA0RBA", "40", 7036000, "96", ""},
        /* 3 */ {ntc, 11, 21, "F8DTU", "40", 7035980, "049", ""},
        // Serials in COMMENT, sent then received; the first QSO is before the contest.
        /* 4 */ {rsgb, 0, 5, "G0AJH", "80", 3755000, "", ""},
        /* 5 */ {rsgb, 5, 10, "G3TBK", "80", 3755000, "009", "004"},
        /* 6 */ {rsgb, 66, 71, "G3RVM", "80", 3755000, "125", "070"},
        // Field Day through N1MM: class in its exchange field, section in ARRL_SECT.
        /* 7 */ {w9zv, 0, 10, "NE5A", "20", 14045260, "1D OK", ""},
        /* 8 */ {w9zv, 5, 15, "W2LV", "20", 14018090, "5A NNJ", ""},
        /* 9 */ {w9zv, 300, 310, "NS0R", "40", 7008590, "1D KS", ""},
        /* 10 */ {w9zv, 712, 722, "K7EFA", "20", 14059000, "2A MT", ""},
        // Field Day through N3FJP: one tag a line, mixed case, CLASS and ARRL_SECT.
        /* 11 */ {n3fjp, 0, 11, "N5GK", "20", 14000000, "3A AR", ""},
        /* 12 */ {n3fjp, 5, 146, "N7HYV", "20", 14000000, "1D NV", ""},
        /* 13 */ {n3fjp, 300, 8215, "K4MW", "20", 14044760, "1B VA", ""},
        /* 14 */ {n3fjp, 997, 28366, "K1MHZ", "40", 7000000, "1B VT", ""},
        // CQ WW: the state where one was logged, else the zone.
        /* 15 */ {w4ta, 0, 6, "NS4X", "20", 14110990, "ON", ""},
        /* 16 */ {w4ta, 5, 11, "HB2T", "20", 14106100, "14", ""},
        /* 17 */ {w4ta, 14, 20, "IO0A", "20", 14094720, "15", ""},
        // VHF: serials in SRX_STRING and STX_STRING, band only.
        /* 18 */ {minos, 5, 11, "G8ZRE", "2", 144000000, "004", "006"},
        /* 19 */ {minos, 44, 50, "GM3SEK", "2", 144000000, "062", "045"},
        // FT8: grids both ways, none when the other's grid was not logged.
        /* 20 */ {wsjtx, 5, 12, "K8BL", "15", 21076413, "EN91", "CN85QN"},
        /* 21 */ {wsjtx, 300, 307, "N0RC", "20", 14076799, "EM29", "CN85OQ"},
        /* 22 */ {wsjtx, 527, 534, "AB5EO/6", "20", 14076745, "", ""},
        // 10 GHz downlink on the 13 cm band: the band kept, the frequency passed as 0.
        /* 23 */ {qo100, 0, 2, "GM0MUW", "13CM", 0, "14", ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const LogFileResult r = readLogFile((std::filesystem::path(dir) / c.file).string());
        REQUIRE(r.ok);
        REQUIRE(c.index < r.log.qsos.size());
        const LogQso& q = r.log.qsos[c.index];
        CHECK(q.line == c.line);
        CHECK(q.call == c.call);
        CHECK(q.band == c.band);
        CHECK(q.freqHz == c.freqHz);
        CHECK(q.exchReceived == c.exchReceived);
        CHECK(q.exchSent == c.exchSent);
    }
}

TEST_CASE("real ADIF logs: --exchange-field takes the named fields")
{
    const std::string dir = folderFrom("KORVANE_SAMPLES");
    if (dir.empty()) {
        MESSAGE("SKIPPED: KORVANE_SAMPLES is not a folder, real ADIF logs not read");
        return;
    }
    const std::string w4ta = (std::filesystem::path(dir) / "loggers/cqww-rtty-2025-W4TA-n1mm.adi").string();
    AdifOptions zoneAndState;
    zoneAndState.exchangeField = "CQZ+STATE";
    const LogFileResult cqww = readLogFile(w4ta, zoneAndState);
    REQUIRE(cqww.ok);
    REQUIRE(cqww.log.qsos.size() == 15);
    CHECK(cqww.log.qsos[0].exchReceived == "4 ON");
    CHECK(cqww.log.qsos[5].exchReceived == "14");

    AdifOptions typo;
    typo.exchangeField = "CQ_Z";
    const LogFileResult none = readLogFile(w4ta, typo);
    CHECK_FALSE(none.ok);
    CHECK(none.error.find("CQ_Z") != std::string::npos);

    const LogFileResult cabrillo =
        readLogFile((std::filesystem::path(dir) / "ntc-qp-2024-03-PA7F.cbr").string(), zoneAndState);
    CHECK_FALSE(cabrillo.ok);
    CHECK(cabrillo.error.find("Cabrillo") != std::string::npos);
}
