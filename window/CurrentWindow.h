#pragma once
// The window of the running window thread, or null. Only the window thread sets and
// empties it; the host's thread reads it to learn whether a window exists and never
// touches the object behind it (requests go through WindowRequests.h).

#include <atomic>

class MultiplierWindow;

namespace window {

extern std::atomic<MultiplierWindow*> CurrentWindow;

} // namespace window
