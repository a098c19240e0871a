#include "platform/win32/ModuleHandle.h"

namespace platform::win32 {
namespace {
HINSTANCE ownModule = nullptr;
} // namespace

void setModuleHandle(HINSTANCE instance) { ownModule = instance; }

HINSTANCE moduleHandle() { return ownModule ? ownModule : GetModuleHandleA(nullptr); }

} // namespace platform::win32
