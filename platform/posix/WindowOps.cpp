#include "platform/WindowOps.h"

namespace platform::dialog {

void showNow(Dialog&) {}

} // namespace platform::dialog
