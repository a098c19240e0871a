#include "scoring/TourCheck.h"

#include <doctest/doctest.h>

#include <random>

namespace {

// The tour rule as a plain scan of the log: the reference the index must agree with.
int checkByScan(const QsoLog& log, const std::string& call, const std::string& band,
                const std::string& mode, const CivilDateTime& now)
{
    for (const QsoRecord& r : log.records()) {
        CivilDateTime t;
        if (r.call == call && r.band == band && r.mode == mode && breakDown(r.qsoTime, t) &&
            t.hour == now.hour && (t.minute < 30) == (now.minute < 30))
            return kRefused;
    }
    for (const QsoRecord& r : log.records()) {
        if (r.multiplierKey == call)
            return kWorkedBefore;
    }
    return kNewCall;
}

} // namespace

TEST_CASE("the indexed tour check agrees with a scan through adds, removes and clears")
{
    std::mt19937 random(20261207);
    const char* calls[] = {"UA1A", "UA2B", "UA3C", "", "ua1a", "UA1A "};
    const char* bands[] = {"160", "80", "80 "};
    const char* modes[] = {"CW", "SSB"};
    auto pick = [&](auto& list) { return list[random() % (sizeof list / sizeof list[0])]; };

    QsoLog log;
    int checks = 0;
    for (int step = 0; step < 20000; ++step) {
        const unsigned what = random() % 100;
        if (what < 45) {
            QsoRecord r;
            r.call = r.multiplierKey = pick(calls);
            r.band = pick(bands);
            r.mode = pick(modes);
            r.qsoTime = makeOleDate(2026, 12, 1 + random() % 3, random() % 3 + 9, random() % 60, 0);
            if (random() % 20 == 0)
                r.qsoTime.status = kOleInvalid;
            log.add(r);
        } else if (what < 70) {
            const std::string call = pick(calls), band = pick(bands), mode = pick(modes);
            std::size_t expectedIndex = log.size();
            for (std::size_t i = 0; i < log.size(); ++i) {
                if (log[i].call == call && log[i].band == band && log[i].mode == mode) {
                    expectedIndex = i;
                    break;
                }
            }
            const bool present = expectedIndex < log.size();
            std::vector<QsoRecord> expected(log.records().begin(), log.records().end());
            if (present)
                expected.erase(expected.begin() + static_cast<long>(expectedIndex));
            CHECK(log.removeFirst(call, mode, band) == present);
            REQUIRE(log.size() == expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
                REQUIRE(log[i].call == expected[i].call);
                REQUIRE(log[i].qsoTime.value == expected[i].qsoTime.value);
            }
        } else if (what < 99) {
            const std::string call = pick(calls), band = pick(bands), mode = pick(modes);
            const CivilDateTime now{2026, 12, 7, static_cast<int>(random() % 3 + 9),
                                        static_cast<int>(random() % 60), 0};
            REQUIRE(checkTour(log, call, band, mode, now) == checkByScan(log, call, band, mode, now));
            ++checks;
        } else {
            log.clear();
        }
    }
    CHECK(checks > 5000);
}
