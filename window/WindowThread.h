#pragma once
// The body of the thread that runs the multiplier window.

#include <atomic>

namespace window {

// Makes the window, publishes it in CurrentWindow and runs it until it ends. Exit code
// 1 when a window was already there, else 0.
unsigned WindowThread();

// True from the start of a window thread until it has published its window or decided
// not to: the host's thread waits that short moment out before it decides anything.
extern std::atomic<bool> WindowThreadDeciding;

} // namespace window
