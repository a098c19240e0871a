// The dialog layer's Win32 backend under Wine, with template 101 from Stats.dll: two modal
// dialogs on two threads at once, the owner rule, posted and sent messages from another
// thread, repeating and one-shot timers, and a template that does not exist.
#include "platform/Dialog.h"
#include "platform/win32/ModuleHandle.h"
#include "resources/SetupDialogIds.h"

#include "FakePlatform.h"

#include <doctest/doctest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

using namespace platform::dialog;

namespace {

constexpr unsigned kNote = kPrivateFirst + 1; // wParam: a number to log; 0 ends with 40
constexpr unsigned kArm = kPrivateFirst + 2;  // re-arms the one-shot timer 7

// Template 101 with a few entries of its own.
class Probe : public Dialog {
public:
    Probe() : Dialog(IDD_CABRILLO_SETUP) {}
    std::atomic<WindowHandle> published{nullptr};
    std::vector<unsigned> notes, ticks;
    DWORD thread = 0;
    HWND ownerSeen = nullptr;

    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }
    bool onInitDialog() override
    {
        thread = GetCurrentThreadId();
        ownerSeen = GetWindow(static_cast<HWND>(handle()), GW_OWNER);
        published = handle();
        return Dialog::onInitDialog();
    }

private:
    Result onNote(const Message& m)
    {
        notes.push_back(static_cast<unsigned>(m.wParam));
        if (m.wParam == 0)
            endDialog(40);
        return 1;
    }
    Result onArm(const Message&)
    {
        setTimer(7, 150, TimerMode::Once);
        return 1;
    }
    Result onTimer(const Message& m)
    {
        ticks.push_back(static_cast<unsigned>(m.wParam));
        return 1;
    }
    static const MessageEntry kEntries[];
};
const MessageEntry Probe::kEntries[] = {
    onMessage<Probe, &Probe::onNote>(kNote),
    onMessage<Probe, &Probe::onArm>(kArm),
    onMessage<Probe, &Probe::onTimer>(kTimer),
};
const MessageTable Probe::kMessages = makeTable(&Dialog::kMessages, Probe::kEntries);

struct PluginTemplates {
    PluginTemplates()
    {
        const char* path = std::getenv("KORVANE_PLUGIN");
        dll = path ? LoadLibraryA(path) : nullptr;
        REQUIRE(dll != nullptr);
        platform::win32::setModuleHandle(dll);
    }
    ~PluginTemplates()
    {
        platform::win32::setModuleHandle(nullptr);
        FreeLibrary(dll);
    }
    HMODULE dll;
};

void waitFor(const std::atomic<WindowHandle>& h)
{
    for (int i = 0; i < 500 && !h.load(); ++i)
        Sleep(10);
}

DWORD WINAPI runSecond(void* p)
{
    Probe& probe = *static_cast<Probe*>(p);
    return static_cast<DWORD>(probe.runModal());
}

struct Controller {
    Probe* first;
    Probe* second;
    Result sent = 0;
};

DWORD WINAPI control(void* p)
{
    Controller& c = *static_cast<Controller*>(p);
    waitFor(c.first->published);
    waitFor(c.second->published);
    // Both are open now, each in its own thread's loop.
    postMessage(c.second->published.load(), kNote, 5);
    c.sent = sendMessage(c.first->published.load(), kNote, 6);
    postMessage(c.second->published.load(), kNote, 0);
    postMessage(c.first->published.load(), kClose); // the close box: Cancel
    return 0;
}

// Postpones the one-shot timer 7 three times while it is pending, then ends the dialog.
DWORD WINAPI rearmThenStop(void* p)
{
    Probe& probe = *static_cast<Probe*>(p);
    waitFor(probe.published);
    const WindowHandle h = probe.published.load();
    for (int i = 0; i < 3; ++i) {
        Sleep(60);
        postMessage(h, kArm);
    }
    Sleep(600);
    postMessage(h, kNote, 0);
    return 0;
}

} // namespace

TEST_CASE("dialog layer under Wine: two modal dialogs on two threads at once")
{
    PluginTemplates templates;
    FakePlatform fake;
    Probe first, second;
    HANDLE other = CreateThread(nullptr, 0, runSecond, &second, 0, nullptr);
    Controller c{&first, &second};
    HANDLE controller = CreateThread(nullptr, 0, control, &c, 0, nullptr);
    REQUIRE(other);
    REQUIRE(controller);
    CHECK(first.runModal() == kIdCancel);
    REQUIRE(WaitForSingleObject(other, 10000) == WAIT_OBJECT_0);
    REQUIRE(WaitForSingleObject(controller, 10000) == WAIT_OBJECT_0);
    DWORD secondCode = 0;
    GetExitCodeThread(other, &secondCode);
    CloseHandle(other);
    CloseHandle(controller);
    CHECK(secondCode == 40);
    CHECK(c.sent == 1);
    CHECK(first.notes == std::vector<unsigned>{6});
    CHECK(second.notes == std::vector<unsigned>{5, 0});
    CHECK(first.thread == GetCurrentThreadId());
    CHECK(second.thread != first.thread);
    CHECK(first.handle() == nullptr); // detached once the window went
    CHECK_FALSE(postMessage(first.published.load(), kNote, 1));
    CHECK(sendMessage(first.published.load(), kNote, 1) == 0);
}

TEST_CASE("dialog layer under Wine: the calling thread's active window owns the dialog")
{
    PluginTemplates templates;
    FakePlatform fake;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KorvaneLayerOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                 200, 100, nullptr, nullptr, wc.hInstance, nullptr);
    SetActiveWindow(owner);
    static HWND ownerDuringRun;
    static BOOL enabledDuringRun;
    ownerDuringRun = owner;
    platform::ops().dialogAnswer = [](Dialog& d) {
        enabledDuringRun = IsWindowEnabled(ownerDuringRun);
        d.postMessage(kCommand, makeCommand(kIdOk));
    };
    Probe p;
    CHECK(p.runModal() == kIdOk);
    CHECK(p.ownerSeen == owner);
    CHECK_FALSE(enabledDuringRun);
    CHECK(IsWindowEnabled(owner));
    DestroyWindow(owner);

    // No active window on this thread: no owner.
    Probe q;
    CHECK(GetActiveWindow() == nullptr);
    CHECK(q.runModal() == kIdOk);
    CHECK(q.ownerSeen == nullptr);
}

TEST_CASE("dialog layer under Wine: timers, repeating and one-shot, re-armed by request")
{
    PluginTemplates templates;
    FakePlatform fake;
    platform::ops().dialogAnswer = [](Dialog& d) {
        d.setTimer(1, 40);                  // repeats
        d.setTimer(2, 60, TimerMode::Once); // one tick
        d.setTimer(3, 50);
        d.killTimer(3); // none
    };
    Probe p;
    HANDLE stopper = CreateThread(nullptr, 0, rearmThenStop, &p, 0, nullptr);
    CHECK(p.runModal() == 40);
    WaitForSingleObject(stopper, 10000);
    CloseHandle(stopper);
    auto count = [&](unsigned id) { return std::count(p.ticks.begin(), p.ticks.end(), id); };
    CHECK(count(1) >= 5);
    CHECK(count(2) == 1);
    CHECK(count(3) == 0);
    CHECK(count(7) == 1);
}

TEST_CASE("dialog layer under Wine: a template that does not exist gives kRunFailed")
{
    PluginTemplates templates;
    FakePlatform fake;
    class Missing : public Dialog {
    public:
        Missing() : Dialog(4321) {}
    } missing;
    CHECK(missing.runModal() == kRunFailed);
    CHECK(missing.handle() == nullptr);
}

TEST_CASE("dialog layer under Wine: controls, positions and colours through the layer")
{
    PluginTemplates templates;
    FakePlatform fake;
    static Result brushReturned;
    static Rect client, window;
    static std::string listed;
    platform::ops().dialogAnswer = [](Dialog& d) {
        Brush brush = createSolidBrush(rgb(255, 250, 198));
        brushReturned = d.controlColours(Message{kCtlColorEdit, 0, 0}, rgb(0, 0, 0), rgb(255, 250, 198), brush);
        CHECK(brushReturned == reinterpret_cast<Result>(brush));
        deleteBrush(brush);
        d.moveTo(40, 30);
        window = d.windowRect();
        client = d.clientRect();
        d.moveItem(IDC_LOCATION, Rect{5, 5, 105, 30}, true);
        CHECK(d.hasItem(IDC_LOCATION));
        CHECK_FALSE(d.hasItem(4321));
        CHECK(d.itemText(4321).empty());
        d.enableItem(IDC_CATEGORY_OVERLAY, true);
        CHECK(d.isItemEnabled(IDC_CATEGORY_OVERLAY));
        CHECK(d.comboAdd(IDC_CATEGORY_BAND, "40") == 3);
        d.comboSelect(IDC_CATEGORY_BAND, 3);
        CHECK(d.itemText(IDC_CATEGORY_BAND) == "40");
        CHECK_FALSE(d.setIcon(4321, true));
        d.makeTopmost();
        CHECK((GetWindowLongA(static_cast<HWND>(d.handle()), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
        d.postMessage(kCommand, makeCommand(kIdCancel));
    };
    Probe p;
    CHECK(p.runModal() == kIdCancel);
    CHECK(window.left == 40);
    CHECK(window.top == 30);
    CHECK(client.left == 0);
    CHECK(client.top == 0);
    CHECK(client.width() > 300);
    CHECK(client.height() > 300);
}
