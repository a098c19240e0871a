// Out of memory in the middle of an add, a remove or a clear: the log must be as it was,
// and stay usable. Every allocation the operation makes is failed in turn.
#include "FailingAllocations.h" // the one file of this program that includes it

#include "FakePlatform.h"
#include "LiteralSummary.h"
#include "plugin/PluginApp.h"
#include "scoring/Summary.h"
#include "scoring/TourCheck.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

QsoRecord qso(const char* call, const char* band, const char* mode, const char* key,
              int minute = 12)
{
    QsoRecord r;
    r.call = call;
    r.multiplierKey = key;
    r.band = band;
    r.mode = mode;
    r.rstSent = "599";
    r.rstReceived = "579";
    r.exchSent = "001";
    r.exchReceived = std::string("R") + call;
    r.freqKHz = 3512;
    r.qsoTime = makeOleDate(2026, 12, 7, 10, minute, 0);
    return r;
}

// What a log holds before the add under test; the first `count` of these.
const QsoRecord kEarlier[] = {
    qso("UA1AAA", "80", "CW", "UA1AAA"),  qso("UA2BBB", "160", "SSB", "UA2BBB", 40),
    qso("", "40", "CW", ""),              qso("UA3CCC", "80", "CW", ""),
    qso("UA1AAA", "160", "CW", "UA1AAA"), qso("UA4DDD", "80", "SSB", "UA4DDD", 35),
    qso("UA2BBB", "80", "SSB", "UA2BBB"), qso("UA1AAA", "80", "CW", "UA1AAA", 50),
};

// The engine's log and band list, and the same kept the plain way.
struct Run {
    FakePlatform fake;
    PluginApp engine;
    std::vector<QsoRecord> records;
    std::vector<std::string> bands;

    explicit Run(std::size_t earlier)
    {
        for (std::size_t i = 0; i < earlier; ++i)
            add(kEarlier[i]);
    }
    void add(const QsoRecord& r)
    {
        engine.addData(r);
        remember(r);
    }
    void remove(const std::string& call, const std::string& mode, const std::string& band)
    {
        CHECK(engine.removeData(call, mode, band, "x", "x") == 1);
        forget(call, mode, band);
    }
    // The plain list alone follows what the engine did.
    void remember(const QsoRecord& r)
    {
        records.push_back(r);
        if (std::find(bands.begin(), bands.end(), r.band) == bands.end())
            bands.push_back(r.band);
    }
    void forget(const std::string& call, const std::string& mode, const std::string& band)
    {
        const auto found = std::find_if(records.begin(), records.end(), [&](const QsoRecord& r) {
            return r.call == call && r.mode == mode && r.band == band;
        });
        if (found != records.end())
            records.erase(found);
    }

    // Everything the log holds, its interned ids included: a failed operation must
    // leave every one of them as it was.
    std::string describe() const
    {
        const QsoLog& log = engine.log;
        std::string out = "records " + std::to_string(log.size()) + ", keys " +
                          std::to_string(log.keys().size()) + ", epoch " +
                          std::to_string(log.epoch()) + "\n";
        for (std::size_t i = 0; i < log.size() && i < log.keys().size(); ++i) {
            const QsoRecord& r = log[i];
            const QsoLog::RecordKeys& k = log.keys()[i];
            out += r.call + "|" + r.multiplierKey + "|" + r.band + "|" + r.mode + "|" +
                   r.exchReceived + "|" + std::to_string(k.bandId) + "|" +
                   std::to_string(k.keyId) + "|" + std::to_string(k.hasCall) + "\n";
        }
        out += "texts:";
        for (std::size_t id = 0; id < log.multiplierKeyCount(); ++id)
            out += " " + log.multiplierKeyText(static_cast<std::uint32_t>(id));
        out += "\nbands " + std::to_string(log.bandIdCount()) + ":";
        for (const std::string& b : engine.bands.items())
            out += " " + b + "=" + std::to_string(log.bandId(b));
        return out;
    }

    // The log answers as the plain list does: records, bands, the tour check and the
    // summary with its multiplier list.
    void checkAgainstModel()
    {
        REQUIRE(engine.log.size() == records.size());
        for (std::size_t i = 0; i < records.size(); ++i) {
            CAPTURE(i);
            CHECK(engine.log[i].call == records[i].call);
            CHECK(engine.log[i].band == records[i].band);
            CHECK(engine.log[i].exchReceived == records[i].exchReceived);
        }
        CHECK(engine.bands.items() == bands);
        for (const QsoRecord& probe : kEarlier) {
            for (int minute : {12, 40}) {
                const CivilDateTime now{2026, 12, 7, 10, minute, 0};
                int expected = kNewCall;
                for (const QsoRecord& r : records) {
                    if (r.multiplierKey == probe.call)
                        expected = kWorkedBefore;
                }
                for (const QsoRecord& r : records) {
                    CivilDateTime t;
                    if (r.call == probe.call && r.band == probe.band && r.mode == probe.mode &&
                        breakDown(r.qsoTime, t) && (t.minute < 30) == (minute < 30))
                        expected = kRefused;
                }
                CHECK(checkTour(engine.log, probe.call, probe.band, probe.mode, now) == expected);
            }
        }
        ContestState state;
        state.listFilter = "UA";
        std::vector<std::string> literalBands = bands;
        const LiteralSummary expected = literalSummary(literalBands, records, state);
        const SummaryResult actual = buildSummary(engine.bands, engine.log, state);
        bands = literalBands; // both are sorted now
        CHECK(actual.text == expected.text);
        CHECK(multiplierTexts(engine.log, actual) == expected.multipliers);
    }
};

} // namespace

TEST_CASE("an add that runs out of memory at any allocation leaves the log as it was")
{
    struct Case {
        QsoRecord record;
        const char* what;
    };
    const Case cases[] = {
        /* 1 */ {qso("UA1AAA", "80", "CW", "UA1AAA"), "call, band and mode known"},
        /* 2 */ {qso("UA9ZZZ", "80", "CW", "UA9ZZZ"), "a new call"},
        /* 3 */ {qso("UA1AAA", "20", "CW", "UA1AAA"), "a new band"},
        /* 4 */ {qso("UA1AAA", "80", "FM", "UA1AAA"), "a new mode"},
        /* 5 */ {qso("UA9ZZZ", "10", "RTTY", "UA9ZZZ"), "everything new"},
        /* 6 */ {qso("UA9ZZZ", "80", "CW", "UA8YYY"), "a new call with another new key"},
        /* 7 */ {qso("UA1AAA", "80", "CW", "UA8YYY"), "a known call with a new key"},
        /* 8 */ {qso("", "6", "CW", ""), "no call, no key, a new band"},
        /* 9 */ {qso("UA9ZZZ", "80", "CW", ""), "a new call without a key"},
    };
    long failures = 0;
    // Logs of 4 and 8 records have their lists full, so the add must grow them.
    for (std::size_t earlier : {0u, 1u, 3u, 4u, 8u}) {
        for (std::size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
            CAPTURE(earlier);
            CAPTURE(c + 1);
            const std::string what = cases[c].what;
            CAPTURE(what);
            const QsoRecord& added = cases[c].record;
            for (long n = 1;; ++n) {
                CAPTURE(n);
                Run run(earlier);
                const std::string before = run.describe();
                bool threw = false;
                failing_allocations::failAt(n);
                try {
                    run.engine.addData(added);
                } catch (const std::bad_alloc&) {
                    threw = true;
                }
                const bool failed = failing_allocations::disarm();
                REQUIRE(failed == threw);
                if (failed) {
                    ++failures;
                    REQUIRE(run.describe() == before);
                    run.checkAgainstModel();
                    run.add(added); // now it goes in
                } else {
                    run.remember(added);
                }
                // Later adds, removes and summaries find every record where it belongs.
                run.checkAgainstModel();
                run.remove(added.call, added.mode, added.band);
                run.checkAgainstModel();
                run.add(qso("UA9ZZZ", "80", "CW", "UA9ZZZ", 45));
                if (earlier > 0)
                    run.remove(kEarlier[0].call, kEarlier[0].mode, kEarlier[0].band);
                run.remove("UA9ZZZ", "CW", "80");
                run.checkAgainstModel();
                if (!failed)
                    break;
            }
        }
    }
    CHECK(failures > 100); // the injection reached the log's own allocations
}

TEST_CASE("a remove or a clear that runs out of memory leaves the log as it was")
{
    struct Case {
        int what; // 0 remove, 1 clear
        const char* call;
        const char* mode;
        const char* band;
    };
    const Case cases[] = {
        /* 1 */ {0, "UA1AAA", "CW", "80"},  // the oldest of two
        /* 2 */ {0, "UA4DDD", "SSB", "80"}, // the only one of its call
        /* 3 */ {0, "", "CW", "40"},        // no call
        /* 4 */ {0, "UA9ZZZ", "CW", "80"},  // not in the log
        /* 5 */ {1, "", "", ""},
    };
    for (std::size_t c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        const Case& k = cases[c];
        CAPTURE(c + 1);
        for (long n = 1;; ++n) {
            CAPTURE(n);
            Run run(8);
            const std::string before = run.describe();
            failing_allocations::failAt(n);
            bool threw = false;
            try {
                if (k.what == 0)
                    run.engine.removeData(k.call, k.mode, k.band, "x", "x");
                else
                    run.engine.log.clear();
            } catch (const std::bad_alloc&) {
                threw = true;
            }
            const bool failed = failing_allocations::disarm();
            REQUIRE(failed == threw);
            if (failed) {
                REQUIRE(run.describe() == before);
                run.checkAgainstModel();
                continue;
            }
            if (k.what == 0) {
                run.forget(k.call, k.mode, k.band);
            } else {
                CHECK(run.engine.log.size() == 0);
                CHECK(run.engine.log.epoch() == 1);
                run.engine.bands.clear();
                run.records.clear();
                run.bands.clear();
            }
            run.checkAgainstModel();
            run.add(qso("UA1AAA", "80", "CW", "UA1AAA", 45));
            run.add(qso("UA9ZZZ", "20", "CW", "UA9ZZZ"));
            run.remove("UA1AAA", "CW", "80");
            run.checkAgainstModel();
            break;
        }
    }
}
