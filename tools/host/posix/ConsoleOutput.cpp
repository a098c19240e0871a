// Terminals here take the bytes as they come.
#include "tools/host/ConsoleOutput.h"

namespace platform {

void useUtf8Output() {}

} // namespace platform
