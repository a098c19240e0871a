#include "platform/Lock.h"

namespace platform {

void Lock::lock() { mutex_.lock(); }
void Lock::unlock() { mutex_.unlock(); }

} // namespace platform
