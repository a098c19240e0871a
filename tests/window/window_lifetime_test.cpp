// The window thread's life as the host's thread sees it: starts, closes, the operator's
// close, the guard against a second window, and the host that goes with its window open.
#include "platform/SettingsFile.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

#include <atomic>

using namespace window_test;
namespace dlg = platform::dialog;

TEST_CASE("with no window nothing runs and nothing waits")
{
    HostedList w;
    w.host.closeAndWait();
    CHECK_FALSE(w.host.isOpen());
    const auto start = Clock::now();
    w.host.scheduleRefresh(330);
    w.host.closeAndWait();
    CHECK(msSince(start) < 20);
    CHECK(windowCount() == 0);
}

TEST_CASE("a start returns with the window up, a close takes it down")
{
    TempDir dir;
    HostedList w;
    w.setMultipliers({"T1"});
    w.host.start();
    // Up, and addressable, but its first tick (400 ms) is still to come.
    CHECK(windowUp(w.host));
    CHECK(w.host.isOpen());
    CHECK(shown(w.host).empty());
    CHECK(windowCount() == 1);

    w.host.closeAndWait();
    CHECK_FALSE(w.host.isOpen());
    CHECK_FALSE(windowUp(w.host));
    CHECK(windowCount() == 0);
}

TEST_CASE("a host that goes closes its window first")
{
    TempDir dir;
    {
        HostedList w;
        w.setMultipliers({"T1"});
        w.host.start();
        REQUIRE(windowUp(w.host));
        w.host.scheduleRefresh(1); // a refresh pending as the host and its list go
    }
    CHECK(windowCount() == 0);
}

TEST_CASE("a start on an open window closes it first: never two windows")
{
    TempDir dir;
    HostedList w;
    w.host.start();
    REQUIRE(eventually([&] { return windowUp(w.host); }));
    const dlg::WindowHandle first = published(w.host);

    w.host.start();
    CHECK(windowCount() <= 1);
    REQUIRE(eventually([&] { return windowUp(w.host); }));
    CHECK(published(w.host) != first);
    CHECK(windowCount() == 1);
    CHECK(mostAtOnce() == 1);

    // A window thread that finds a window ends at once and leaves that window alone.
    CHECK(w.host.runWindow() == 1);
    CHECK(w.host.isOpen());
    CHECK(windowCount() == 1);
    w.host.closeAndWait();
}

TEST_CASE("a close while the window is still being built takes effect once it is up")
{
    TempDir dir;
    HostedList w;
    for (int round = 0; round < 10; ++round) {
        w.host.start();
        w.host.closeAndWait();
        CHECK_FALSE(w.host.isOpen());
        CHECK(windowCount() == 0);
    }
    CHECK(mostAtOnce() == 1);
}

TEST_CASE("the operator closes the window with the close box, Esc or Enter")
{
    TempDir dir;
    HostedList w;
    for (int id : {dlg::kIdCancel, dlg::kIdOk}) {
        CAPTURE(id);
        w.host.start();
        REQUIRE(eventually([&] { return windowUp(w.host); }));
        dlg::postMessage(published(w.host), dlg::kCommand, dlg::makeCommand(id));
        CHECK(eventually([&] { return !w.host.isOpen(); }));
        CHECK(windowCount() == 0);
        w.host.scheduleRefresh(330); // reaches nothing
        w.host.closeAndWait(); // returns at once
    }
    w.host.start(); // and a later start opens a new one
    CHECK(eventually([&] { return windowUp(w.host); }));
    w.host.closeAndWait();
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
    HostedList w;
    const platform::Ops saved = platform::ops();
    windowStuck = false;
    hostWentOn = false;
    w.host.start();
    dragTo(published(w.host), 200, 650); // so that the pointer's pass writes
    platform::ops().profileWrite = stuckWrite;
    dlg::postMessage(published(w.host), dlg::kSetCursor);
    REQUIRE(eventually([] { return windowStuck.load(); }));

    platform::ops().sleepMs = sleepGoingOn;
    const auto start = Clock::now();
    w.host.closeAndWait();
    const long long took = msSince(start);
    platform::ops() = saved;
    MESSAGE("close with the window thread stuck: " << took << " ms");
    CHECK(took < 1000);
    CHECK_FALSE(w.host.isOpen());
    CHECK(windowCount() == 0);
    CHECK(settings::read("member_y", "(missing)", 100) == "650"); // the write went on
}
