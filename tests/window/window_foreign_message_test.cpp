// Any program can post to the window: whatever a message carries, the window trusts no
// pointer in it, keeps its refresh timely, and refreshes only as armed.
#include "window/MultiplierWindow.h"
#include "window/WindowControl.h"

#include "TempDir.h"
#include "window_test_support.h"

#include <doctest/doctest.h>

using namespace window_test;
namespace dlg = platform::dialog;
using Entries = std::vector<std::string>;

namespace {

constexpr dlg::WParam kHuge = 0xFFFFFFFFu;
constexpr dlg::LParam kBadPointer = 0x10;

// A window whose first tick has shown "A".
struct OpenWindowShowingA {
    OpenWindowShowingA()
    {
        setMultipliers({"A"});
        window::startWindowThread();
        REQUIRE(eventually(windowUp));
        REQUIRE(eventually([] { return shown() == Entries{" A"}; }));
    }
    ~OpenWindowShowingA() { window::closeWindowAndWait(); }
};

bool showsWithin(const Entries& entries, int limitMs)
{
    return eventually([&] { return shown() == entries; }, limitMs);
}

} // namespace

TEST_CASE("private messages with a bad pointer and a huge number leave the window working")
{
    TempDir dir;
    OpenWindowShowingA w;
    for (unsigned id = dlg::kPrivateFirst; id < dlg::kPrivateFirst + 8; ++id)
        dlg::postMessage(published(), id, kHuge, kBadPointer);

    setMultipliers({"A", "B"});
    window::scheduleRefresh(330);
    CHECK(showsWithin({" A", " B"}, 2000));
    CHECK(windowCount() == 1);
}

TEST_CASE("a re-arm from elsewhere with a huge delay still refreshes within a second")
{
    TempDir dir;
    OpenWindowShowingA w;
    setMultipliers({"A", "B"});
    dlg::postMessage(published(), MultiplierWindow::kRearmRefresh, kHuge, 0);
    CHECK(showsWithin({" A", " B"}, 1500));
}

TEST_CASE("a tick with another timer's id stops the pending refresh as its own tick would")
{
    TempDir dir;
    OpenWindowShowingA w;
    setMultipliers({"A", "B"});
    window::scheduleRefresh(330);
    dlg::postMessage(published(), dlg::kTimer, 7, 0);
    REQUIRE(showsWithin({" A", " B"}, 1000));

    // The 330 ms countdown was stopped: without a new check nothing changes.
    setMultipliers({"A", "B", "C"});
    platform::ops().sleepMs(700);
    CHECK(shown() == Entries{" A", " B"});
}
