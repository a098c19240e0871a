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

// A thread that has just started publishes its window or gives up within moments; what
// the host does next depends on which.
void settleStartingThread()
{
    while (WindowThreadDeciding.load() && platform::isRunning(lastThread))
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
    WindowThreadDeciding.store(true);
    lastThread = platform::startThread(WindowThread);
    if (!lastThread)
        WindowThreadDeciding.store(false);
}

void scheduleRefresh(unsigned milliseconds)
{
    if (CurrentWindow.load())
        postRefresh(milliseconds);
}

void closeWindowAndWait()
{
    settleStartingThread();
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
