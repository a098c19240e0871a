#include "tools/host/ConsoleOutput.h"

#include <windows.h>

namespace host {

void useUtf8Output() { SetConsoleOutputCP(CP_UTF8); }

} // namespace host
