// The host's thread does everything it may do while the window refreshes: resets,
// summaries, checks, starts and the unload's close, in a random order; meanwhile an
// operator closes the window at random moments. Meant for ThreadSanitizer too; the round
// count comes from KORVANE_WINDOW_STRESS_ROUNDS (default: a short run).
#include "platform/SettingsFile.h"
#include "platform/Thread.h"
#include "plugin/PluginApp.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

#include <atomic>
#include <cstdlib>
#include <random>

using namespace window_test;

namespace {

#if defined(_WIN32)
// Real windows, and slow settings writes: more rounds of shorter bursts.
constexpr int kDefaultRounds = 100;
constexpr int kLongestBurst = 60;
#else
constexpr int kDefaultRounds = 150;
constexpr int kLongestBurst = 300;
#endif

int rounds()
{
    if (const char* text = std::getenv("KORVANE_WINDOW_STRESS_ROUNDS"))
        return std::atoi(text);
    return kDefaultRounds;
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

// The operator: presses the close button of whatever window of the host is up, now and
// then.
std::atomic<bool> operatorOnDuty{false};
std::atomic<int> operatorCloses{0};

unsigned closeAtRandom(void* host)
{
    const WindowHost& watched = *static_cast<const WindowHost*>(host);
    std::mt19937 random(77);
    while (operatorOnDuty.load()) {
        platform::ops().sleepMs(static_cast<unsigned>(random() % 40));
        if (platform::dialog::postMessage(published(watched), platform::dialog::kClose))
            ++operatorCloses;
    }
    return 0;
}

} // namespace

TEST_CASE("resets, summaries, checks, starts and unloads against a refreshing window and an operator")
{
    TempDir dir;
    PluginApp app;
    app.resetStats(0, "RA3XYZ", COleDateTime{}, COleDateTime{}, "");
    app.window.closeAndWait();

    operatorOnDuty = true;
    operatorCloses = 0;
    platform::Thread* operatorThread = platform::startThread(closeAtRandom, &app.window);
    REQUIRE(operatorThread != nullptr);

    std::mt19937 random(4242);
    const int total = rounds();
    int starts = 0, resets = 0, unloads = 0, summaries = 0;
    long long slowestUnload = 0;
    const auto began = Clock::now();
    for (int i = 0; i < total; ++i) {
        switch (random() % 10) {
        case 0:
            app.window.start();
            ++starts;
            CHECK(windowCount() <= 1);
            break;
        case 1: {
            // What the unload does: nothing is left behind, however early it came.
            const auto start = Clock::now();
            app.window.closeAndWait();
            slowestUnload = std::max(slowestUnload, msSince(start));
            ++unloads;
            CHECK_FALSE(app.window.isOpen());
            CHECK(windowCount() == 0);
            break;
        }
        case 2:
            settings::write("Start", "0"); // this reset opens the window unless one is open
            app.resetStats(0, "RA3XYZ", COleDateTime{}, COleDateTime{}, "");
            ++resets;
            CHECK(windowCount() <= 1);
            break;
        default: {
            // A burst of summaries long enough for the window to refresh in the middle,
            // with no request to the window in between.
            if (random() % 2)
                app.window.scheduleRefresh(1);
            else
                app.checkCall("UA1", "CW", "80", nullptr);
            const int burst = kLongestBurst / 6 + static_cast<int>(random() % (kLongestBurst * 5 / 6));
            for (int k = 0; k < burst; ++k) {
                const std::string call = "UA" + std::to_string(random() % 40);
                if (random() % 3)
                    app.addData(qso(call));
                else
                    app.removeData(call, "CW", "80", "001", "042");
                app.getResult(nullptr);
                ++summaries;
            }
        }
        }
    }
    operatorOnDuty = false;
    REQUIRE(eventually([&] { return !platform::isRunning(operatorThread); }));
    platform::waitUntilOutsideLibrary(operatorThread);
    platform::releaseThread(operatorThread);

    app.window.closeAndWait();
    CHECK_FALSE(app.window.isOpen());
    CHECK(windowCount() == 0);
    CHECK(mostAtOnce() == 1);
    MESSAGE("rounds " << total << " in " << msSince(began) << " ms: " << starts << " starts, "
                       << resets << " resets, " << unloads << " unloads (slowest " << slowestUnload
                       << " ms), " << summaries << " summaries, " << operatorCloses.load()
                       << " closes by the operator");
    CHECK(slowestUnload < 1000);
}
