// The window as the statistics reset and the tour check use it.
#include "platform/SettingsFile.h"
#include "window/MultiplierWindow.h"
#include "window/WindowControl.h"

#include "FakePlatform.h"
#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

using namespace window_test;

namespace {

void reset(int report = 0)
{
    pluginApp().resetStats(report, "RA3XYZ", makeOleDate(2026, 12, 7, 10, 0, 0),
                           makeOleDate(2026, 12, 7, 12, 0, 0), "");
}

std::string start() { return settings::read("Start", "(missing)", 100); }

QsoRecord qso(const char* call)
{
    QsoRecord r;
    r.call = r.multiplierKey = call;
    r.band = "80";
    r.mode = "CW";
    r.exchSent = r.exchReceived = "001";
    r.qsoTime = makeOleDate(2026, 12, 7, 10, 12, 0);
    return r;
}

} // namespace

TEST_CASE("resets open the window every other time and leave an open one alone")
{
    TempDir dir;
    FakePlatform fake;
    window::closeWindowAndWait();

    reset();
    CHECK(start() == "1");
    REQUIRE(eventually(windowUp));
    const auto first = published();

    reset(); // "1" stored: opens nothing, stores "0"; the open window stays
    CHECK(start() == "0");
    reset(); // "0" stored but a window is open: nothing opens, nothing is written
    CHECK(start() == "0");
    CHECK(published() == first);
    CHECK(windowCount() == 1);

    reset(1); // a report request never opens it
    CHECK(start() == "0");
    window::closeWindowAndWait();
    reset(1);
    CHECK_FALSE(window::isOpen());
    window::closeWindowAndWait();
}

TEST_CASE("a worked call reaches the open window through summary and check")
{
    TempDir dir;
    FakePlatform fake;
    window::closeWindowAndWait();
    reset();
    REQUIRE(eventually(windowUp));
    REQUIRE(eventually([] { return shown().empty(); }));
    platform::ops().sleepMs(450); // past the first tick

    pluginApp().addData(qso("UA1AAA"));
    pluginApp().addData(qso("UA2BBB"));
    pluginApp().getResult(nullptr);
    const auto checked = Clock::now();
    pluginApp().checkCall("UA3CCC", "CW", "80", nullptr);
    CHECK(eventually([] { return shown() == std::vector<std::string>{" UA1AAA", " UA2BBB"}; }, 1500));
    CHECK(msSince(checked) >= 300); // the check's countdown, not an earlier tick
    window::closeWindowAndWait();
}
