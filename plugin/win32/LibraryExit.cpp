// DllMain's process detach runs before the runtime destroys the static objects; at the
// end of the process nothing may wait for other threads anyway.
#include "plugin/LibraryExit.h"

namespace plugin {

void runBeforeStaticsGo(void (*)()) {}

} // namespace plugin
