// Unloading the plug-in while its window is open: the window closes first, its thread
// is gone when the unload returns, and the objects it reads outlive it.
#include "PluginUnderTest.h"
#include "TempDir.h"

#include "platform/Platform.h"

#include <algorithm>

#if defined(__linux__)
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {
int threadsOfThisProcess()
{
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        (void)entry;
        ++n;
    }
    return n;
}
} // namespace
#endif

TEST_CASE("unloading with the window open closes it first, 50 times over")
{
    TempDir dir;
    auto openWindow = [&](PluginUnderTest& p) {
        writeFileBytes(dir.settingsPath(), "[Settings]\r\nStart=0\r\n"); // the reset opens it
        p.reset(0, "RA3XYZ", kStart, kEnd, "");
    };
    {
        PluginUnderTest warmUp; // threads that the runtime starts once (sanitizers) come now
        openWindow(warmUp);
    }
#if defined(__linux__)
    const int baseline = threadsOfThisProcess();
#endif
    long long slowest = 0;
    for (int round = 0; round < 50; ++round) {
        CAPTURE(round);
        PluginUnderTest p;
        openWindow(p);
#if defined(__linux__)
        CHECK(threadsOfThisProcess() == baseline + 1); // the window's thread
#endif
        p.add(makeQso("UA1AAA", "80", "CW", utcNowOle()));
        p.result(nullptr);
        p.check("UA2BBB", "CW", "80", nullptr); // a refresh pending as the library goes
        if (round % 5 == 0)
            platform::ops().sleepMs(420); // past the first tick

        const auto start = std::chrono::steady_clock::now();
        p.unload();
        slowest = std::max<long long>(
            slowest, std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start).count());
#if defined(__linux__)
        CHECK(threadsOfThisProcess() == baseline); // joined before the unload returned
#endif
    }
    MESSAGE("slowest of 50 unloads with the window open: " << slowest << " ms");
    CHECK(slowest < 1000);
}

#if defined(__linux__)
TEST_CASE("a process that exits with the library loaded closes the window first")
{
    TempDir dir;
    const pid_t child = fork();
    REQUIRE(child >= 0);
    if (child == 0) {
        // The exit destroys the library's objects while its window may be refreshing.
        host::StatsHost h;
        if (!h.load(pluginPath(), host::NameKind::Plain, nullptr))
            std::_Exit(3);
        writeFileBytes(dir.settingsPath(), "[Settings]\r\nStart=0\r\n");
        h.reset(0, "RA3XYZ", kStart, kEnd, "");
        for (int i = 0; i < 200; ++i)
            h.add(makeQso(("UA" + std::to_string(i)).c_str(), "80", "CW", utcNowOle()));
        h.result(nullptr);
        platform::ops().sleepMs(399); // the first tick is due about now
        std::exit(0);
    }
    int status = 0;
    REQUIRE(waitpid(child, &status, 0) == child);
    CHECK(WIFEXITED(status));
    CHECK(WEXITSTATUS(status) == 0);
}
#endif
