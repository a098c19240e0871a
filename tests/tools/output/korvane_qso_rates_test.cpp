// korvane tours: the best rates, the clock hours and the off-times of a log.
#include "tools/output/QsoRates.h"
#include "tools/output/ScoreOutput.h"

#include <doctest/doctest.h>

#include <vector>

using namespace korvane;

namespace {

LogQso at(int day, int hour, int minute, int second = 0)
{
    LogQso q;
    q.call = "UA1AA";
    q.time = makeOleDate(2026, 11, day, hour, minute, second);
    return q;
}

std::string iso(EpochMinute minute) { return isoTime(oleTimeOf(minute * 60)); }

} // namespace

TEST_CASE("the best window starts at a QSO's minute and holds the minutes before its end")
{
    struct Case {
        const char* what;
        std::vector<LogQso> log;
        int qsos10;
        const char* start10;
        int qsos60;
    };
    const Case cases[] = {
        {"a QSO ten minutes after the start is in the next window",
         {at(21, 15, 0), at(21, 15, 9, 59), at(21, 15, 10)}, 2, "2026-11-21T15:00:00Z", 3},
        {"seconds do not move a QSO out of its minute",
         {at(21, 15, 0, 59), at(21, 15, 10, 0), at(21, 15, 1, 0)}, 2, "2026-11-21T15:00:00Z", 3},
        {"the earliest of equal windows; the file's order does not matter",
         {at(21, 17, 0), at(21, 17, 5), at(21, 15, 0), at(21, 15, 5)}, 2, "2026-11-21T15:00:00Z", 2},
        {"a window across midnight",
         {at(21, 23, 55), at(21, 23, 58), at(22, 0, 2), at(22, 0, 30)}, 3, "2026-11-21T23:55:00Z", 4},
        {"QSOs in one minute", {at(21, 16, 7), at(21, 16, 7), at(21, 16, 7)}, 3,
         "2026-11-21T16:07:00Z", 3},
    };
    for (const Case& c : cases) {
        CAPTURE(c.what);
        const QsoRates r = qsoRates(c.log);
        CHECK(r.best10.qsos == c.qsos10);
        CHECK(r.best10.perHour() == c.qsos10 * 6);
        CHECK(iso(r.best10.start) == c.start10);
        CHECK(r.best60.qsos == c.qsos60);
        CHECK(r.best60.perHour() == c.qsos60);
    }
    // Over several days the window's end gives its date only when it runs past midnight.
    CHECK(rateText(qsoRates(cases[3].log), false).find("3 QSOs 2026-11-21 23:55-2026-11-22 00:05)") !=
          std::string::npos);
    CHECK(rateText(qsoRates(cases[0].log), false).find("2 QSOs 2026-11-21 15:00-15:10)") !=
          std::string::npos);
}

TEST_CASE("clock hours, 10-minute counts and off-times of 30 minutes or more")
{
    COleDateTime undated;
    undated.status = kOleInvalid;
    LogQso lost;
    lost.time = undated;
    const std::vector<LogQso> log = {
        at(21, 15, 59, 59), // 30:00 after the one before: an off-time
        at(21, 15, 0), lost,
        at(21, 15, 29, 59), // 29:59 after the one before: none
        at(21, 16, 10, 0), at(21, 18, 40, 0),
    };
    const QsoRates r = qsoRates(log);
    std::vector<std::pair<std::string, int>> hours;
    for (const auto& [start, n] : r.perHour)
        hours.push_back({iso(start), n});
    CHECK(hours == std::vector<std::pair<std::string, int>>{{"2026-11-21T15:00:00Z", 3},
                                                            {"2026-11-21T16:00:00Z", 1},
                                                            {"2026-11-21T18:00:00Z", 1}});
    CHECK(r.perTenMinutes.size() == 5); // 15:00, 15:20, 15:50, 16:10, 18:40
    CHECK(r.perTenMinutes.at(r.perHour.begin()->first + 50) == 1);

    REQUIRE(r.offTimes.size() == 2);
    CHECK(isoTime(oleTimeOf(r.offTimes[0].from)) == "2026-11-21T15:29:59Z");
    CHECK(isoTime(oleTimeOf(r.offTimes[0].to)) == "2026-11-21T15:59:59Z");
    CHECK(r.offTimes[0].minutes() == 30);
    CHECK(r.offTimes[1].minutes() == 150);

    const std::string text = rateText(r, true);
    CHECK(text.find("  15:29:59 to 15:59:59  0 h 30 min\n") != std::string::npos);
    CHECK(text.find("  16:10:00 to 18:40:00  2 h 30 min\n") != std::string::npos);
    CHECK(text.find("  15:00 3, 16:00 1, 18:00 1\n") != std::string::npos);

    // Every rate row has the tours' width and says what it is.
    const std::string csv = rateCsvRows(r, 9);
    CHECK(csv.find("best_rate,,2026-11-21T15:00:00Z,2026-11-21T15:10:00Z,10,1,6,,\n") == 0);
    CHECK(csv.find("\nhour,,2026-11-21T18:00:00Z,2026-11-21T19:00:00Z,60,1,1,,\n") !=
          std::string::npos);
    CHECK(csv.find("\noff_time,,2026-11-21T16:10:00Z,2026-11-21T18:40:00Z,150,0,,,\n") !=
          std::string::npos);
}

TEST_CASE("a log without a dated QSO has no rates, and says nothing about them")
{
    const QsoRates r = qsoRates({});
    CHECK(r.best10.qsos == 0);
    CHECK(rateText(r, true).empty());
    JsonWriter json;
    json.beginObject();
    writeRatesJson(json, r);
    json.endObject();
    CHECK(json.str().find("\"best_10_minutes\": null") != std::string::npos);
    CHECK(rateCsvRows(r, 7).empty());
}
