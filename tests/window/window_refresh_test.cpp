// What the window shows and when: its first tick, re-arming from the host's thread, a
// changed list, and where it opens.
#include "platform/SettingsFile.h"
#include "window/MultiplierWindow.h"
#include "window/WindowControl.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

using namespace window_test;
using Entries = std::vector<std::string>;

namespace {

struct OpenWindow {
    OpenWindow() { open(); }
    explicit OpenWindow(Entries calls)
    {
        setMultipliers(std::move(calls));
        open();
    }
    void open()
    {
        window::startWindowThread();
        opened = Clock::now();
        REQUIRE(eventually(windowUp));
    }
    ~OpenWindow() { window::closeWindowAndWait(); }
    Clock::time_point opened;
};

bool shows(const Entries& entries, int limitMs = 2000)
{
    return eventually([&] { return shown() == entries; }, limitMs);
}

} // namespace

TEST_CASE("the first tick, 400 ms after opening, shows every call after a blank, in order")
{
    TempDir dir;
    OpenWindow w({"T1", "T2", "T3"});
    CHECK(shows({" T1", " T2", " T3"}));
    CHECK(msSince(w.opened) >= 350);

    SUBCASE("a list rebuilt with as many calls, one of them new, is shown as it is now")
    {
        setMultipliers({"T1", "T4", "T3"});
        window::scheduleRefresh(330);
        CHECK(shows({" T1", " T4", " T3"}));
    }
    SUBCASE("an emptied list empties the window")
    {
        setMultipliers({});
        window::scheduleRefresh(330);
        CHECK(shows({}));
    }
    SUBCASE("without a check the window keeps what it shows")
    {
        setMultipliers({"T9"});
        platform::ops().sleepMs(700);
        CHECK(shown() == Entries{" T1", " T2", " T3"});
    }
}

TEST_CASE("a burst of checks gives one refresh, 330 ms after the last")
{
    TempDir dir;
    OpenWindow w({"A"});
    REQUIRE(shows({" A"}));
    setMultipliers({"A", "B"});
    for (int i = 0; i < 8; ++i) {
        window::scheduleRefresh(330);
        platform::ops().sleepMs(100);
    }
    CHECK(shown() == Entries{" A"}); // every check restarted the countdown
    const auto last = Clock::now();
    window::scheduleRefresh(330);
    CHECK(shows({" A", " B"}));
    CHECK(msSince(last) >= 300);
}

TEST_CASE("a new window shows the list at its first tick, whatever the last one showed")
{
    TempDir dir;
    {
        OpenWindow w({"X1", "X2"});
        REQUIRE(shows({" X1", " X2"}));
    }
    OpenWindow w; // the list is unchanged since the last window showed it
    setMultipliers({"X1", "X2"});
    CHECK(shows({" X1", " X2"}));
}

TEST_CASE("where the window opens, and what a pointer over it writes")
{
    TempDir dir;
    auto openedAt = [] {
        OpenWindow w;
        return topLeft();
    };
    CHECK(openedAt() == std::make_pair(200, 400)); // no settings file

    settings::write("member_x", "0"); // saved at the left screen edge: unset
    settings::write("member_y", "-1200x");
    CHECK(openedAt() == std::make_pair(200, -1200));

    writeFileBytes(dir.settingsPath(), "[Settings]\r\nmember_x=350\r\n");
    {
        OpenWindow w;
        // The pointer over an unmoved window changes nothing: the default y is not written.
        pointerPasses(published());
    }
    CHECK(settings::read("member_x", "", 100) == "350");
    CHECK(settings::read("member_y", "(missing)", 100) == "(missing)");
}

TEST_CASE("a window dragged straight down: the pointer's next pass writes only member_y")
{
    TempDir dir;
    {
        OpenWindow w;
        dragTo(published(), 200, 650);
        pointerPasses(published());
        CHECK(settings::read("member_y", "(missing)", 100) == "650");
        CHECK(settings::read("member_x", "(missing)", 100) == "(missing)");

        // Dragged again, but closed before the pointer came by: that move is not kept.
        dragTo(published(), 320, 300);
    }
    OpenWindow w;
    CHECK(topLeft() == std::make_pair(200, 650));
}
