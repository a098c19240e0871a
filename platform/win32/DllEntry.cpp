// The DLL's entry. The loader calls it under its lock: at attach after the C++ runtime
// has built the static objects, at detach before the runtime destroys them.
#include "platform/win32/ModuleHandle.h"
#include "plugin/PluginApp.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        platform::win32::setModuleHandle(instance);
        DisableThreadLibraryCalls(instance);
        plugin::onLoad();
        break;
    case DLL_PROCESS_DETACH:
        // Null reserved: FreeLibrary, and the window thread still runs; it needs no loader
        // lock to close its window, so the unload may wait for it here. Non-null: the
        // process is ending, the system has stopped the other threads already and their
        // windows are stale, so nothing is touched.
        plugin::onUnload(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}
