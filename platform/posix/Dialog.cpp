// The headless dialog backend: no display and no templates. A window is a record of
// control texts and lists, a queue of posted and sent messages, and timers, all driven
// by the loop of runModal on the dialog's own thread. After kInitDialog the platform's
// dialogAnswer entry stands in for the operator.
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
    std::thread::id thread = std::this_thread::get_id();
    Dialog* dialog = nullptr;

    // Shared with other threads, under lock.
    std::mutex lock;
    std::condition_variable wake;
    std::deque<Queued> queue;
    std::vector<Timer> timers;
    bool closed = false; // no more messages are accepted

    // The window's own thread only.
    std::map<int, Control> controls;
    Rect rect{0, 0, 200, 100};
    bool ended = false;
    Result endCode = 0;
};

std::mutex registryLock;
std::map<WindowHandle, std::shared_ptr<Window>> registry;
std::uintptr_t lastHandle = 0;

std::shared_ptr<Window> find(WindowHandle handle)
{
    std::lock_guard<std::mutex> guard(registryLock);
    const auto at = registry.find(handle);
    return at == registry.end() ? nullptr : at->second;
}

Window* windowOf(const Dialog& dialog) { return static_cast<Window*>(DialogBackend::state(dialog)); }

Control* control(const Dialog& dialog, int controlId)
{
    Window* w = windowOf(dialog);
    return w ? &w->controls[controlId] : nullptr;
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
    auto w = std::make_shared<Window>();
    w->dialog = this;
    WindowHandle handle;
    {
        std::lock_guard<std::mutex> guard(registryLock);
        handle = reinterpret_cast<WindowHandle>(++lastHandle); // never reused
        registry[handle] = w;
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
    const Control* c = control(*this, controlId);
    return c ? c->text : std::string();
}

void Dialog::setItemText(int controlId, const std::string& text)
{
    if (Control* c = control(*this, controlId))
        c->text = text;
}

bool Dialog::isItemEnabled(int controlId) const
{
    const Control* c = control(*this, controlId);
    return c && c->enabled;
}

void Dialog::enableItem(int controlId, bool enabled)
{
    if (Control* c = control(*this, controlId))
        c->enabled = enabled;
}

int Dialog::comboAdd(int controlId, const std::string& text)
{
    Control* c = control(*this, controlId);
    if (!c)
        return -1;
    c->entries.push_back(text);
    return static_cast<int>(c->entries.size()) - 1;
}

int Dialog::comboCount(int controlId) const
{
    const Control* c = control(*this, controlId);
    return c ? static_cast<int>(c->entries.size()) : 0;
}

std::string Dialog::comboEntry(int controlId, int index) const
{
    const Control* c = control(*this, controlId);
    if (!c || index < 0 || index >= static_cast<int>(c->entries.size()))
        return std::string();
    return c->entries[static_cast<std::size_t>(index)];
}

int Dialog::comboSelection(int controlId) const
{
    const Control* c = control(*this, controlId);
    return c ? c->selection : -1;
}

void Dialog::comboSelect(int controlId, int index)
{
    Control* c = control(*this, controlId);
    if (!c)
        return;
    if (index < 0 || index >= static_cast<int>(c->entries.size())) {
        c->selection = -1;
        c->text.clear();
        return;
    }
    c->selection = index;
    c->text = c->entries[static_cast<std::size_t>(index)];
}

int Dialog::listAdd(int controlId, const std::string& text) { return comboAdd(controlId, text); }

void Dialog::listClear(int controlId)
{
    if (Control* c = control(*this, controlId)) {
        c->entries.clear();
        c->selection = -1;
    }
}

void Dialog::listReplace(int controlId, const std::vector<std::string>& texts,
                         const std::string& prefix)
{
    if (Control* c = control(*this, controlId)) {
        c->entries.clear();
        c->entries.reserve(texts.size());
        for (const std::string& text : texts)
            c->entries.push_back(prefix + text);
        c->selection = -1;
    }
}

int Dialog::listCount(int controlId) const { return comboCount(controlId); }

std::string Dialog::listEntry(int controlId, int index) const { return comboEntry(controlId, index); }

Rect Dialog::windowRect() const
{
    const Window* w = windowOf(*this);
    return w ? w->rect : Rect{};
}

Rect Dialog::clientRect() const
{
    const Window* w = windowOf(*this);
    return w ? Rect{0, 0, w->rect.width(), w->rect.height()} : Rect{};
}

void Dialog::moveTo(int x, int y)
{
    if (Window* w = windowOf(*this)) {
        const Rect r = w->rect;
        w->rect = Rect{x, y, x + r.width(), y + r.height()};
    }
}

void Dialog::makeTopmost() {}

void Dialog::moveItem(int controlId, const Rect& rect, bool)
{
    if (Control* c = control(*this, controlId))
        c->rect = rect;
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

Result sendMessage(WindowHandle window, unsigned message, WParam wParam, LParam lParam)
{
    std::shared_ptr<Window> w = find(window);
    if (!w)
        return 0;
    const Message m{message, wParam, lParam};
    if (w->thread == std::this_thread::get_id())
        return deliver(*w->dialog, m);
    auto send = std::make_shared<SendState>();
    if (!enqueue(window, Queued{m, send}))
        return 0;
    std::unique_lock<std::mutex> guard(send->lock);
    send->done.wait(guard, [&] { return send->finished; });
    return send->result;
}

Brush createSolidBrush(Colour colour)
{
    return reinterpret_cast<Brush>(static_cast<std::uintptr_t>(colour) | 0x1000000u);
}

void deleteBrush(Brush) {}

} // namespace platform::dialog
