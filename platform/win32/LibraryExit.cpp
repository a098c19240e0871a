// DllMain's process detach runs before the runtime destroys the static objects; at the
// end of the process nothing may wait for other threads anyway.
#include "platform/LibraryExit.h"

namespace platform {

void runBeforeStaticsGo(void (*)()) {}

} // namespace platform
