// The window thread's life as the host's thread sees it: starts, closes, the operator's
// close, and the guard against a second window.
#include "platform/SettingsFile.h"
#include "window/WindowControl.h"
#include "window/WindowThread.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

#include <atomic>

using namespace window_test;
namespace dlg = platform::dialog;

TEST_CASE("with no window nothing runs and nothing waits")
{
    window::closeWindowAndWait();
    CHECK_FALSE(window::isOpen());
    const auto start = Clock::now();
    window::scheduleRefresh(330);
    window::closeWindowAndWait();
    CHECK(msSince(start) < 20);
    CHECK(windowCount() == 0);
}

TEST_CASE("a start returns with the window up, a close takes it down")
{
    TempDir dir;
    setMultipliers({"T1"});
    window::startWindowThread();
    // Up, and addressable, but its first tick (400 ms) is still to come.
    CHECK(windowUp());
    CHECK(window::isOpen());
    CHECK(shown().empty());
    CHECK(windowCount() == 1);

    window::closeWindowAndWait();
    CHECK_FALSE(window::isOpen());
    CHECK_FALSE(windowUp());
    CHECK(windowCount() == 0);
}

TEST_CASE("a start on an open window closes it first: never two windows")
{
    TempDir dir;
    window::startWindowThread();
    REQUIRE(eventually(windowUp));
    const dlg::WindowHandle first = published();

    window::startWindowThread();
    CHECK(windowCount() <= 1);
    REQUIRE(eventually(windowUp));
    CHECK(published() != first);
    CHECK(windowCount() == 1);
    CHECK(mostAtOnce() == 1);

    // A window thread that finds a window ends at once and leaves that window alone.
    CHECK(window::WindowThread() == 1);
    CHECK(window::isOpen());
    CHECK(windowCount() == 1);
    window::closeWindowAndWait();
}

TEST_CASE("a close while the window is still being built takes effect once it is up")
{
    TempDir dir;
    for (int round = 0; round < 10; ++round) {
        window::startWindowThread();
        window::closeWindowAndWait();
        CHECK_FALSE(window::isOpen());
        CHECK(windowCount() == 0);
    }
    CHECK(mostAtOnce() == 1);
}

TEST_CASE("the operator closes the window with the close box, Esc or Enter")
{
    TempDir dir;
    for (int id : {dlg::kIdCancel, dlg::kIdOk}) {
        CAPTURE(id);
        window::startWindowThread();
        REQUIRE(eventually(windowUp));
        dlg::postMessage(published(), dlg::kCommand, dlg::makeCommand(id));
        CHECK(eventually([] { return !window::isOpen(); }));
        CHECK(windowCount() == 0);
        window::scheduleRefresh(330); // reaches nothing
        window::closeWindowAndWait(); // returns at once
    }
    window::startWindowThread(); // and a later start opens a new one
    CHECK(eventually(windowUp));
    window::closeWindowAndWait();
}

namespace {

// A window thread stuck in a handler, waiting for what the host's thread holds (as an
// unloading host holds the loader's lock) until the host's thread gets past its close
// request, which shows as the first sleep of its poll; or for 3 s, so that a close that
// waits for it shows as slow instead of hanging the tests.
std::atomic<bool> windowStuck{false};
std::atomic<bool> hostWentOn{false};

bool stuckWrite(const char* file, const char* section, const char* key, const char* value)
{
    windowStuck = true;
    const auto start = Clock::now();
    while (!hostWentOn.load() && msSince(start) < 3000)
        platform::defaultOps().sleepMs(1);
    return platform::defaultOps().profileWrite(file, section, key, value);
}

void sleepGoingOn(unsigned milliseconds)
{
    hostWentOn = true;
    platform::defaultOps().sleepMs(milliseconds);
}

} // namespace

TEST_CASE("a close does not wait for a window thread that has stopped reading messages")
{
    TempDir dir;
    const platform::Ops saved = platform::ops();
    windowStuck = false;
    hostWentOn = false;
    window::startWindowThread();
    dragTo(published(), 200, 650); // so that the pointer's pass writes
    platform::ops().profileWrite = stuckWrite;
    dlg::postMessage(published(), dlg::kSetCursor);
    REQUIRE(eventually([] { return windowStuck.load(); }));

    platform::ops().sleepMs = sleepGoingOn;
    const auto start = Clock::now();
    window::closeWindowAndWait();
    const long long took = msSince(start);
    platform::ops() = saved;
    MESSAGE("close with the window thread stuck: " << took << " ms");
    CHECK(took < 1000);
    CHECK_FALSE(window::isOpen());
    CHECK(windowCount() == 0);
    CHECK(settings::read("member_y", "(missing)", 100) == "650"); // the write went on
}
