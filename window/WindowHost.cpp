#include "window/WindowHost.h"

#include "platform/Platform.h"
#include "platform/Thread.h"
#include "window/MultiplierWindow.h"

#include <new>

namespace {

constexpr unsigned kCloseAnswerLimitMs = 100;
constexpr unsigned kClosePollMs = 20;

unsigned windowThread(void* host) { return static_cast<WindowHost*>(host)->runWindow(); }

} // namespace

WindowHost::WindowHost(const MultiplierList& list) : list_(list) {}

WindowHost::~WindowHost() { closeAndWait(); }

bool WindowHost::isOpen() const { return current_.load() != nullptr; }

void WindowHost::start()
{
    closeAndWait();
    starting_.store(true);
    thread_ = platform::startThread(windowThread, this);
    if (!thread_) {
        starting_.store(false);
        return;
    }
    // Building a window may need the loader's lock (Wine takes it for much of the window
    // system's set-up), so an unload must never find a window half built: the host's
    // thread, which alone can unload, goes on only once the window is up.
    waitForStartingThread();
}

void WindowHost::scheduleRefresh(unsigned milliseconds)
{
    if (current_.load())
        address_.post(MultiplierWindow::kRearmRefresh, milliseconds);
}

void WindowHost::closeAndWait()
{
    waitForStartingThread();
    if (current_.load()) {
        // The wait for an answer is bounded: a window thread that has left its loop but not
        // yet withdrawn its address may be waiting for the loader's lock, which an
        // unloading host holds; the poll takes over.
        address_.sendCloseWithin(kCloseAnswerLimitMs);
        while (current_.load() && platform::isRunning(thread_)) {
            platform::ops().sleepMs(kClosePollMs);
            address_.post(platform::dialog::kClose, 0);
        }
        // Ended without emptying it (the system stopped the thread): nothing is open.
        current_.store(nullptr);
    }
    if (thread_)
        forgetFinishedThread();
}

void WindowHost::abandon()
{
    // The stopped thread may have held the address's lock: it is not taken.
    current_.store(nullptr);
    starting_.store(false);
    thread_ = nullptr; // its handle goes with the process
}

unsigned WindowHost::runWindow()
{
    if (current_.load()) {
        starting_.store(false);
        return 1;
    }
    MultiplierWindow* made = new (std::nothrow) MultiplierWindow(*this);
    MultiplierWindow* none = nullptr;
    // The test above and this exchange keep a second window out even if two threads
    // ever raced here.
    if (!made || !current_.compare_exchange_strong(none, made)) {
        starting_.store(false);
        const unsigned exitCode = made ? 1 : 0; // another window was there; else no memory
        delete made;
        return exitCode;
    }
    made->runModal(); // its end code is not used
    starting_.store(false); // in case the window never came up
    delete made;
    current_.store(nullptr); // from here on the host may go: nothing of it is touched
    return 0;
}

void WindowHost::windowIsUp(platform::dialog::WindowHandle window)
{
    // From here on the host's thread may address the window.
    address_.publish(window);
    starting_.store(false);
}

void WindowHost::waitForStartingThread() const
{
    while (starting_.load() && platform::isRunning(thread_))
        platform::ops().sleepMs(1);
}

void WindowHost::forgetFinishedThread()
{
    platform::waitUntilOutsideLibrary(thread_);
    platform::releaseThread(thread_);
    thread_ = nullptr;
}
