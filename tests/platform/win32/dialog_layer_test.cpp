// The dialog layer's Win32 backend under Wine, with template 101 from Stats.dll: two modal
// dialogs on two threads at once, the owner rule, posted and sent messages from another
// thread, repeating and one-shot timers (the system's, paced by the dialog's own ticks:
// nothing here sleeps), and a template that does not exist.
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
    Probe() : Dialog(IDD_CABRILLO_SETUP), up(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Probe() override { CloseHandle(up); }
    std::atomic<WindowHandle> published{nullptr};
    HANDLE up; // set once published
    std::vector<unsigned> notes, ticks;
    DWORD thread = 0;
    HWND ownerSeen = nullptr;

    // The window's handle once it is up (at most a few seconds' wait), else null.
    WindowHandle waitUntilUp() const
    {
        return WaitForSingleObject(up, 10000) == WAIT_OBJECT_0 ? published.load() : nullptr;
    }

    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }
    bool onInitDialog() override
    {
        thread = GetCurrentThreadId();
        ownerSeen = GetWindow(static_cast<HWND>(handle()), GW_OWNER);
        published = handle();
        SetEvent(up);
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
        setTimer(7, 150);
        return 1;
    }
    Result onTimer(const Message& m)
    {
        const unsigned id = static_cast<unsigned>(m.wParam);
        ticks.push_back(id);
        if (id == 2 || id == 7) // one-shots: the handler kills them
            killTimer(id);
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
    const WindowHandle first = c.first->waitUntilUp();
    const WindowHandle second = c.second->waitUntilUp();
    // Both are open now, each in its own thread's loop.
    postMessage(second, kNote, 5);
    c.sent = sendMessage(first, kNote, 6);
    postMessage(second, kNote, 0);
    postMessage(first, kClose); // the close box: Cancel
    return 0;
}

// Paced by its own repeating timer 1 (40 ms): on its first three ticks it asks for the
// one-shot timer 7 (150 ms) again, each time while 7 is still pending; once 7 has ticked
// it ends after five more ticks of 1, longer than 7's period.
class Paced : public Probe {
public:
    static const MessageTable kMessages;

protected:
    const MessageTable& messageTable() const override { return kMessages; }

private:
    Result onTick(const Message& m)
    {
        const unsigned id = static_cast<unsigned>(m.wParam);
        ticks.push_back(id);
        if (id == 2 || id == 7) // one-shots: the handler kills them
            killTimer(id);
        if (id == 7)
            ticksOfOneAtSeven_ = ticksOfOne_;
        if (id != 1)
            return 1;
        ++ticksOfOne_;
        if (ticksOfOne_ <= 3)
            postMessage(kArm);
        const bool sevenDone = ticksOfOneAtSeven_ >= 0 && ticksOfOne_ >= ticksOfOneAtSeven_ + 5;
        if (sevenDone || ticksOfOne_ >= kGiveUpTicks)
            endDialog(40);
        return 1;
    }
    static constexpr int kGiveUpTicks = 250; // 7 never ticked: the checks below tell
    int ticksOfOne_ = 0;
    int ticksOfOneAtSeven_ = -1;
    static const MessageEntry kEntries[];
};
const MessageEntry Paced::kEntries[] = {
    onMessage<Paced, &Paced::onTick>(kTimer),
};
const MessageTable Paced::kMessages = makeTable(&Probe::kMessages, Paced::kEntries);

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
        d.setTimer(2, 60); // one-shot
        d.setTimer(3, 50);
        d.killTimer(3); // none
    };
    Paced p;
    CHECK(p.runModal() == 40);
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
    platform::ops().dialogAnswer = [](Dialog& d) {
        const Colour background = 0x00C6FAFF;
        Brush brush = createSolidBrush(background);
        brushReturned = d.controlColours(Message{kCtlColorListBox, 0, 0}, 0x00000000, background, brush);
        CHECK(brushReturned == reinterpret_cast<Result>(brush));
        deleteBrush(brush);
        d.moveTo(40, 30);
        window = d.windowRect();
        client = d.clientRect();
        d.moveItem(IDC_LOCATION, Rect{5, 5, 105, 30}, true);
        CHECK(d.hasItem(IDC_LOCATION));
        CHECK_FALSE(d.hasItem(4321));
        CHECK(d.itemText(4321).empty());
        // The template's DLGINIT entries, through the layer and as the control has them.
        const HWND h = static_cast<HWND>(d.handle());
        CHECK(d.comboCount(IDC_CATEGORY_BAND) == 3);
        CHECK(d.comboEntry(IDC_CATEGORY_BAND, 1) == "160");
        CHECK(d.comboEntry(IDC_CATEGORY_BAND, 3).empty());
        CHECK(d.comboCount(4321) == 0);
        d.comboSelect(IDC_CATEGORY_BAND, 2);
        CHECK(d.itemText(IDC_CATEGORY_BAND) == "80");
        CHECK(SendDlgItemMessageA(h, IDC_CATEGORY_BAND, CB_GETCURSEL, 0, 0) == 2);
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
