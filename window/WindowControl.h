#pragma once
// What the rest of the plug-in may ask of the multiplier window. Each call is made on
// the host's thread; the window itself lives on a thread of its own.

namespace window {

// True while CurrentWindow is set (the window is opening, open or closing).
bool isOpen();

// Closes a window that is open, then starts a new window thread; returns at once.
void startWindowThread();

// Re-arms the window's refresh timer when a window exists; otherwise does nothing.
void scheduleRefresh(unsigned milliseconds);

// Asks the window to close and returns once CurrentWindow is empty.
void closeWindowAndWait();

} // namespace window
