// The host's thread does everything it may do while the window refreshes: summaries,
// checks, starts and closes, in a random order. Meant for ThreadSanitizer too; the round
// count comes from KORVANE_WINDOW_STRESS_ROUNDS (default: a short run).
#include "window/MultiplierWindow.h"
#include "window/WindowControl.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <random>

using namespace window_test;

namespace {

int rounds()
{
    if (const char* text = std::getenv("KORVANE_WINDOW_STRESS_ROUNDS"))
        return std::atoi(text);
#if defined(_WIN32)
    return 20; // real windows, and slow settings writes
#else
    return 150;
#endif
}

QsoRecord qso(std::string call)
{
    QsoRecord r;
    r.call = call;
    r.multiplierKey = call;
    r.band = "80";
    r.mode = "CW";
    return r;
}

} // namespace

TEST_CASE("summaries, checks, starts and closes against a refreshing window")
{
    TempDir dir;
    StatsEngine& engine = theEngine();
    engine.resetStats(0, "RA3XYZ", COleDateTime{}, COleDateTime{}, "");
    window::closeWindowAndWait();

    std::mt19937 random(4242);
    const int total = rounds();
    int starts = 0, closes = 0, summaries = 0;
    for (int i = 0; i < total; ++i) {
        switch (random() % 8) {
        case 0:
            window::startWindowThread();
            ++starts;
            CHECK(MultiplierWindow::existing() <= 1);
            break;
        case 1:
            window::closeWindowAndWait();
            ++closes;
            // Nothing is left behind by a close, however early it came.
            CHECK_FALSE(window::isOpen());
            CHECK(MultiplierWindow::existing() == 0);
            break;
        default: {
            // A burst of summaries long enough for the window to refresh in the middle,
            // with no request to the window in between.
            if (random() % 2)
                window::scheduleRefresh(1);
            else
                engine.checkCall("UA1", "CW", "80", nullptr);
            const int burst = 50 + static_cast<int>(random() % 250);
            for (int k = 0; k < burst; ++k) {
                const std::string call = "UA" + std::to_string(random() % 40);
                if (random() % 3)
                    engine.addData(qso(call));
                else
                    engine.removeData(call, "CW", "80", "001", "042");
                engine.getResult(nullptr);
                ++summaries;
            }
        }
        }
    }
    window::closeWindowAndWait();
    CHECK_FALSE(window::isOpen());
    CHECK(MultiplierWindow::existing() == 0);
    CHECK(MultiplierWindow::mostAtOnce() == 1);
    MESSAGE("rounds " << total << ": " << starts << " starts, " << closes << " closes, "
                       << summaries << " summaries");
}
