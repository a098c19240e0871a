#include "scoring/Summary.h"

#include "Golden.h"
#include "LiteralSummary.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <random>

namespace {

struct Log {
    QsoLog log;
    BandList bands;
    ContestState state;

    Log()
    {
        state.ownCall = "RA3XYZ";
        state.endDateText = "07.12.26";
    }
    void add(const char* call, const char* band)
    {
        QsoRecord r;
        r.call = r.multiplierKey = call;
        r.band = band;
        r.mode = "CW";
        bands.addIfNew(r.band);
        log.add(r);
    }
    SummaryResult run() { return buildSummary(bands, log, state); }
};

} // namespace

TEST_CASE("an empty log gives the heading, zero totals and no multipliers")
{
    Log l;
    const SummaryResult s = l.run();
    CHECK(golden::equalsFile(s.text, "score/empty-log.txt"));
    CHECK(s.score == 0);
    CHECK(s.multiplierKeyIds.empty());
}

TEST_CASE("one point per QSO, one more per distinct call, bands largest first")
{
    Log l;
    l.add("UA1AAA", "80");
    l.add("UA1AAA", "160");
    l.add("UA2BBB", "80");
    l.add("", "40"); // counts in the total's QSO number only
    const SummaryResult s = l.run();
    CHECK(golden::equalsFile(s.text, "score/three-bands.txt"));
    CHECK(s.score == 5);
    // Counted under the first band in sorted order where each call occurs.
    CHECK(multiplierTexts(l.log, s) == std::vector<std::string>{"UA1AAA", "UA2BBB"});
    CHECK(l.bands.items() == std::vector<std::string>{"160", "80", "40"});
}

TEST_CASE("a call equal to the list filter counts but is not listed")
{
    Log l;
    l.state.listFilter = "UA";
    l.add("UA", "80");
    l.add("UA1AAA", "80");
    const SummaryResult s = l.run();
    CHECK(s.score == 4);
    CHECK(multiplierTexts(l.log, s) == std::vector<std::string>{"UA1AAA"});
}

TEST_CASE("the order of the multiplier list follows bands, then the log")
{
    Log l;
    l.add("C3", "40");
    l.add("C1", "80");
    l.add("C2", "160");
    l.add("C1", "160");
    CHECK(multiplierTexts(l.log, l.run()) == std::vector<std::string>{"C2", "C1", "C3"});
}

TEST_CASE("mode codes")
{
    CHECK(std::string(cabrilloModeCode("CW")) == "CW");
    CHECK(std::string(cabrilloModeCode("SSB")) == "PH");
    CHECK(std::string(cabrilloModeCode("cw")) == "PM");
    CHECK(std::string(cabrilloModeCode("FM")) == "PM");
    CHECK(std::string(cabrilloModeCode("")) == "PM");
}

TEST_CASE("the one-pass summary gives the rescanning summary's bytes, through removals")
{
    std::mt19937 random(7);
    const char* calls[] = {"UA1A", "UA2B", "UA3C", "UA4D", "", "UA", "ua1a"};
    const char* bands[] = {"160", "80", "40", "080", "SAT", "12345678901234567890"};
    for (int round = 0; round < 200; ++round) {
        Log l;
        l.state.listFilter = round % 2 ? "UA" : "";
        std::vector<std::string> literalBands;
        const int steps = static_cast<int>(random() % 60);
        for (int s = 0; s < steps; ++s) {
            const char* call = calls[random() % 7];
            const char* band = bands[random() % 6];
            if (random() % 4 == 0) {
                l.log.removeFirst(call, "CW", band);
                continue;
            }
            l.add(call, band);
            if (std::find(literalBands.begin(), literalBands.end(), band) == literalBands.end())
                literalBands.push_back(band);
        }
        if (round % 3 == 0)
            l.run(); // a summary in between leaves the band list sorted
        std::vector<std::string> sortedBands = l.bands.items();
        const LiteralSummary expected = literalSummary(
            sortedBands, std::vector<QsoRecord>(l.log.records().begin(), l.log.records().end()),
            l.state);
        const SummaryResult actual = l.run();
        CAPTURE(round);
        REQUIRE(actual.text == expected.text);
        REQUIRE(actual.score == expected.score);
        REQUIRE(multiplierTexts(l.log, actual) == expected.multipliers);
    }
}

TEST_CASE("hundreds of bands: the multiplier list order survives ranks past a byte")
{
    // Ranks of 255 and more do not fit the small rank type; a call whose bands lie on
    // both sides of that line must still count under its first band in sorted order.
    std::mt19937 random(300);
    for (int bandCount : {254, 255, 256, 300}) {
        CAPTURE(bandCount);
        Log l;
        std::vector<std::string> literalBands;
        for (int q = 0; q < 1500; ++q) {
            const std::string band = std::to_string(1 + random() % bandCount);
            const std::string call = "UA" + std::to_string(random() % 40);
            l.add(call.c_str(), band.c_str());
            if (std::find(literalBands.begin(), literalBands.end(), band) == literalBands.end())
                literalBands.push_back(band);
        }
        // Every band used, and the first and last ranks share calls.
        for (int b = 1; b <= bandCount; ++b) {
            const std::string band = std::to_string(b);
            const std::string call = "UA" + std::to_string(b % 40);
            l.add(call.c_str(), band.c_str());
            if (std::find(literalBands.begin(), literalBands.end(), band) == literalBands.end())
                literalBands.push_back(band);
        }
        REQUIRE(l.bands.size() == static_cast<std::size_t>(bandCount));
        const LiteralSummary expected = literalSummary(
            literalBands, std::vector<QsoRecord>(l.log.records().begin(), l.log.records().end()),
            l.state);
        const SummaryResult actual = l.run();
        CHECK(actual.text == expected.text);
        CHECK(actual.score == expected.score);
        CHECK(multiplierTexts(l.log, actual) == expected.multipliers);
    }
}
