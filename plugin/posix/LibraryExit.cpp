// A process that exits with the library still loaded destroys the library's static
// objects from the exit handlers, before the library's own destructor functions run. An
// exit handler registered, for this library, after those objects were built runs before
// them, at exit as at dlclose. (atexit would do, but a sanitizer's replacement for it
// forgets the library, and its handler then outlives a dlclose.)
#include "plugin/LibraryExit.h"

// The C++ runtime's own registration, tied to this library by its handle.
extern "C" int __cxa_atexit(void (*fn)(void*), void* arg, void* library); // NOLINT(bugprone-reserved-identifier)
extern "C" void* __dso_handle; // NOLINT(bugprone-reserved-identifier)

namespace plugin {
namespace {

void callHandler(void* fn) { reinterpret_cast<void (*)()>(fn)(); }

} // namespace

void runBeforeStaticsGo(void (*fn)())
{
    __cxa_atexit(callHandler, reinterpret_cast<void*>(fn), &__dso_handle);
}

} // namespace plugin
