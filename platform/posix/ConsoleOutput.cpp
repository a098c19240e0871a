// Terminals here take the bytes as they come.
#include "platform/ConsoleOutput.h"

namespace platform {

void useUtf8Output() {}

} // namespace platform
