// The headless dialog backend: no display and no templates. A window is a record of
// control texts and lists, a queue of posted and sent messages, and timers, all driven
// by the loop of runModal on the dialog's own thread. After kInitDialog the platform's
// dialogAnswer entry stands in for the operator. Tests on other threads look at the
// controls and the position, and move the window, through the headless view of Dialog.h.
//
// Differences from Win32, by design: creation never fails; controls exist as soon as they
// are named (a missing control reads as empty rather than being absent); combo and list
// boxes keep entries in the order added (no sorted style); colours, icons and painting
// are recorded or ignored, never drawn.
#include "platform/Dialog.h"
#include "platform/DialogBackend.h"
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

using Clock = std::chrono::steady_clock;
constexpr auto kTimerMinimum = std::chrono::milliseconds(10); // as USER_TIMER_MINIMUM

struct Control {
    std::string text;
    std::vector<std::string> entries;
    int selection = -1;
    bool enabled = true;
    Rect rect;
};

struct Timer {
    unsigned id;
    Clock::duration period;
    Clock::time_point due;
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
    std::condition_variable wake;
    std::deque<Queued> queue;
    std::vector<Timer> timers;
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

// Waits for the next message: posted and sent ones first, then the earliest due timer.
Queued next(Window& w)
{
    std::unique_lock<std::mutex> guard(w.lock);
    for (;;) {
        if (!w.queue.empty()) {
            Queued q = std::move(w.queue.front());
            w.queue.pop_front();
            return q;
        }
        if (w.timers.empty()) {
            w.wake.wait(guard);
            continue;
        }
        auto earliest = std::min_element(w.timers.begin(), w.timers.end(),
                                         [](const Timer& a, const Timer& b) { return a.due < b.due; });
        const auto now = Clock::now();
        if (earliest->due <= now) {
            earliest->due = now + earliest->period;
            return Queued{Message{kTimer, earliest->id, 0}, nullptr};
        }
        w.wake.wait_until(guard, earliest->due);
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
    const Clock::duration period = std::max<Clock::duration>(std::chrono::milliseconds(milliseconds), kTimerMinimum);
    std::lock_guard<std::mutex> guard(w->lock);
    auto at = std::find_if(w->timers.begin(), w->timers.end(), [&](const Timer& t) { return t.id == timerId; });
    if (at == w->timers.end())
        at = w->timers.insert(w->timers.end(), Timer{timerId, period, {}});
    at->period = period;
    at->due = Clock::now() + period;
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
    for (const InitEntry& e : DialogBackend::headlessInitData(*this)) {
        if (e.comboBox)
            comboAdd(e.controlId, e.text);
        else
            listAdd(e.controlId, e.text);
    }
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
    }
    for (Queued& q : unanswered) {
        if (q.send)
            finish(*q.send, 0);
    }
    deliver(*this, Message{kNcDestroy, 0, 0});
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

bool Dialog::isItemEnabled(int controlId) const
{
    return onControl(*this, controlId, false, [](Control& c) { return c.enabled; });
}

void Dialog::enableItem(int controlId, bool enabled)
{
    changeControl(*this, controlId, [&](Control& c) { c.enabled = enabled; });
}

int Dialog::comboAdd(int controlId, const std::string& text)
{
    return onControl(*this, controlId, -1, [&](Control& c) {
        c.entries.push_back(text);
        return static_cast<int>(c.entries.size()) - 1;
    });
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

int Dialog::comboSelection(int controlId) const
{
    return onControl(*this, controlId, -1, [](Control& c) { return c.selection; });
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

int Dialog::listAdd(int controlId, const std::string& text) { return comboAdd(controlId, text); }

void Dialog::listClear(int controlId)
{
    changeControl(*this, controlId, [](Control& c) {
        c.entries.clear();
        c.selection = -1;
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

int Dialog::listCount(int controlId) const { return comboCount(controlId); }

std::string Dialog::listEntry(int controlId, int index) const { return comboEntry(controlId, index); }

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
Result sendAndWait(WindowHandle window, const Message& m, const Clock::duration* limit, bool* inTime)
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
    const Clock::duration limit = std::chrono::milliseconds(limitMs);
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
    std::shared_ptr<Window> w = find(window);
    if (!w)
        return {};
    std::lock_guard<std::mutex> guard(w->viewLock);
    const auto at = w->controls.find(controlId);
    return at == w->controls.end() ? std::vector<std::string>{} : at->second.entries;
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

} // namespace headless

} // namespace platform::dialog
