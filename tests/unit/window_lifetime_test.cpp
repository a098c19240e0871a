// The window thread's life as the host's thread sees it: starts, closes, the operator's
// close, and the guard against a second window.
#include "window/MultiplierWindow.h"
#include "window/WindowControl.h"
#include "window/WindowThread.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

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
    CHECK(MultiplierWindow::existing() == 0);
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
    CHECK(MultiplierWindow::existing() == 1);

    window::closeWindowAndWait();
    CHECK_FALSE(window::isOpen());
    CHECK_FALSE(windowUp());
    CHECK(MultiplierWindow::existing() == 0);
}

TEST_CASE("a start on an open window closes it first: never two windows")
{
    TempDir dir;
    window::startWindowThread();
    REQUIRE(eventually(windowUp));
    const dlg::WindowHandle first = window::publishedAddress();

    window::startWindowThread();
    CHECK(MultiplierWindow::existing() <= 1);
    REQUIRE(eventually(windowUp));
    CHECK(window::publishedAddress() != first);
    CHECK(MultiplierWindow::existing() == 1);
    CHECK(MultiplierWindow::mostAtOnce() == 1);

    // A window thread that finds a window ends at once and leaves that window alone.
    CHECK(window::WindowThread() == 1);
    CHECK(window::isOpen());
    CHECK(MultiplierWindow::existing() == 1);
    window::closeWindowAndWait();
}

TEST_CASE("a close while the window is still being built takes effect once it is up")
{
    TempDir dir;
    for (int round = 0; round < 10; ++round) {
        window::startWindowThread();
        window::closeWindowAndWait();
        CHECK_FALSE(window::isOpen());
        CHECK(MultiplierWindow::existing() == 0);
    }
    CHECK(MultiplierWindow::mostAtOnce() == 1);
}

TEST_CASE("the operator closes the window with the close box, Esc or Enter")
{
    TempDir dir;
    for (int id : {dlg::kIdCancel, dlg::kIdOk}) {
        CAPTURE(id);
        window::startWindowThread();
        REQUIRE(eventually(windowUp));
        dlg::postMessage(window::publishedAddress(), dlg::kCommand, dlg::makeCommand(id));
        CHECK(eventually([] { return !window::isOpen(); }));
        CHECK(MultiplierWindow::existing() == 0);
        window::scheduleRefresh(330); // reaches nothing
        window::closeWindowAndWait(); // returns at once
    }
    window::startWindowThread(); // and a later start opens a new one
    CHECK(eventually(windowUp));
    window::closeWindowAndWait();
}
