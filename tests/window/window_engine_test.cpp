// The window as the application object's reset, summary and tour check use it.
#include "platform/SettingsFile.h"
#include "plugin/PluginApp.h"

#include "FakePlatform.h"
#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

using namespace window_test;

namespace {

void reset(PluginApp& app, int report = 0)
{
    app.resetStats(report, "RA3XYZ", makeOleDate(2026, 12, 7, 10, 0, 0),
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
    PluginApp app;

    reset(app);
    CHECK(start() == "1");
    REQUIRE(eventually([&] { return windowUp(app.window); }));
    const auto first = published(app.window);

    reset(app); // "1" stored: opens nothing, stores "0"; the open window stays
    CHECK(start() == "0");
    reset(app); // "0" stored but a window is open: nothing opens, nothing is written
    CHECK(start() == "0");
    CHECK(published(app.window) == first);
    CHECK(windowCount() == 1);

    reset(app, 1); // a report request never opens it
    CHECK(start() == "0");
    app.window.closeAndWait();
    reset(app, 1);
    CHECK_FALSE(app.window.isOpen());
    CHECK(windowCount() == 0);
}

TEST_CASE("a worked call reaches the open window through summary and check")
{
    TempDir dir;
    FakePlatform fake;
    FakePlatform::holdClock();
    PluginApp app;
    reset(app);
    REQUIRE(eventually([&] { return windowUp(app.window); }));
    pass(400); // past the first tick, which found the list empty
    CHECK(shown(app.window).empty());

    app.addData(qso("UA1AAA"));
    app.addData(qso("UA2BBB"));
    app.getResult(nullptr);
    app.checkCall("UA3CCC", "CW", "80", nullptr);
    passAlmost(330);
    CHECK(shown(app.window).empty()); // the check's countdown, not an earlier tick
    passTheRest();
    CHECK(eventually([&] { return shown(app.window) == std::vector<std::string>{" UA1AAA", " UA2BBB"}; }, 1500));
}
