#pragma once
// What the host's thread may ask of the open window. Each request reaches the window
// only while it exists, and never any other window; otherwise it does nothing.

namespace window {

// Asks the window to close and waits a little for its thread to handle the request.
void sendClose();
// Asks the window to close without waiting.
void postClose();
// Arms the window's refresh timer for the delay, restarting a pending countdown.
void postRefresh(unsigned milliseconds);

} // namespace window
