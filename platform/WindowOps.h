#pragma once
// Window operations that the dialog layer leaves out, for dialogs that live on a thread
// of their own.

#include "platform/Dialog.h"

namespace platform::dialog {

// Shows the dialog's window now rather than when its modal run first finds its queue
// empty: a message posted afterwards then arrives once the window is on screen. The
// headless backend has nothing to show.
void showNow(Dialog& dialog);

} // namespace platform::dialog
