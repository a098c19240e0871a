#include "platform/ModuleEntry.h"
#include "platform/win32/ModuleHandle.h"

namespace platform::win32 {
namespace {
HINSTANCE ownModule = nullptr;
} // namespace

void setModuleHandle(HINSTANCE instance) { ownModule = instance; }

HINSTANCE moduleHandle() { return ownModule ? ownModule : GetModuleHandleA(nullptr); }

} // namespace platform::win32

namespace platform {

void adoptModule(void* instance)
{
    const auto module = static_cast<HINSTANCE>(instance);
    win32::setModuleHandle(module);
    DisableThreadLibraryCalls(module);
}

} // namespace platform
