// No window yet: CurrentWindow stays empty, so nothing ever waits for one.
#include "window/WindowControl.h"

namespace window {

bool isOpen() { return false; }
void startWindowThread() {}
void scheduleRefresh(unsigned) {}
void closeWindowAndWait() {}

} // namespace window
