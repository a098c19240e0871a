#include "tools/logs/ReadLoss.h"

#include <doctest/doctest.h>

#include <string>

using namespace korvane;

namespace {

ReadLog logOf(std::size_t read, std::size_t skipped, std::size_t remarks = 0)
{
    ReadLog log;
    log.qsos.resize(read);
    for (std::size_t i = 0; i < skipped; ++i)
        log.problems.push_back({10 + i, "bad line " + std::to_string(i + 1), true});
    for (std::size_t i = 0; i < remarks; ++i)
        log.problems.push_back({100 + i, "a remark", false});
    return log;
}

} // namespace

TEST_CASE("read loss: heavy when more than the allowed share of QSO records is skipped")
{
    struct Case {
        std::size_t read, skipped, remarks;
        double maxPercent;
        bool heavy;
    };
    const Case cases[] = {
        /* 1 */ {100, 0, 0, 0.0, false},  // nothing lost, nothing allowed
        /* 2 */ {19, 1, 0, 5.0, false},   // exactly 5 %: allowed
        /* 3 */ {18, 1, 0, 5.0, true},    // 5.3 %
        /* 4 */ {1000, 1, 0, 0.0, true},  // none allowed
        /* 5 */ {0, 9, 0, 100.0, false},  // all may go
        /* 6 */ {0, 9, 0, 99.0, true},
        /* 7 */ {10, 0, 5, 5.0, false},   // remarks on the file lose no record
        /* 8 */ {476, 1325, 0, 5.0, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        ++n;
        CAPTURE(n);
        const ReadLoss loss = readLoss(logOf(c.read, c.skipped, c.remarks), c.maxPercent);
        CHECK(loss.heavy == c.heavy);
        CHECK(loss.skipped == c.skipped);
        CHECK(loss.records == c.read + c.skipped);
    }
}

TEST_CASE("read loss: the report gives the count, the share and the first skipped lines")
{
    const ReadLog log = logOf(476, 1325, 1);
    const std::string text = lossReport("hk3rd.log", log, readLoss(log, 5.0), 5.0, 3);
    CHECK(text == "1325 of 1801 QSO records (73.6%) could not be read, more than the 5% allowed:\n"
                  "hk3rd.log:10: bad line 1 (record skipped)\n"
                  "hk3rd.log:11: bad line 2 (record skipped)\n"
                  "hk3rd.log:12: bad line 3 (record skipped)\n"
                  "  and 1322 more\n");
    const ReadLog few = logOf(1, 2);
    CHECK(lossReport("x", few, readLoss(few, 0.5), 0.5, 5) ==
          "2 of 3 QSO records (66.7%) could not be read, more than the 0.5% allowed:\n"
          "x:10: bad line 1 (record skipped)\nx:11: bad line 2 (record skipped)\n");
    // One more than is shown is still named.
    const ReadLog oneMore = logOf(0, 3);
    CHECK(lossReport("y", oneMore, readLoss(oneMore, 0.5), 0.5, 2) ==
          "3 of 3 QSO records (100%) could not be read, more than the 0.5% allowed:\n"
          "y:10: bad line 1 (record skipped)\ny:11: bad line 2 (record skipped)\n  and 1 more\n");
}
