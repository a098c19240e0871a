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
    return 150; // every start makes a real window
#else
    return 1500;
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
    int starts = 0, closes = 0;
    for (int i = 0; i < total; ++i) {
        switch (random() % 10) {
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
        case 2:
        case 3:
            engine.addData(qso("UA" + std::to_string(random() % 40)));
            break;
        case 4:
            engine.removeData("UA" + std::to_string(random() % 40), "CW", "80", "001", "042");
            break;
        case 5:
        case 6:
            engine.getResult(nullptr);
            break;
        case 7:
            engine.checkCall("UA1", "CW", "80", nullptr);
            break;
        default:
            window::scheduleRefresh(1); // a refresh as soon as the window can
            break;
        }
    }
    window::closeWindowAndWait();
    CHECK_FALSE(window::isOpen());
    CHECK(MultiplierWindow::existing() == 0);
    CHECK(MultiplierWindow::mostAtOnce() == 1);
    MESSAGE("rounds " << total << ", starts " << starts << ", closes " << closes);
}
