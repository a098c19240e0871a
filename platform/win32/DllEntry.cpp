// The DLL's entry: the loader calls it under its lock, before the C++ runtime builds
// the static objects (attach) and after the plug-in's own unload step has run but
// before the runtime destroys them (detach).
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
        // A non-null reserved argument means the process is ending, not FreeLibrary.
        plugin::onUnload(reserved != nullptr);
        break;
    default:
        break;
    }
    return TRUE;
}
