#include "window/MultiplierWindow.h"

#include "platform/SettingsFile.h"
#include "platform/WindowOps.h"
#include "resources/MultiplierWindowIds.h"
#include "scoring/StatsEngine.h"
#include "window/WindowAddress.h"
#include "window/WindowThread.h"

#include <atomic>
#include <string>
#include <vector>

using namespace platform::dialog;

namespace {

constexpr unsigned kFirstRefreshMs = 400;
constexpr int kDefaultX = 200;
constexpr int kDefaultY = 400;
constexpr int kListMargin = 5;
constexpr std::size_t kPositionBufferBytes = 12; // any decimal int and its terminator

// The position last read from or written to the settings file; outlives the windows.
// Window thread only.
struct {
    int x = 0;
    int y = 0;
} SavedPosition;

std::atomic<int> existingWindows{0};
std::atomic<int> mostWindowsAtOnce{0};

int readCoordinate(const char* key)
{
    return settings::parseDecimal(settings::read(key, "", kPositionBufferBytes));
}

} // namespace

const MessageEntry MultiplierWindow::kEntries[] = {
    onMessage<MultiplierWindow, &MultiplierWindow::refresh>(kTimer),
    onMessage<MultiplierWindow, &MultiplierWindow::savePosition>(kSetCursor),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorMessageBox),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorEdit),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorListBox),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorButton),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorDialog),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorScrollBar),
    onMessage<MultiplierWindow, &MultiplierWindow::colours>(kCtlColorStatic),
    onMessage<MultiplierWindow, &MultiplierWindow::layout>(kSize),
    onMessage<MultiplierWindow, &MultiplierWindow::rearmRefresh>(kRearmRefresh),
    onMessage<MultiplierWindow, &MultiplierWindow::describe>(kDescribe),
    onMessage<MultiplierWindow, &MultiplierWindow::destroying>(kDestroy),
    onMessage<MultiplierWindow, &MultiplierWindow::up>(kUp),
};
const MessageTable MultiplierWindow::kMessages = makeTable(&Dialog::kMessages, MultiplierWindow::kEntries);

MultiplierWindow::MultiplierWindow() : Dialog(IDD_MULTIPLIER_WINDOW) {}

MultiplierWindow::~MultiplierWindow() { deleteBrush(ListBrush); }

int MultiplierWindow::existing() { return existingWindows.load(); }
int MultiplierWindow::mostAtOnce() { return mostWindowsAtOnce.load(); }

bool MultiplierWindow::onInitDialog()
{
    Dialog::onInitDialog();
    counted_ = true;
    const int now = ++existingWindows;
    int most = mostWindowsAtOnce.load();
    while (now > most && !mostWindowsAtOnce.compare_exchange_weak(most, now)) {
    }

    SavedPosition.x = readCoordinate("member_x");
    SavedPosition.y = readCoordinate("member_y");
    if (SavedPosition.x == 0)
        SavedPosition.x = kDefaultX;
    if (SavedPosition.y == 0)
        SavedPosition.y = kDefaultY;
    moveTo(SavedPosition.x, SavedPosition.y);
    makeTopmost();
    ListBrush = createSolidBrush(kListBackground);
    scheduleRefresh(kFirstRefreshMs);
    setIcon(IDI_MULTIPLIER_WINDOW, true);
    showNow(*this);
    postMessage(kUp);
    return true;
}

Result MultiplierWindow::up(const Message&)
{
    // On screen and in its message loop: from here on the host's thread may address it.
    window::publishAddress(handle());
    window::windowIsUp();
    return 1;
}

void MultiplierWindow::scheduleRefresh(unsigned milliseconds)
{
    setTimer(kRefreshTimerId, milliseconds, TimerMode::Once);
}

Result MultiplierWindow::refresh(const Message&)
{
    // The timer is one-shot: the dialog layer has stopped it already.
    const MultiplierList& list = theEngine().multipliers;
    // A changed list, not only a longer or shorter one: a call that left the list while
    // another took its place must not stay on screen.
    if (list.generation() != shownGeneration_) {
        std::uint64_t generation = 0;
        const std::vector<std::string> calls = list.snapshot(&generation);
        shownGeneration_ = generation;
        ShownCount = static_cast<int>(calls.size());
        listReplace(IDC_MULTIPLIER_LIST, calls, " ");
    }
    invalidateItem(IDC_MULTIPLIER_LIST, false);
    return 0;
}

Result MultiplierWindow::savePosition(const Message&)
{
    const Rect r = windowRect();
    if (r.left != SavedPosition.x) {
        SavedPosition.x = r.left;
        settings::write("member_x", std::to_string(r.left));
    }
    if (r.top != SavedPosition.y) {
        SavedPosition.y = r.top;
        settings::write("member_y", std::to_string(r.top));
    }
    return 0; // the default cursor handling goes on
}

Result MultiplierWindow::colours(const Message& message)
{
    // The window's only list box is the multiplier list; the rest keeps the dialog's colours.
    if (message.id != kCtlColorListBox)
        return 0;
    defaultWindowHandling(message);
    return controlColours(message, 0x00000000, kListBackground, ListBrush);
}

Result MultiplierWindow::layout(const Message&)
{
    if (!hasItem(IDC_MULTIPLIER_LIST))
        return 0; // still being built
    const Rect client = clientRect();
    moveItem(IDC_MULTIPLIER_LIST,
             Rect{client.left + kListMargin, client.top + kListMargin,
                  client.right - kListMargin, client.bottom - kListMargin},
             true);
    return 0;
}

Result MultiplierWindow::rearmRefresh(const Message& message)
{
    scheduleRefresh(static_cast<unsigned>(message.wParam));
    return 1;
}

Result MultiplierWindow::describe(const Message& message)
{
    auto* view = reinterpret_cast<window::WindowView*>(message.lParam);
    if (!view)
        return 0;
    view->entries.clear();
    const int n = listCount(IDC_MULTIPLIER_LIST);
    for (int i = 0; i < n; ++i)
        view->entries.push_back(listEntry(IDC_MULTIPLIER_LIST, i));
    view->rect = windowRect();
    view->seen = true;
    return 1;
}

Result MultiplierWindow::destroying(const Message&)
{
    window::withdrawAddress();
    if (counted_) {
        counted_ = false;
        --existingWindows;
    }
    return 0;
}
