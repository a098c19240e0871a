// Real logs other people sent to contests, and the bundled sample in both formats.
#include "tools/logs/LogFile.h"

#include "TestEnvironment.h"

#include <doctest/doctest.h>

#include <filesystem>
#include <string>

using namespace korvane;

namespace {

std::string joinPath(const std::string& dir, const char* file)
{
    return (std::filesystem::path(dir) / file).string();
}

} // namespace

TEST_CASE("real logs read whole, each in its own format")
{
    const std::string dir = folderFrom("KORVANE_SAMPLES");
    if (dir.empty()) {
        MESSAGE("KORVANE_SAMPLES is not a folder: real logs not read");
        return;
    }
    struct Case {
        const char* file;
        LogFormat format;
        const char* ownCall;
        std::size_t qsos;
        const char* firstCall;
        const char* firstBand;
        const char* firstMode;
    };
    const Case cases[] = {
        /* 1 */ {"ntc-qp-2024-03-PA7F.cbr", LogFormat::Cabrillo, "PA7F", 50, "OE8TIR", "20", "CW"},
        /* 2 */ {"ntc-qp-2024-03-S51Z.cbr", LogFormat::Cabrillo, "S51Z", 35, nullptr, nullptr, "CW"},
        /* 3 */ {"ntc-qp-2024-03-DJ0SP.cbr", LogFormat::Cabrillo, "DJ0SP", 36, "M0MPM", "40", "CW"},
        /* 4 */ {"ntc-qp-2024-03-PA3HEB.adi", LogFormat::Adif, "PA3HEB", 12, "GW4OKT", "80", "CW"},
        /* 5 */ {"rsgb-80m-autumn-ssb-2018-M0NOM-P.adi", LogFormat::Adif, "M0NOM/P", 67, "G0AJH", "80", "SSB"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const LogFileResult r = readLogFile(joinPath(dir, c.file));
        REQUIRE_MESSAGE(r.ok, r.error);
        CHECK(r.log.format == c.format);
        CHECK(r.log.ownCall == c.ownCall);
        CHECK(r.log.qsos.size() == c.qsos);
        CHECK(r.log.skippedRecords() == 0);
        REQUIRE(!r.log.qsos.empty());
        if (c.firstCall) {
            CHECK(r.log.qsos[0].call == c.firstCall);
            CHECK(r.log.qsos[0].band == c.firstBand);
        }
        CHECK(r.log.qsos[0].mode == c.firstMode);
    }
}

TEST_CASE("the faulty log: blanks in exchanges, text after END-OF-LOG, no last line end")
{
    const std::string dir = folderFrom("KORVANE_SAMPLES");
    if (dir.empty())
        return;
    const LogFileResult r = readLogFile(joinPath(dir, "ntc-qp-2024-03-DJ0SP.cbr"));
    REQUIRE(r.ok);
    REQUIRE(r.log.qsos.size() == 36);
    CHECK(r.log.qsos[0].exchSent == "HANS/124");
    CHECK(r.log.qsos[0].exchReceived == "MICHAEL 217");
    CHECK(r.log.qsos[1].exchReceived == "ZDENEK /216");
    CHECK(r.log.qsos[35].call == "OK2BM");
    CHECK(r.log.qsos[35].freqHz == 7034000u);
    REQUIRE(r.log.problems.size() == 1);
    CHECK(r.log.problems[0].line == 55);
    CHECK_FALSE(r.log.problems[0].recordSkipped);
}

TEST_CASE("the bundled sample: its ADIF and Cabrillo forms give the same QSOs")
{
    const std::string dir = folderFrom("KORVANE_BUNDLED");
    REQUIRE_MESSAGE(!dir.empty(), "KORVANE_BUNDLED must name the samples folder");
    const LogFileResult adif = readLogFile(joinPath(dir, "korvane-2026-RK3AZ.adi"));
    const LogFileResult cabrillo = readLogFile(joinPath(dir, "korvane-2026-RK3AZ.cbr"));
    REQUIRE(adif.ok);
    REQUIRE(cabrillo.ok);
    CHECK(adif.log.ownCall == "RK3AZ");
    CHECK(cabrillo.log.ownCall == "RK3AZ");
    CHECK(adif.log.problems.empty());
    CHECK(cabrillo.log.problems.empty());
    REQUIRE(adif.log.qsos.size() == cabrillo.log.qsos.size());
    for (std::size_t i = 0; i < adif.log.qsos.size(); ++i) {
        CAPTURE(i);
        const LogQso& a = adif.log.qsos[i];
        const LogQso& c = cabrillo.log.qsos[i];
        CHECK(a.call == c.call);
        CHECK(a.band == c.band);
        CHECK(a.mode == c.mode);
        CHECK(a.freqHz / 1000 == c.freqHz / 1000);
        CHECK(formatOleDate(a.time, "%Y%m%d%H%M") == formatOleDate(c.time, "%Y%m%d%H%M"));
        CHECK(a.rstSent == c.rstSent);
        CHECK(a.exchSent == c.exchSent);
        CHECK(a.rstReceived == c.rstReceived);
        CHECK(a.exchReceived == c.exchReceived);
    }
}
