// Any program can post to the window: whatever a message carries, the window trusts no
// pointer in it, keeps its refresh timely, and refreshes only as armed.
#include "window/MultiplierWindow.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

using namespace window_test;
namespace dlg = platform::dialog;
using Entries = std::vector<std::string>;

namespace {

constexpr dlg::WParam kHuge = 0xFFFFFFFFu;
constexpr dlg::LParam kBadPointer = 0x10;

// A window whose first tick has shown "A", on the held clock; it closes as the fixture
// goes.
struct OpenWindowShowingA {
    OpenWindowShowingA()
    {
        FakePlatform::holdClock();
        w.setMultipliers({"A"});
        w.host.start();
        REQUIRE(eventually([&] { return windowUp(w.host); }));
        pass(400);
        REQUIRE(showsWithin({" A"}, 2000));
    }
    dlg::WindowHandle handle() const { return published(w.host); }
    bool showsWithin(const Entries& entries, int limitMs) const
    {
        return eventually([&] { return shown(w.host) == entries; }, limitMs);
    }
    FakePlatform fake;
    HostedList w;
};

} // namespace

TEST_CASE("private messages with a bad pointer and a huge number leave the window working")
{
    TempDir dir;
    OpenWindowShowingA a;
    for (unsigned id = dlg::kPrivateFirst; id < dlg::kPrivateFirst + 8; ++id)
        dlg::postMessage(a.handle(), id, kHuge, kBadPointer);

    a.w.setMultipliers({"A", "B"});
    a.w.host.scheduleRefresh(330);
    pass(330);
    CHECK(a.showsWithin({" A", " B"}, 2000));
    CHECK(windowCount() == 1);
}

TEST_CASE("a re-arm from elsewhere with a huge delay still refreshes within a second")
{
    TempDir dir;
    OpenWindowShowingA a;
    a.w.setMultipliers({"A", "B"});
    dlg::postMessage(a.handle(), MultiplierWindow::kRearmRefresh, kHuge, 0);
    passAlmost(1000);
    CHECK(shown(a.w.host) == Entries{" A"});
    passTheRest();
    CHECK(a.showsWithin({" A", " B"}, 500));
}

TEST_CASE("a tick with another timer's id stops the pending refresh as its own tick would")
{
    TempDir dir;
    OpenWindowShowingA a;
    a.w.setMultipliers({"A", "B"});
    a.w.host.scheduleRefresh(330);
    dlg::postMessage(a.handle(), dlg::kTimer, 7, 0);
    REQUIRE(a.showsWithin({" A", " B"}, 1000));

    // The 330 ms countdown was stopped: without a new check nothing changes.
    a.w.setMultipliers({"A", "B", "C"});
    pass(700);
    CHECK(shown(a.w.host) == Entries{" A", " B"});
}
