#include "platform/Lock.h"

#include <windows.h>

static_assert(sizeof(SRWLOCK) == sizeof(void*), "SRWLOCK is stored as one pointer");

namespace platform {

void Lock::lock() { AcquireSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&srw_)); }
void Lock::unlock() { ReleaseSRWLockExclusive(reinterpret_cast<PSRWLOCK>(&srw_)); }

} // namespace platform
