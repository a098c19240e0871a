// The headless dialog backend: no display and no templates. A window is a record of
// control texts and lists, a queue of posted and sent messages, and timers on the
// platform's monotonic clock, all driven by the loop of runModal on the dialog's own
// thread. After kInitDialog the platform's dialogAnswer entry stands in for the operator.
// Tests on other threads look at the controls and the position, move the window, and
// move a held clock, through its test seam (DialogTestSeam.h).
//
// Differences from Win32, by design: creation never fails; controls exist as soon as they
// are named (a missing control reads as empty rather than being absent); combo and list
// boxes keep entries in the order added (no sorted style); colours, icons and painting
// are recorded or ignored, never drawn.
#include "platform/Dialog.h"
#include "platform/DialogBackend.h"
#include "platform/DialogTestSeam.h"
#include "platform/Platform.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace platform::dialog {
namespace {

constexpr std::uint64_t kTimerMinimumMs = 10; // as USER_TIMER_MINIMUM

struct Control {
    std::string text;
    std::vector<std::string> entries;
    int selection = -1;
    Rect rect;
};

// Times on the platform's monotonic clock.
struct Timer {
    unsigned id;
    std::uint64_t periodMs;
    std::uint64_t dueMs;
};

// A sendMessage waiting for the window's thread.
struct SendState {
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    Result result = 0;
};

struct Queued {
    Message message;
    std::shared_ptr<SendState> send; // null for a posted message
};

struct Window {
    explicit Window(Dialog& d) : dialog(&d), templateId(d.templateId()) {}

    const std::thread::id thread = std::this_thread::get_id();
    Dialog* const dialog;
    const int templateId;

    // Shared with other threads, under lock.
    std::mutex lock;
    std::condition_variable wake;     // the loop: a message, a timer or the clock changed
    std::condition_variable settled;  // onlookers: idle or closed changed
    std::deque<Queued> queue;
    std::vector<Timer> timers;
    bool idle = false;   // waiting in the loop with nothing to do (see next)
    bool closed = false; // no more messages are accepted

    // What an onlooker sees: changed by the window's own thread (and rect by a test's move
    // too), read by any thread, under viewLock.
    std::mutex viewLock;
    std::map<int, Control> controls;
    Rect rect{0, 0, 200, 100};

    // The window's own thread only.
    bool ended = false;
    Result endCode = 0;
};

// Every window that exists, and per template the most that existed at once.
std::mutex registryLock;
std::map<WindowHandle, std::shared_ptr<Window>> registry;
std::map<int, int> mostAtOnce;
std::uintptr_t lastHandle = 0;

// Under registryLock.
int countOf(int templateId)
{
    return static_cast<int>(std::count_if(registry.begin(), registry.end(), [&](const auto& entry) {
        return entry.second->templateId == templateId;
    }));
}

std::shared_ptr<Window> find(WindowHandle handle)
{
    std::lock_guard<std::mutex> guard(registryLock);
    const auto at = registry.find(handle);
    return at == registry.end() ? nullptr : at->second;
}

std::vector<std::shared_ptr<Window>> allWindows()
{
    std::vector<std::shared_ptr<Window>> windows;
    std::lock_guard<std::mutex> guard(registryLock);
    windows.reserve(registry.size());
    for (const auto& entry : registry)
        windows.push_back(entry.second);
    return windows;
}

// fn(const Control&) on a window's control under its view lock; none when either is missing.
template <typename R, typename Fn>
R viewControl(WindowHandle window, int controlId, R none, Fn fn)
{
    std::shared_ptr<Window> w = find(window);
    if (!w)
        return none;
    std::lock_guard<std::mutex> guard(w->viewLock);
    const auto at = w->controls.find(controlId);
    return at == w->controls.end() ? none : fn(at->second);
}

Window* windowOf(const Dialog& dialog) { return static_cast<Window*>(DialogBackend::state(dialog)); }

// fn(Control&) on the dialog's control under the view lock; none without a window.
template <typename R, typename Fn>
R onControl(const Dialog& dialog, int controlId, R none, Fn fn)
{
    Window* w = windowOf(dialog);
    if (!w)
        return none;
    std::lock_guard<std::mutex> guard(w->viewLock);
    return fn(w->controls[controlId]);
}

template <typename Fn>
void changeControl(const Dialog& dialog, int controlId, Fn fn)
{
    onControl(dialog, controlId, 0, [&](Control& c) {
        fn(c);
        return 0;
    });
}

Rect rectOf(Window& w)
{
    std::lock_guard<std::mutex> guard(w.viewLock);
    return w.rect;
}

void setPosition(Window& w, int x, int y)
{
    std::lock_guard<std::mutex> guard(w.viewLock);
    w.rect = Rect{x, y, x + w.rect.width(), y + w.rect.height()};
}

void finish(SendState& send, Result result)
{
    std::lock_guard<std::mutex> guard(send.lock);
    send.finished = true;
    send.result = result;
    send.done.notify_all();
}

// Waits for the next message: posted and sent ones first, then the earliest due timer,
// which ticks once however long ago it fell due (as WM_TIMER). Idle while it waits.
Queued next(Window& w)
{
    std::unique_lock<std::mutex> guard(w.lock);
    for (;;) {
        if (!w.queue.empty()) {
            w.idle = false;
            Queued q = std::move(w.queue.front());
            w.queue.pop_front();
            return q;
        }
        const std::uint64_t now = ops().monotonicMs();
        const auto earliest = std::min_element(w.timers.begin(), w.timers.end(),
                                               [](const Timer& a, const Timer& b) { return a.dueMs < b.dueMs; });
        if (earliest != w.timers.end() && earliest->dueMs <= now) {
            w.idle = false;
            earliest->dueMs = now + earliest->periodMs;
            return Queued{Message{kTimer, earliest->id, 0}, nullptr};
        }
        if (!w.idle) {
            w.idle = true;
            w.settled.notify_all();
        }
        // Real time stands in for the clock's: a clock that is held wakes the loop when it
        // moves (clockMoved), and one that runs has moved by as much when the wait ends.
        if (earliest == w.timers.end())
            w.wake.wait(guard);
        else
            w.wake.wait_for(guard, std::chrono::milliseconds(earliest->dueMs - now));
    }
}

Result deliver(Dialog& dialog, const Message& message)
{
    Result result = 0;
    if (dialog.dispatch(message, result))
        return result;
    // The dialog manager's default handling: the close box means Cancel.
    if (message.id == kClose)
        deliver(dialog, Message{kCommand, makeCommand(kIdCancel), 0});
    return result;
}

bool enqueue(WindowHandle handle, Queued q)
{
    std::shared_ptr<Window> w = find(handle);
    if (!w)
        return false;
    std::lock_guard<std::mutex> guard(w->lock);
    if (w->closed)
        return false;
    w->queue.push_back(std::move(q));
    w->wake.notify_all();
    return true;
}

} // namespace

bool DialogBackend::startTimer(Dialog& dialog, unsigned timerId, unsigned milliseconds)
{
    Window* w = windowOf(dialog);
    if (!w)
        return false;
    const std::uint64_t period = std::max<std::uint64_t>(milliseconds, kTimerMinimumMs);
    std::lock_guard<std::mutex> guard(w->lock);
    auto at = std::find_if(w->timers.begin(), w->timers.end(), [&](const Timer& t) { return t.id == timerId; });
    if (at == w->timers.end())
        at = w->timers.insert(w->timers.end(), Timer{timerId, period, 0});
    at->periodMs = period;
    at->dueMs = ops().monotonicMs() + period;
    w->wake.notify_all();
    return true;
}

void DialogBackend::stopTimer(Dialog& dialog, unsigned timerId)
{
    if (Window* w = windowOf(dialog)) {
        std::lock_guard<std::mutex> guard(w->lock);
        w->timers.erase(std::remove_if(w->timers.begin(), w->timers.end(),
                                       [&](const Timer& t) { return t.id == timerId; }),
                        w->timers.end());
    }
}

Result Dialog::runModal()
{
    auto w = std::make_shared<Window>(*this);
    WindowHandle handle;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        handle = reinterpret_cast<WindowHandle>(++lastHandle); // never reused
        registry[handle] = w;
        mostAtOnce[templateId_] = std::max(mostAtOnce[templateId_], countOf(templateId_));
    }
    DialogBackend::attach(*this, handle, w.get());
    for (const InitEntry& e : DialogBackend::headlessInitData(*this))
        changeControl(*this, e.controlId, [&](Control& c) { c.entries.push_back(e.text); });
    deliver(*this, Message{kInitDialog, 0, 0});
    if (!w->ended && ops().dialogAnswer)
        ops().dialogAnswer(*this);
    while (!w->ended) {
        Queued q = next(*w);
        const Result result = deliver(*this, q.message);
        if (q.send)
            finish(*q.send, result);
    }
    deliver(*this, Message{kDestroy, 0, 0});
    std::deque<Queued> unanswered;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        registry.erase(handle);
    }
    {
        std::lock_guard<std::mutex> guard(w->lock);
        w->closed = true;
        unanswered.swap(w->queue);
        w->settled.notify_all();
    }
    for (Queued& q : unanswered) {
        if (q.send)
            finish(*q.send, 0);
    }
    DialogBackend::detach(*this);
    return w->endCode;
}

void Dialog::endDialog(Result code)
{
    if (Window* w = windowOf(*this)) {
        w->ended = true;
        w->endCode = code;
    }
}

bool Dialog::hasItem(int controlId) const { return windowOf(*this) != nullptr && controlId != 0; }

std::string Dialog::itemText(int controlId) const
{
    return onControl(*this, controlId, std::string(), [](Control& c) { return c.text; });
}

void Dialog::setItemText(int controlId, const std::string& text)
{
    changeControl(*this, controlId, [&](Control& c) { c.text = text; });
}

int Dialog::comboCount(int controlId) const
{
    return onControl(*this, controlId, 0, [](Control& c) { return static_cast<int>(c.entries.size()); });
}

std::string Dialog::comboEntry(int controlId, int index) const
{
    return onControl(*this, controlId, std::string(), [&](Control& c) {
        if (index < 0 || index >= static_cast<int>(c.entries.size()))
            return std::string();
        return c.entries[static_cast<std::size_t>(index)];
    });
}

void Dialog::comboSelect(int controlId, int index)
{
    changeControl(*this, controlId, [&](Control& c) {
        if (index < 0 || index >= static_cast<int>(c.entries.size())) {
            c.selection = -1;
            c.text.clear();
            return;
        }
        c.selection = index;
        c.text = c.entries[static_cast<std::size_t>(index)];
    });
}

void Dialog::listReplace(int controlId, const std::vector<std::string>& texts,
                         const std::string& prefix)
{
    std::vector<std::string> entries;
    entries.reserve(texts.size());
    for (const std::string& text : texts)
        entries.push_back(prefix + text);
    changeControl(*this, controlId, [&](Control& c) {
        c.entries.swap(entries);
        c.selection = -1;
    });
}

Rect Dialog::windowRect() const
{
    Window* w = windowOf(*this);
    return w ? rectOf(*w) : Rect{};
}

Rect Dialog::clientRect() const
{
    const Rect r = windowRect();
    return Rect{0, 0, r.width(), r.height()};
}

void Dialog::moveTo(int x, int y)
{
    if (Window* w = windowOf(*this))
        setPosition(*w, x, y);
}

void Dialog::makeTopmost() {}

void Dialog::moveItem(int controlId, const Rect& rect, bool)
{
    changeControl(*this, controlId, [&](Control& c) { c.rect = rect; });
}

void Dialog::invalidateItem(int, bool) {}

bool Dialog::setIcon(int, bool) { return windowOf(*this) != nullptr; }

Result Dialog::controlColours(const Message&, Colour, Colour, Brush brush)
{
    return reinterpret_cast<Result>(brush);
}

Result Dialog::defaultWindowHandling(const Message&) { return 0; }

bool postMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam)
{
    return enqueue(window, Queued{Message{message, wParam, lParam}, nullptr});
}

namespace {

// Sends m and waits for its answer, at most limit when one is given; *inTime tells which.
// A real wait of the sending thread: not on the platform's clock, which a test may hold.
Result sendAndWait(WindowHandle window, const Message& m, const std::chrono::milliseconds* limit,
                   bool* inTime)
{
    *inTime = false;
    std::shared_ptr<Window> w = find(window);
    if (!w)
        return 0;
    if (w->thread == std::this_thread::get_id()) {
        *inTime = true;
        return deliver(*w->dialog, m);
    }
    auto send = std::make_shared<SendState>();
    if (!enqueue(window, Queued{m, send}))
        return 0;
    std::unique_lock<std::mutex> guard(send->lock);
    const auto finished = [&] { return send->finished; };
    if (!limit) {
        send->done.wait(guard, finished);
        *inTime = true;
    } else {
        *inTime = send->done.wait_for(guard, *limit, finished);
    }
    return send->result;
}

} // namespace

Result sendMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam)
{
    bool inTime = false;
    return sendAndWait(window, Message{message, wParam, lParam}, nullptr, &inTime);
}

bool sendMessageWithin(WindowHandle window, unsigned message, unsigned limitMs, WParam wParam,
                       LParam lParam)
{
    const std::chrono::milliseconds limit(limitMs);
    bool inTime = false;
    sendAndWait(window, Message{message, wParam, lParam}, &limit, &inTime);
    return inTime;
}

Brush createSolidBrush(Colour colour)
{
    return reinterpret_cast<Brush>(static_cast<std::uintptr_t>(colour) | 0x1000000u);
}

void deleteBrush(Brush) {}

namespace headless {

bool windowRect(WindowHandle window, Rect& rect)
{
    std::shared_ptr<Window> w = find(window);
    if (w)
        rect = rectOf(*w);
    return w != nullptr;
}

std::vector<std::string> listEntries(WindowHandle window, int controlId)
{
    return viewControl(window, controlId, std::vector<std::string>{},
                       [](const Control& c) { return c.entries; });
}

int selectedEntry(WindowHandle window, int controlId)
{
    return viewControl(window, controlId, -1, [](const Control& c) { return c.selection; });
}

bool moveWindow(WindowHandle window, int x, int y)
{
    std::shared_ptr<Window> w = find(window);
    if (w)
        setPosition(*w, x, y);
    return w != nullptr;
}

int windowCount(int templateId)
{
    std::lock_guard<std::mutex> guard(registryLock);
    return countOf(templateId);
}

int mostWindowsAtOnce(int templateId)
{
    std::lock_guard<std::mutex> guard(registryLock);
    const auto at = mostAtOnce.find(templateId);
    return at == mostAtOnce.end() ? 0 : at->second;
}

WindowHandle newestWindow(int templateId)
{
    std::lock_guard<std::mutex> guard(registryLock);
    // Handles are handed out in increasing order, so the last match is the newest.
    for (auto at = registry.rbegin(); at != registry.rend(); ++at)
        if (at->second->templateId == templateId)
            return at->first;
    return nullptr;
}

void clockMoved()
{
    for (const std::shared_ptr<Window>& w : allWindows()) {
        std::lock_guard<std::mutex> guard(w->lock);
        w->idle = false; // until its loop has looked at the timers again
        w->wake.notify_all();
    }
}

bool waitUntilIdle(unsigned limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (const std::shared_ptr<Window>& w : allWindows()) {
        if (w->thread == std::this_thread::get_id())
            continue;
        std::unique_lock<std::mutex> guard(w->lock);
        const auto done = [&] { return w->closed || (w->idle && w->queue.empty()); };
        if (!w->settled.wait_until(guard, deadline, done))
            return false;
    }
    return true;
}

} // namespace headless

} // namespace platform::dialog
