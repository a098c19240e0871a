// korvane tours: tours of the clock, the tally, the table; the score table read back.
#include "tools/logs/LogReplay.h"
#include "tools/output/ScoreTable.h"
#include "tools/output/MarkupText.h"
#include "tools/output/SvgChart.h"
#include "tools/output/TourTable.h"

#include <doctest/doctest.h>

using namespace korvane;

namespace {

LogQso qso(const char* call, const char* band, const char* mode, int day, int hour, int minute,
           int second = 0)
{
    LogQso q;
    q.call = call;
    q.band = band;
    q.mode = mode;
    q.time = makeOleDate(2026, 11, day, hour, minute, second);
    return q;
}

} // namespace

TEST_CASE("a tour is the half hour of the UTC clock; slots order across days")
{
    struct Case {
        int day, hour, minute, second;
        int tour;
    };
    const Case cases[] = {
        /* 1 */ {21, 15, 0, 0, 30},  /* 2 */ {21, 15, 29, 59, 30}, /* 3 */ {21, 15, 30, 0, 31},
        /* 4 */ {21, 0, 0, 0, 0},    /* 5 */ {21, 23, 59, 59, 47}, /* 6 */ {22, 0, 10, 0, 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        const auto slot = tourSlot(makeOleDate(2026, 11, c.day, c.hour, c.minute, c.second));
        REQUIRE(slot);
        CHECK(tourNumber(*slot) == c.tour);
        CHECK(formatOleDate(tourStart(*slot), "%d %H:%M") ==
              formatOleDate(makeOleDate(2026, 11, c.day, c.hour, c.minute < 30 ? 0 : 30, 0),
                            "%d %H:%M"));
    }
    // 23:59:59.7 is midnight to the plug-in, which rounds to the second: tour 0 of the 22nd.
    COleDateTime late = makeOleDate(2026, 11, 21, 23, 59, 59);
    late.value += 0.7 / 86400;
    CHECK(*tourSlot(late) == *tourSlot(makeOleDate(2026, 11, 22, 0, 0, 0)));
    CHECK(*tourSlot(makeOleDate(2026, 11, 22, 0, 0, 0)) ==
          *tourSlot(makeOleDate(2026, 11, 21, 23, 30, 0)) + 1);
    COleDateTime invalid;
    invalid.status = kOleInvalid;
    CHECK_FALSE(tourSlot(invalid).has_value());
}

TEST_CASE("the tally: bands in the plug-in's order, modes sorted, empty tours kept short")
{
    TourTally tally;
    const LogQso log[] = {
        qso("UA1AA", "80", "SSB", 21, 15, 1), qso("UA1AA", "80", "SSB", 21, 15, 20),
        qso("UA2BB", "160", "CW", 21, 15, 29), qso("UA3CC", "40", "CW", 21, 15, 31),
        // 16:00 to 16:59 empty, then a QSO
        qso("UA1AA", "160", "CW", 21, 17, 5),
        // a day later: the gap is not filled
        qso("UA4DD", "80", "CW", 22, 18, 10),
    };
    const int verdicts[] = {kNewCall, kRefused, kNewCall, kNewCall, kWorkedBefore, kNewCall};
    for (std::size_t i = 0; i < std::size(log); ++i)
        tally.count(log[i], verdicts[i]);
    const long first = *tourSlot(log[0].time);
    tally.setScore(first, 5);
    tally.setScore(first + 1, 7);
    tally.setScore(first + 4, 9);
    tally.setScore(*tourSlot(log[5].time), 11);

    const TourTable t = tally.finish({"160", "80"});
    CHECK(t.bands == std::vector<std::string>{"160", "80", "40"});
    CHECK(t.modes == std::vector<std::string>{"CW", "SSB"});
    REQUIRE(t.rows.size() == 6); // 15:00, 15:30, 16:00, 16:30 (empty), 17:00; 18:00 next day
    const int tours[] = {30, 31, 32, 33, 34, 36};
    const int totals[] = {3, 1, 0, 0, 1, 1};
    const int scores[] = {5, 7, 7, 7, 9, 11};
    for (std::size_t i = 0; i < t.rows.size(); ++i) {
        CAPTURE(i);
        CHECK(tourNumber(t.rows[i].slot) == tours[i]);
        CHECK(t.rows[i].total == totals[i]);
        CHECK(t.rows[i].score == scores[i]);
    }
    CHECK(t.rows[5].slot - t.rows[4].slot > TourTally::kLongestGapFilled);
    const TourRow& r = t.rows[0];
    CHECK(t.qsosIn(r, 0, 0) == 1); // 160 CW
    CHECK(t.qsosIn(r, 1, 1) == 2); // 80 SSB
    CHECK(t.bandTotal(r, 1) == 2);
    CHECK(t.modeTotal(r, 0) == 1);
    CHECK(r.newCalls == 2);
    CHECK(r.refused == 1);
    const TourRow sum = t.totals();
    CHECK(sum.total == 6);
    CHECK(sum.newCalls == 4);
    CHECK(sum.refused == 1);
    CHECK(sum.score == 11);
    CHECK_FALSE(t.oneDay());
}

TEST_CASE("the tours as text: one line per tour, a run of empty tours on one line")
{
    TourTally tally;
    tally.count(qso("UA1AA", "80", "CW", 21, 15, 1), kNewCall);
    tally.count(qso("UA2BB", "160", "SSB", 21, 15, 40), kNewCall);
    tally.count(qso("UA2BB", "160", "SSB", 21, 15, 41), kRefused);
    tally.count(qso("UA3CC", "80", "CW", 21, 18, 2), kNewCall);
    tally.setScore(*tourSlot(makeOleDate(2026, 11, 21, 15, 0, 0)), 2);
    tally.setScore(*tourSlot(makeOleDate(2026, 11, 21, 15, 30, 0)), 5);
    tally.setScore(*tourSlot(makeOleDate(2026, 11, 21, 18, 0, 0)), 7);
    CHECK(tourText(tally.finish({"160", "80"}), "RK3AZ") ==
          "Tours of RK3AZ, 2026-11-21 (half hours, UTC; QSOs by band, by mode, in all)\n"
          "Tour   UTC    160 m  80 m  CW  SSB  QSOs  New  Refused  Score\n"
          "30     15:00      0     1   1    0     1    1        0      2\n"
          "31     15:30      2     0   0    2     2    1        1      5\n"
          "32-35  16:00  no QSOs in 4 tours\n"
          "36     18:00      0     1   1    0     1    1        0      7\n"
          "-------------------------------------------------------------\n"
          "Total             2     2   2    2     4    3        1      7\n");
}

TEST_CASE("empty tours: a gap of a day is filled, a longer one is not; three in a row fold, two do not")
{
    struct Case {
        int day, hour, minute; // the second QSO; the first is at 21 15:00
        std::size_t rows;      // in the table
        const char* folded;    // in the text; nullptr: no run folded
    };
    const Case cases[] = {
        /* 1 */ {22, 15, 30, 50, "\n31-30+1  2026-11-21 15:30  no QSOs in 48 tours\n"}, // 48 empty tours
        /* 2 */ {22, 16, 0, 2, nullptr},                                                // 49: left out
        /* 3 */ {21, 17, 0, 5, "\n31-33  15:30  no QSOs in 3 tours\n"},
        /* 4 */ {21, 16, 30, 4, nullptr},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        TourTally tally;
        tally.count(qso("UA1AA", "80", "CW", 21, 15, 0), kNewCall);
        tally.count(qso("UA2BB", "80", "CW", c.day, c.hour, c.minute), kNewCall);
        const TourTable t = tally.finish({"80"});
        CHECK(t.rows.size() == c.rows);
        const std::string text = tourText(t, "RK3AZ");
        if (c.folded)
            CHECK_MESSAGE(text.find(c.folded) != std::string::npos, text);
        else
            CHECK_MESSAGE(text.find("no QSOs") == std::string::npos, text);
    }
    // A folded run across midnight says that it ends on the next day.
    TourTally night;
    night.count(qso("UA1AA", "80", "CW", 21, 23, 0), kNewCall);
    night.count(qso("UA2BB", "80", "CW", 22, 1, 0), kNewCall);
    const std::string text = tourText(night.finish({"80"}), "RK3AZ");
    CHECK_MESSAGE(text.find("\n47-1+1  2026-11-21 23:30  no QSOs in 3 tours\n") != std::string::npos, text);
}

TEST_CASE("the plug-in's score table read back")
{
    const std::string table = "\tKorvane 21.11.26 \r\n         Contestant: RK3AZ\r\n"
                              "Band\tQSOs\tPoints\tNew Call\r\n160\t 156\t 156\r\n80\t 158\t 158\r\n"
                              "Total\t 314\t 314\t   131\r\n\r\nScore: 314+131  = 445\r\n"
                              "korvane-stats, 2026";
    const auto s = parseScoreTable(table);
    REQUIRE(s);
    CHECK(s->title == "Korvane 21.11.26");
    CHECK(s->contestant == "RK3AZ");
    REQUIRE(s->bands.size() == 2);
    CHECK(s->bands[1].band == "80");
    CHECK(s->bands[1].qsos == 158);
    CHECK(s->bands[1].points == 158);
    CHECK(s->qsos == 314);
    CHECK(s->points == 314);
    CHECK(s->newCalls == 131);
    CHECK(s->score == 445);

    CHECK_FALSE(parseScoreTable("Band\tQSOs\tPoints\tNew Call\r\n80\t 1\t 1\r\n"));
    CHECK_FALSE(parseScoreTable("Band\tQSOs\tPoints\tNew Call\r\n80\t x\t 1\r\n"
                                "Total\t 1\t 1\t   1\r\n\r\nScore: 1+1  = 2\r\n"));
    CHECK_FALSE(parseScoreTable("Total\t 1\t 1\t   1\r\n\r\nScore: 1+1  = two\r\n"));
    CHECK_FALSE(parseScoreTable("Band\tQSOs\tPoints\tNew Call\r\n80\t 1\t 1\r\nTotal\t 1\t 1\t   1\r\n"));
    CHECK_FALSE(parseScoreTable("Total\t 1\t 1\t 1\t 1\r\n\r\nScore: 1+1  = 2\r\n"));
    CHECK_FALSE(parseScoreTable("Total\t 1\t 1\t 1\r\n\r\nScore: 1+1  = 12345678901\r\n"));
    // A score below zero is a number too.
    const auto negative = parseScoreTable("Total\t 1\t 1\t   0\r\n\r\nScore: 1+0-3  = -2\r\n");
    REQUIRE(negative);
    CHECK(negative->score == -2);

    // The band names and the New Call count come from the same reading, each as far as
    // its own line can be read.
    const std::string badBand = "Band\tQSOs\tPoints\tNew Call\r\n160\t 1\t 1\r\n80\t x\t 1\r\n"
                                "Total\t 2\t 2\t   2\r\n\r\nScore: 2+2  = 4\r\n";
    CHECK(tableBands(badBand) == std::vector<std::string>{"160", "80"});
    CHECK(tableNewCalls(badBand) == 2);
    CHECK(tableBands(table) == std::vector<std::string>{"160", "80"});
    CHECK(tableNewCalls(table) == 131);
    CHECK_FALSE(tableNewCalls("Band\tQSOs\tPoints\tNew Call\r\n80\t 1\t 1\r\n"));
    CHECK_FALSE(tableNewCalls("Total\t 1\t 1\t   many\r\n"));
    CHECK(tableBands("Total\t 1\t 1\t   1\r\n").empty());
}

TEST_CASE("the multiplier list wraps before a word that would pass the width")
{
    struct Case {
        std::size_t width;
        const char* indent;
        const char* text;
    };
    const Case cases[] = {
        /* 1 */ {9, "", "AAAA BBBB\n"},       /* 2 */ {8, "", "AAAA\nBBBB\n"},
        /* 3 */ {11, "  ", "  AAAA BBBB\n"},  /* 4 */ {10, "  ", "  AAAA\n  BBBB\n"},
        /* 5 */ {2, "", "AAAA\nBBBB\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        CHECK(wrapped({"AAAA", "BBBB"}, c.width, c.indent) == c.text);
    }
    CHECK(wrapped({}, 9, "  ").empty());
}

TEST_CASE("each multiplier is named with the band the plug-in counts it under")
{
    const std::vector<LogQso> log = {qso("UA1AA", "80", "CW", 21, 15, 0),
                                     qso("UA2BB", "160", "CW", 21, 15, 1),
                                     qso("UA1AA", "160", "SSB", 21, 15, 2),
                                     qso("UA", "80", "CW", 21, 15, 3)};
    const auto m = multipliersByBand(log, {"160", "80"}, "UA"); // the list filter
    REQUIRE(m.size() == 2);
    CHECK((m[0].call == "UA2BB" && m[0].band == "160"));
    CHECK((m[1].call == "UA1AA" && m[1].band == "160"));
    CHECK(multipliers(log, {"160", "80"}, "") ==
          std::vector<std::string>{"UA2BB", "UA1AA", "UA"});
}

TEST_CASE("chart helpers: round axis steps, text fit for XML")
{
    const std::pair<double, long> steps[] = {{0, 1},   {0.3, 1},  {1, 1},    {1.1, 2},
                                             {2, 2},   {2.5, 5},  {9.3, 10}, {11.2, 20},
                                             {74, 100}, {501, 1000}};
    for (const auto& valueAndStep : steps) {
        const double value = valueAndStep.first;
        CAPTURE(value);
        CHECK(niceStep(value) == valueAndStep.second);
    }
    CHECK(markupText("a<b>&\"c\"", Markup::Svg) == "a&lt;b&gt;&amp;&quot;c&quot;");
    CHECK(markupText(std::string("\x01\xFF", 2), Markup::Svg) == "?\xEF\xBF\xBD");
    CHECK(markupText("a\tb\r\nc", Markup::Svg) == "a\tb\r\nc"); // allowed in XML as they are

    TourTally one;
    one.count(qso("UA1AA", "80", "CW", 21, 15, 0), kNewCall);
    const std::string single = tourChartSvg(one.finish({"80"}), "RK3AZ", QsoRates{});
    CHECK(single.find(">1 QSOs in 1 tour, 1 calls,") != std::string::npos);
}
