#include "window/MultiplierWindow.h"

#include "platform/SettingsFile.h"
#include "platform/WindowOps.h"
#include "resources/MultiplierWindowIds.h"
#include "window/MultiplierList.h"
#include "window/WindowHost.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace platform::dialog;

namespace {

constexpr unsigned kFirstRefreshMs = 400;
// Any program may post the re-arm message: its delay is held near what our own posts ask
// for (330 ms), so that no post can hold the refresh off for long, or spin it.
constexpr unsigned kShortestRearmMs = 10;
constexpr unsigned kLongestRearmMs = 1000;
constexpr int kDefaultX = 200;
constexpr int kDefaultY = 400;
constexpr int kListMargin = 5;
constexpr std::size_t kPositionBufferBytes = 12; // any decimal int and its terminator

int readCoordinate(const char* key)
{
    return settings::parseDecimal(settings::read(key, "", kPositionBufferBytes));
}

} // namespace

const MessageEntry MultiplierWindow::kEntries[] = {
    onMessage<MultiplierWindow, &MultiplierWindow::refresh>(kTimer),
    onMessage<MultiplierWindow, &MultiplierWindow::savePosition>(kSetCursor),
    // The window's only list box is the multiplier list; every other control keeps the
    // dialog's colours.
    onMessage<MultiplierWindow, &MultiplierWindow::listColours>(kCtlColorListBox),
    onMessage<MultiplierWindow, &MultiplierWindow::layout>(kSize),
    onMessage<MultiplierWindow, &MultiplierWindow::rearmRefresh>(kRearmRefresh),
    onMessage<MultiplierWindow, &MultiplierWindow::destroying>(kDestroy),
    onMessage<MultiplierWindow, &MultiplierWindow::up>(kUp),
};
const MessageTable MultiplierWindow::kMessages = makeTable(&Dialog::kMessages, MultiplierWindow::kEntries);

MultiplierWindow::MultiplierWindow(WindowHost& host) : Dialog(IDD_MULTIPLIER_WINDOW), host_(host) {}

MultiplierWindow::~MultiplierWindow() { deleteBrush(ListBrush); }

bool MultiplierWindow::onInitDialog()
{
    Dialog::onInitDialog();
    WindowHost::Position& saved = host_.savedPosition_;
    saved.x = readCoordinate(settings::key::kWindowX);
    saved.y = readCoordinate(settings::key::kWindowY);
    if (saved.x == 0)
        saved.x = kDefaultX;
    if (saved.y == 0)
        saved.y = kDefaultY;
    moveTo(saved.x, saved.y);
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
    host_.windowIsUp(handle()); // on screen and in its message loop
    return 1;
}

void MultiplierWindow::scheduleRefresh(unsigned milliseconds)
{
    setTimer(kRefreshTimerId, milliseconds);
}

Result MultiplierWindow::refresh(const Message&)
{
    // One-shot in effect. Whatever id the tick carries (any program may post one), the
    // refresh it causes is the one that RefreshTimer was armed for.
    killTimer(kRefreshTimerId);
    const MultiplierList& list = host_.list_;
    // A changed list, not only a longer or shorter one: a call that left the list while
    // another took its place must not stay on screen.
    if (list.generation() != shownGeneration_) {
        std::uint64_t generation = 0;
        const std::vector<std::string> calls = list.snapshot(&generation);
        shownGeneration_ = generation;
        listReplace(IDC_MULTIPLIER_LIST, calls, " ");
    }
    invalidateItem(IDC_MULTIPLIER_LIST, false);
    return 0;
}

Result MultiplierWindow::savePosition(const Message&)
{
    const Rect r = windowRect();
    WindowHost::Position& saved = host_.savedPosition_;
    if (r.left != saved.x) {
        saved.x = r.left;
        settings::write(settings::key::kWindowX, std::to_string(r.left));
    }
    if (r.top != saved.y) {
        saved.y = r.top;
        settings::write(settings::key::kWindowY, std::to_string(r.top));
    }
    return 0; // the default cursor handling goes on
}

Result MultiplierWindow::listColours(const Message& message)
{
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
    const WParam asked = std::clamp<WParam>(message.wParam, kShortestRearmMs, kLongestRearmMs);
    scheduleRefresh(static_cast<unsigned>(asked));
    return 1;
}

Result MultiplierWindow::destroying(const Message&)
{
    host_.windowIsGoing();
    return 0;
}
