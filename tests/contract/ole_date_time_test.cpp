#include "contract/OleDateTime.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>

namespace {

COleDateTime date(double value, std::int32_t status = kOleValid)
{
    COleDateTime d;
    d.value = value;
    d.status = status;
    return d;
}

std::string stamp(const COleDateTime& d) { return formatOleDate(d, "%Y-%m-%d %H%M%S"); }

} // namespace

TEST_CASE("day numbers break down into calendar date and time of day")
{
    struct Case {
        double value;
        const char* expected;
    };
    const double second = 1.0 / 86400;
    const Case cases[] = {
        /* 1 */ {0.0, "1899-12-30 000000"},
        /* 2 */ {1.5, "1899-12-31 120000"},
        /* 3 */ {-1.25, "1899-12-29 060000"},                    // time in |fraction|
        /* 4 */ {-0.25, "1899-12-30 060000"},
        /* 5 */ {46363.5, "2026-12-07 120000"},
        /* 6 */ {46363.5 - 0.4 * second, "2026-12-07 120000"},  // 11:59:59.6 rounds up
        /* 7 */ {46363.0 + 1 - 0.1 * second, "2026-12-08 000000"}, // 23:59:59.9: next day
        /* 8 */ {46363.0 + 0.4 * second, "2026-12-07 000000"},
        /* 9 */ {-657434.0, "0100-01-01 000000"},
        /* 10 */ {2958465.5, "9999-12-31 120000"},
        /* 11 */ {60.0, "1900-02-28 000000"},                    // no phantom 29 Feb 1900
        /* 12 */ {61.0, "1900-03-01 000000"},
        // Before the epoch the day counts backwards but its time forwards, so a time
        // that rounds up to midnight gives the next day, as after the epoch.
        /* 13 */ {-1.9999999, "1899-12-30 000000"},                 // 29 Dec 23:59:59.99
        /* 14 */ {-0.9999999, "1899-12-31 000000"},                 // 30 Dec 23:59:59.99
        /* 15 */ {-1.0 - (1 - 0.4 * second), "1899-12-30 000000"}, // 29 Dec 23:59:59.6
        /* 16 */ {-1.0 - (1 - 0.6 * second), "1899-12-29 235959"}, // 29 Dec 23:59:59.4
        /* 17 */ {-36522.9999999, "1800-01-02 000000"},
        /* 18 */ {-657433.9999999, "0100-01-03 000000"},
        /* 19 */ {-1.0 - 0.6 * second, "1899-12-29 000001"},
        /* 20 */ {-0.0, "1899-12-30 000000"},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        CAPTURE(i + 1);
        CHECK(stamp(date(cases[i].value)) == cases[i].expected);
    }
}

TEST_CASE("calendar dates: month lengths and the century leap years")
{
    struct Case {
        int year, month, day;
        bool exists;
    };
    const Case cases[] = {
        /* 1 */ {1900, 2, 28, true},  /* 2 */ {1900, 2, 29, false},
        /* 3 */ {2000, 2, 29, true},  /* 4 */ {2100, 2, 29, false},
        /* 5 */ {2024, 2, 29, true},  /* 6 */ {2026, 2, 29, false},
        /* 7 */ {9999, 12, 31, true}, /* 8 */ {2026, 4, 31, false},
        /* 9 */ {2026, 1, 31, true},  /* 10 */ {2026, 12, 32, false},
        /* 11 */ {2026, 0, 1, false}, /* 12 */ {2026, 13, 1, false},
        /* 13 */ {2026, 5, 0, false}, /* 14 */ {100, 1, 1, true},
        /* 15 */ {2026, -11, 21, false}, /* 16 */ {2026, 11, -21, false},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        CAPTURE(i + 1);
        const Case& c = cases[i];
        CHECK(isCalendarDate(c.year, c.month, c.day) == c.exists);
    }
}

TEST_CASE("a date that has no calendar meaning has no hour and formats empty")
{
    const COleDateTime invalid[] = {
        date(46363.5, kOleInvalid),
        date(46363.5, kOleNull),
        date(46363.5, 7),
        date(std::numeric_limits<double>::quiet_NaN()),
        date(std::numeric_limits<double>::infinity()),
        date(-std::numeric_limits<double>::infinity()),
        date(-657434.1),
        date(2958466.0),
        date(1e300),
    };
    for (const COleDateTime& d : invalid) {
        CivilDateTime t;
        CHECK_FALSE(breakDown(d, t));
        CHECK(formatOleDate(d, "%d.%m.%y").empty());
    }
    CHECK(copyOleDate(nullptr).status == kOleNull);
}

TEST_CASE("the patterns the plug-in uses")
{
    const COleDateTime d = makeOleDate(2026, 3, 5, 7, 9, 0);
    CHECK(formatOleDate(d, "%d.%m.%y") == "05.03.26");
    CHECK(formatOleDate(d, "%Y-%m-%d %H%M") == "2026-03-05 0709");
    CHECK(formatOleDate(d, "100%% %q") == "100% %q");
    // The end date of a reset comes out through "%d.%m.%y" before 1900 too.
    CHECK(formatOleDate(date(-1.9999999), "%d.%m.%y") == "30.12.99");
    CHECK(formatOleDate(date(-0.9999999), "%d.%m.%y") == "31.12.99");
    CHECK(formatOleDate(date(-1.9999999), "%H%M") == "0000");
    CHECK(formatOleDate(makeOleDate(1899, 12, 29, 6, 0, 0), "%Y-%m-%d %H%M") == "1899-12-29 0600");
    CHECK(makeOleDate(1899, 12, 29, 6, 0, 0).value == doctest::Approx(-1.25));
}
