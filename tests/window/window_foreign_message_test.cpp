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

// A window whose first tick has shown "A"; it closes as the host goes.
struct OpenWindowShowingA : HostedList {
    OpenWindowShowingA()
    {
        setMultipliers({"A"});
        host.start();
        REQUIRE(eventually([&] { return windowUp(host); }));
        REQUIRE(eventually([&] { return shown(host) == Entries{" A"}; }));
    }
    dlg::WindowHandle handle() const { return published(host); }
    bool showsWithin(const Entries& entries, int limitMs) const
    {
        return eventually([&] { return shown(host) == entries; }, limitMs);
    }
};

} // namespace

TEST_CASE("private messages with a bad pointer and a huge number leave the window working")
{
    TempDir dir;
    OpenWindowShowingA w;
    for (unsigned id = dlg::kPrivateFirst; id < dlg::kPrivateFirst + 8; ++id)
        dlg::postMessage(w.handle(), id, kHuge, kBadPointer);

    w.setMultipliers({"A", "B"});
    w.host.scheduleRefresh(330);
    CHECK(w.showsWithin({" A", " B"}, 2000));
    CHECK(windowCount() == 1);
}

TEST_CASE("a re-arm from elsewhere with a huge delay still refreshes within a second")
{
    TempDir dir;
    OpenWindowShowingA w;
    w.setMultipliers({"A", "B"});
    dlg::postMessage(w.handle(), MultiplierWindow::kRearmRefresh, kHuge, 0);
    CHECK(w.showsWithin({" A", " B"}, 1500));
}

TEST_CASE("a tick with another timer's id stops the pending refresh as its own tick would")
{
    TempDir dir;
    OpenWindowShowingA w;
    w.setMultipliers({"A", "B"});
    w.host.scheduleRefresh(330);
    dlg::postMessage(w.handle(), dlg::kTimer, 7, 0);
    REQUIRE(w.showsWithin({" A", " B"}, 1000));

    // The 330 ms countdown was stopped: without a new check nothing changes.
    w.setMultipliers({"A", "B", "C"});
    platform::ops().sleepMs(700);
    CHECK(shown(w.host) == Entries{" A", " B"});
}
