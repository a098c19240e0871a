// Terminals here take the bytes as they come.
#include "tools/host/ConsoleOutput.h"

namespace host {

void useUtf8Output() {}

} // namespace host
