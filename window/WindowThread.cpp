#include "window/WindowThread.h"

#include "window/CurrentWindow.h"
#include "window/MultiplierWindow.h"

#include <new>

namespace window {

std::atomic<MultiplierWindow*> CurrentWindow{nullptr};
std::atomic<bool> WindowThreadDeciding{false};

unsigned WindowThread()
{
    if (CurrentWindow.load()) {
        WindowThreadDeciding.store(false);
        return 1;
    }
    MultiplierWindow* made = new (std::nothrow) MultiplierWindow;
    MultiplierWindow* none = nullptr;
    // The test above and this exchange keep a second window out even if two threads
    // ever raced here.
    const bool published = made && CurrentWindow.compare_exchange_strong(none, made);
    WindowThreadDeciding.store(false);
    if (!published) {
        delete made;
        return made ? 1 : 0;
    }
    made->runModal(); // its end code is not used
    delete made;
    CurrentWindow.store(nullptr);
    return 0; // the thread ends right here, outside the plug-in's code
}

} // namespace window
