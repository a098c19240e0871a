#include "window/WindowThread.h"

#include "window/CurrentWindow.h"
#include "window/MultiplierWindow.h"

#include <new>

namespace window {

std::atomic<MultiplierWindow*> CurrentWindow{nullptr};
std::atomic<bool> WindowThreadStarting{false};

void windowIsUp() { WindowThreadStarting.store(false); }

unsigned WindowThread()
{
    if (CurrentWindow.load()) {
        WindowThreadStarting.store(false);
        return 1;
    }
    MultiplierWindow* made = new (std::nothrow) MultiplierWindow;
    MultiplierWindow* none = nullptr;
    // The test above and this exchange keep a second window out even if two threads
    // ever raced here.
    if (!made || !CurrentWindow.compare_exchange_strong(none, made)) {
        WindowThreadStarting.store(false);
        const unsigned exitCode = made ? 1 : 0; // another window was there; else no memory
        delete made;
        return exitCode;
    }
    made->runModal(); // its end code is not used
    WindowThreadStarting.store(false); // in case the window never came up
    delete made;
    CurrentWindow.store(nullptr);
    return 0; // the thread ends right here, outside the plug-in's code
}

} // namespace window
