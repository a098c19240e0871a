#include "plugin/PluginApp.h"

#include "window/WindowControl.h"

namespace plugin {

void onLoad() {}

void onUnload(bool processTerminating)
{
    // The window's thread reads the plug-in's objects: it must be gone before they are.
    if (!processTerminating)
        window::closeWindowAndWait();
}

} // namespace plugin
