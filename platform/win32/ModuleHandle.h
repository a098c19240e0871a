#pragma once
// The module whose resources (dialog templates, icon) the plug-in loads.

#include <windows.h>

namespace platform::win32 {

void setModuleHandle(HINSTANCE instance);
// The DLL's own handle once it is loaded; the executable's in programs that link the
// plug-in's code statically (tests).
HINSTANCE moduleHandle();

} // namespace platform::win32
