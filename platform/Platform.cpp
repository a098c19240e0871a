#include "platform/Platform.h"

namespace platform {

Ops& ops()
{
    // A copy of the backend's table, made at its first use: whatever object calls first,
    // during the library's load or later, finds it filled.
    static Ops current = defaultOps();
    return current;
}

} // namespace platform
