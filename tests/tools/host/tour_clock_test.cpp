// The clock override for stand-in hosts, through the built plug-in.
#include "tools/host/StatsHost.h"

#include "TempDir.h"

#include <doctest/doctest.h>

#include <cstdlib>
#include <ctime>
#include <string>

TEST_CASE("SetTourClock0 moves the tour check's now, and a null date returns it")
{
    TempDir dir;
    writeFileBytes(dir.settingsPath(), "[Settings]\r\nStart=1\r\n"); // no multiplier window
    const char* path = std::getenv("KORVANE_PLUGIN");
    REQUIRE(path);
    host::StatsHost plugin;
    std::string error;
    REQUIRE_MESSAGE(plugin.load(path, host::NameKind::Plain, &error), error);
    auto setClock = reinterpret_cast<host::SetTourClockFn>(plugin.library().find(host::kSetTourClock));
    const bool exported = setClock != nullptr;
    REQUIRE(exported);

    const COleDateTime qsoTime = makeOleDate(2001, 5, 5, 3, 10, 0); // a tour long gone
    plugin.reset(0, "RK3AZ", qsoTime, qsoTime, "");
    host::Qso q;
    q.call = "UA1AA";
    q.band = "80";
    q.mode = "CW";
    q.time = qsoTime;
    plugin.add(q);

    struct Case {
        int hour, minute;
        int expected;
    };
    const Case cases[] = {
        /* 1 */ {3, 29, 0}, /* 2 */ {3, 0, 0}, /* 3 */ {3, 30, 1}, /* 4 */ {4, 10, 1},
    };
    int n = 0;
    for (const Case& c : cases) {
        CAPTURE(++n);
        COleDateTime now = makeOleDate(2026, 11, 21, c.hour, c.minute, 0);
        CHECK(setClock(&now) == 1);
        std::string message;
        CHECK(plugin.check("UA1AA", "CW", "80", &message) == c.expected);
        CHECK((c.expected == 0) == !message.empty());
    }

    COleDateTime invalid = makeOleDate(2026, 11, 21, 3, 10, 0);
    invalid.status = kOleInvalid;
    CHECK(setClock(&invalid) == 0);
    std::string message;
    CHECK(plugin.check("UA1AA", "CW", "80", &message) == 1); // still 04:10 from case 4

    // Back to the system clock: a QSO twelve hours from now is in no current tour.
    const std::time_t now = std::time(nullptr);
    const int awayHour = (std::gmtime(&now)->tm_hour + 12) % 24;
    q.call = "UA2BB";
    q.time = makeOleDate(2026, 11, 21, awayHour, 10, 0);
    plugin.add(q);
    CHECK(setClock(&q.time) == 1);
    CHECK(plugin.check("UA2BB", "CW", "80", &message) == 0);
    CHECK(setClock(nullptr) == 1);
    CHECK(plugin.check("UA2BB", "CW", "80", &message) == 1);
    plugin.unload();
}
