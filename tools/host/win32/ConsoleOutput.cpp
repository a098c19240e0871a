#include "tools/host/ConsoleOutput.h"

#include <windows.h>

namespace platform {

void useUtf8Output() { SetConsoleOutputCP(CP_UTF8); }

} // namespace platform
