// What the window shows and when: its first tick, re-arming from the host's thread, a
// changed list, and where it opens.
#include "platform/SettingsFile.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

using namespace window_test;
using Entries = std::vector<std::string>;

namespace {

// A window of the host, open for the length of a scope.
struct OpenWindow {
    explicit OpenWindow(HostedList& w) : host(w.host) { open(); }
    OpenWindow(HostedList& w, Entries calls) : host(w.host)
    {
        w.setMultipliers(std::move(calls));
        open();
    }
    void open()
    {
        host.start();
        REQUIRE(eventually([&] { return windowUp(host); }));
    }
    ~OpenWindow() { host.closeAndWait(); }
    WindowHost& host;
};

bool shows(const WindowHost& host, const Entries& entries, int limitMs = 2000)
{
    return eventually([&] { return shown(host) == entries; }, limitMs);
}

// The timers' clock held from before a window opens until after it has closed.
struct HeldClock {
    HeldClock() { FakePlatform::holdClock(); }
    FakePlatform fake;
};

} // namespace

TEST_CASE("the first tick, 400 ms after opening, shows every call after a blank, in order")
{
    TempDir dir;
    HeldClock clock;
    HostedList list;
    OpenWindow w(list, {"T1", "T2", "T3"});
    passAlmost(400);
    CHECK(shown(list.host).empty());
    passTheRest();
    CHECK(shows(list.host, {" T1", " T2", " T3"}));

    SUBCASE("a list rebuilt with as many calls, one of them new, is shown as it is now")
    {
        list.setMultipliers({"T1", "T4", "T3"});
        list.host.scheduleRefresh(330);
        pass(330);
        CHECK(shows(list.host, {" T1", " T4", " T3"}));
    }
    SUBCASE("an emptied list empties the window")
    {
        list.setMultipliers({});
        list.host.scheduleRefresh(330);
        pass(330);
        CHECK(shows(list.host, {}));
    }
    SUBCASE("without a check the window keeps what it shows")
    {
        list.setMultipliers({"T9"});
        pass(700);
        CHECK(shown(list.host) == Entries{" T1", " T2", " T3"});
    }
}

TEST_CASE("a burst of checks gives one refresh, 330 ms after the last")
{
    TempDir dir;
    HeldClock clock;
    HostedList list;
    OpenWindow w(list, {"A"});
    pass(400);
    REQUIRE(shows(list.host, {" A"}));
    list.setMultipliers({"A", "B"});
    for (int i = 0; i < 8; ++i) {
        list.host.scheduleRefresh(330);
        pass(100);
    }
    CHECK(shown(list.host) == Entries{" A"}); // every check restarted the countdown
    list.host.scheduleRefresh(330);
    passAlmost(330);
    CHECK(shown(list.host) == Entries{" A"});
    passTheRest();
    CHECK(shows(list.host, {" A", " B"}));
}

TEST_CASE("a new window shows the list at its first tick, whatever the last one showed")
{
    TempDir dir;
    HeldClock clock;
    HostedList list;
    {
        OpenWindow w(list, {"X1", "X2"});
        pass(400);
        REQUIRE(shows(list.host, {" X1", " X2"}));
    }
    OpenWindow w(list); // the list is unchanged since the last window showed it
    list.setMultipliers({"X1", "X2"});
    pass(400);
    CHECK(shows(list.host, {" X1", " X2"}));
}

TEST_CASE("where the window opens, and what a pointer over it writes")
{
    TempDir dir;
    HostedList list;
    auto openedAt = [&] {
        OpenWindow w(list);
        return topLeft(list.host);
    };
    CHECK(openedAt() == std::make_pair(200, 400)); // no settings file

    settings::write("member_x", "0"); // saved at the left screen edge: unset
    settings::write("member_y", "-1200x");
    CHECK(openedAt() == std::make_pair(200, -1200));

    writeFileBytes(dir.settingsPath(), "[Settings]\r\nmember_x=350\r\n");
    {
        OpenWindow w(list);
        // The pointer over an unmoved window changes nothing: the default y is not written.
        pointerPasses(published(list.host));
    }
    CHECK(settings::read("member_x", "", 100) == "350");
    CHECK(settings::read("member_y", "(missing)", 100) == "(missing)");
}

TEST_CASE("a window dragged straight down: the pointer's next pass writes only member_y")
{
    TempDir dir;
    HostedList list;
    {
        OpenWindow w(list);
        dragTo(published(list.host), 200, 650);
        pointerPasses(published(list.host));
        CHECK(settings::read("member_y", "(missing)", 100) == "650");
        CHECK(settings::read("member_x", "(missing)", 100) == "(missing)");

        // Dragged again, but closed before the pointer came by: that move is not kept.
        dragTo(published(list.host), 320, 300);
    }
    OpenWindow w(list);
    CHECK(topLeft(list.host) == std::make_pair(200, 650));
}
