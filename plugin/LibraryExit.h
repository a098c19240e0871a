#pragma once
// Work that must be done before the library's static objects are destroyed, whether the
// library is unloaded or the process exits with it still loaded.

namespace plugin {

// Runs fn then, before every static object that exists at the time of the call. Call it
// once those objects are built. Windows: the library's entry sees to it; nothing to do.
void runBeforeStaticsGo(void (*fn)());

} // namespace plugin
