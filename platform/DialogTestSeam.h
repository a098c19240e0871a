#pragma once
// A test seam of the headless dialog backend: what a screen and an operator give on
// Windows, for tests. Any thread may look at a window by its handle, and move it, while
// the window's own thread runs on. The Windows build has no such view (tests there ask
// the system), so nothing of it reaches the DLL.

#if defined(_WIN32)
#error "the headless dialog backend's test seam exists only off Windows"
#endif

#include "platform/Dialog.h"

#include <string>
#include <vector>

namespace platform::dialog {

namespace headless {

// The window's outer rectangle; false when no such window exists.
bool windowRect(WindowHandle window, Rect& rect);
// The entries of a list (or combo) box; empty when the window or the control is missing.
std::vector<std::string> listEntries(WindowHandle window, int controlId);
// The index of a combo box's selected entry; -1 when none is, or without such a control.
int selectedEntry(WindowHandle window, int controlId);
// Moves the window as the operator's drag would: its size is kept and the dialog is not
// told (no message), so it sees the move only when it next looks. False when it is gone.
bool moveWindow(WindowHandle window, int x, int y);
// The windows of a template that exist now (from their creation until their kDestroy
// has been handled), and the most that ever existed at once in this process.
int windowCount(int templateId);
int mostWindowsAtOnce(int templateId);
// The newest window of a template that exists now; null when there is none.
WindowHandle newestWindow(int templateId);

// For a monotonic clock that a test holds and moves (ops().monotonicMs): each window's
// loop waits for its next timer in real time, so it is told when the clock has moved and
// then looks at its timers again.
void clockMoved();
// Waits until every window is idle: in its loop, with no message waiting and no timer due
// by the monotonic clock (and so also done with everything it has posted to itself).
// Windows of the calling thread are not waited for. False when a window is still busy
// after limitMs of real time (a guard against a hung test, not a timing target).
bool waitUntilIdle(unsigned limitMs);

} // namespace headless

} // namespace platform::dialog
