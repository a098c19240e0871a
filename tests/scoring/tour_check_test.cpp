#include "scoring/TourCheck.h"

#include <doctest/doctest.h>

namespace {

QsoRecord qso(const char* call, const char* band, const char* mode, COleDateTime time)
{
    QsoRecord r;
    r.call = r.multiplierKey = call;
    r.band = band;
    r.mode = mode;
    r.qsoTime = time;
    return r;
}

CivilDateTime at(int hour, int minute) { return CivilDateTime{2026, 12, 7, hour, minute, 0}; }

} // namespace

TEST_CASE("the tour rule: same call, band and mode in the same half hour")
{
    QsoLog log;
    log.add(qso("UA1AAA", "80", "CW", makeOleDate(2026, 12, 7, 10, 12, 0)));
    log.add(qso("UA3BBB", "160", "SSB", makeOleDate(2026, 12, 6, 10, 40, 0))); // yesterday
    log.add(qso("UA9CCC", "80", "CW", makeOleDate(2026, 12, 7, 9, 45, 0)));

    struct Case {
        const char* call;
        const char* band;
        const char* mode;
        int hour, minute;
        int expected;
    };
    const Case cases[] = {
        /* 1 */ {"UA1AAA", "80", "CW", 10, 29, kRefused},
        /* 2 */ {"UA1AAA", "80", "CW", 10, 0, kRefused},
        /* 3 */ {"UA1AAA", "80", "CW", 10, 30, kWorkedBefore},  // next tour
        /* 4 */ {"UA1AAA", "160", "CW", 10, 15, kWorkedBefore}, // other band
        /* 5 */ {"UA1AAA", "80", "SSB", 10, 15, kWorkedBefore}, // other mode
        /* 6 */ {"UA1AAA", "80", "CW", 11, 12, kWorkedBefore},  // other hour
        /* 7 */ {"UA3BBB", "160", "SSB", 10, 50, kRefused},     // the date is not compared
        /* 8 */ {"UA9CCC", "80", "CW", 10, 45, kWorkedBefore},
        /* 9 */ {"ua1aaa", "80", "CW", 10, 15, kNewCall},       // case matters
        /* 10 */ {"UA1AAA ", "80", "CW", 10, 15, kNewCall},
        /* 11 */ {"", "80", "CW", 10, 15, kNewCall},
        /* 12 */ {"UA1AAA", "80 ", "CW", 10, 15, kWorkedBefore},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        CAPTURE(i + 1);
        CHECK(checkTour(log, c.call, c.band, c.mode, at(c.hour, c.minute)) == c.expected);
    }
    CHECK(checkTour(QsoLog(), "UA1AAA", "80", "CW", at(10, 0)) == kNewCall);
}

TEST_CASE("a QSO without a valid time lies in no tour")
{
    QsoLog log;
    COleDateTime invalid = makeOleDate(2026, 12, 7, 10, 12, 0);
    invalid.status = kOleInvalid;
    log.add(qso("UA1AAA", "80", "CW", invalid));
    log.add(qso("UA1AAA", "80", "CW", copyOleDate(nullptr)));
    CHECK(checkTour(log, "UA1AAA", "80", "CW", at(10, 12)) == kWorkedBefore);
}

TEST_CASE("the refusal message in Windows-1251, never longer than 256 bytes")
{
    const std::string tail =
        " \xC2 \xCE\xC4\xCD\xCE\xCC \xE8 \xD2\xCE\xCC \xC6\xC5 \xD2\xD3\xD0\xC5 "
        "\xCF\xD0\xCE\xC2\xCE\xC4\xC8\xD2\xDC \xCD\xC5\xCB\xDC\xC7\xDF !!!";
    CHECK(refusalMessage("UA1AAA") == "QSO c UA1AAA" + tail);
    CHECK(refusalMessage("UA1AAA").size() == 49 + 6);
    CHECK(refusalMessage("") == "QSO c " + tail);

    const std::string fits(206, 'K');
    CHECK(refusalMessage(fits).size() + 1 == kRefusalMessageCapacity);
    CHECK(refusalMessage(fits) == "QSO c " + fits + tail);
    const std::string huge(1 << 20, 'K');
    CHECK(refusalMessage(huge) == "QSO c " + fits + tail);
}
