// The DLL's entry. The loader calls it under its lock: at attach after the C++ runtime
// has built the static objects, at detach before the runtime destroys them. Declared
// with the system's calling convention and argument sizes, so that <windows.h> stays in
// platform/.
#include "platform/ModuleEntry.h"
#include "plugin/PluginApp.h"

namespace {

constexpr unsigned long kProcessDetach = 0;
constexpr unsigned long kProcessAttach = 1;

} // namespace

extern "C" __attribute__((stdcall)) int DllMain(void* instance, unsigned long reason, void* reserved)
{
    switch (reason) {
    case kProcessAttach:
        platform::adoptModule(instance);
        break;
    case kProcessDetach:
        // Null reserved: FreeLibrary, and the window thread still runs; it needs no loader
        // lock to close its window, so the unload may wait for it here. Non-null: the
        // process is ending, the system has stopped the other threads already and their
        // windows are stale, so nothing is touched.
        pluginApp().unloading(reserved != nullptr);
        break;
    default:
        break;
    }
    return 1;
}
