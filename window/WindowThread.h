#pragma once
// The body of the thread that runs the multiplier window.

#include <atomic>

namespace window {

// Makes the window, publishes it in CurrentWindow and runs it until it ends. Exit code
// 1 when a window was already there, else 0.
unsigned WindowThread();

// True from the start of a window thread until its window is up (on screen, its message
// loop running) or the thread has given up. The host's thread waits that out: a window
// still being built may need the loader's lock, which an unload holds while it waits.
extern std::atomic<bool> WindowThreadStarting;

// Called on the window thread once the window is up.
void windowIsUp();

} // namespace window
