#include "window/WindowControl.h"

#include "platform/Platform.h"
#include "platform/Thread.h"
#include "window/CurrentWindow.h"
#include "window/WindowRequests.h"
#include "window/WindowThread.h"

namespace window {
namespace {

constexpr unsigned kClosePollMs = 20;

// The last window thread started; kept so that a wait notices a thread that is gone and
// an unload can make sure that the thread has left the plug-in's code. Host's thread only.
platform::Thread* lastThread = nullptr;

unsigned runWindowThread(void*) { return WindowThread(); }

// Until the window is up or its thread has given up.
void waitForStartingThread()
{
    while (WindowThreadStarting.load() && platform::isRunning(lastThread))
        platform::ops().sleepMs(1);
}

void forgetFinishedThread()
{
    platform::waitUntilOutsideLibrary(lastThread);
    platform::releaseThread(lastThread);
    lastThread = nullptr;
}

} // namespace

bool isOpen() { return CurrentWindow.load() != nullptr; }

void startWindowThread()
{
    closeWindowAndWait();
    WindowThreadStarting.store(true);
    lastThread = platform::startThread(runWindowThread, nullptr);
    if (!lastThread) {
        WindowThreadStarting.store(false);
        return;
    }
    // Building a window may need the loader's lock (Wine takes it for much of the window
    // system's set-up), so an unload must never find a window half built: the host's
    // thread, which alone can unload, goes on only once the window is up.
    waitForStartingThread();
}

void scheduleRefresh(unsigned milliseconds)
{
    if (CurrentWindow.load())
        postRefresh(milliseconds);
}

void closeWindowAndWait()
{
    waitForStartingThread();
    if (CurrentWindow.load()) {
        sendClose();
        while (CurrentWindow.load() && platform::isRunning(lastThread)) {
            platform::ops().sleepMs(kClosePollMs);
            postClose();
        }
        // Ended without emptying it (the system stopped the thread): nothing is open.
        CurrentWindow.store(nullptr);
    }
    if (lastThread)
        forgetFinishedThread();
}

} // namespace window
