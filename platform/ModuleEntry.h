#pragma once
// What the DLL's entry hands to the platform layer at load (Windows only).

namespace platform {

// instance: the DLL's module handle as the loader passes it. Dialog templates and icons
// are loaded from it from now on, and the per-thread attach and detach calls, which the
// plug-in does not use, are turned off.
void adoptModule(void* instance);

} // namespace platform
