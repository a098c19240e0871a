// The unload step of the shared library. At dlclose it runs before the static objects of
// the library are destroyed: destructor functions of a shared object run from its fini
// array ahead of the C++ static destructors registered at load. A process exit runs those
// static destructors first; the window closes itself ahead of them through
// plugin/LibraryExit.h.
#include "plugin/PluginApp.h"

__attribute__((destructor)) static void libraryUnloading() { pluginApp().unloading(false); }
