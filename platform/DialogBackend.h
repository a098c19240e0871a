#pragma once
// What a dialog backend (win32/Dialog.cpp, posix/Dialog.cpp) provides to the shared
// dialog code, and its access to a Dialog's private state. Not for use outside platform/.

#include "platform/Dialog.h"

namespace platform::dialog {

struct DialogBackend {
    // Arms (or re-arms) a repeating timer of the dialog's window; false when it cannot.
    static bool startTimer(Dialog& dialog, unsigned timerId, unsigned milliseconds);
    static void stopTimer(Dialog& dialog, unsigned timerId);

    static void attach(Dialog& dialog, WindowHandle window, void* state)
    {
        dialog.handle_ = window;
        dialog.backend_ = state;
    }
    static void detach(Dialog& dialog) { attach(dialog, nullptr, nullptr); }
    static void* state(const Dialog& dialog) { return dialog.backend_; }
    static std::vector<InitEntry> headlessInitData(const Dialog& dialog)
    {
        return dialog.headlessInitData();
    }
};

} // namespace platform::dialog
