#pragma once
// The one seam between the plug-in and the operating system.
//
// Each backend (win32/, posix/) fills the table once; the rest of the plug-in calls
// the operating system only through it. Tests swap single entries to inject faults
// (a failing settings write, a fixed clock) and put the saved table back afterwards.

#include <cstddef>

namespace platform {

namespace dialog {
class Dialog;
}

struct UtcTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

enum class BoxIcon { None, Information, Error };

struct Ops {
    // Windows profile-file read: copies at most size-1 bytes of the value (or of
    // defaultValue when the key is missing) plus a NUL into buffer and returns the
    // number of bytes copied. A missing file, section or key is not an error.
    std::size_t (*profileRead)(const char* file, const char* section, const char* key,
                               const char* defaultValue, char* buffer, std::size_t size);
    // Replaces one key (creating file and section as needed). False when the file
    // cannot be written; callers that must stay quiet ignore it.
    bool (*profileWrite)(const char* file, const char* section, const char* key,
                         const char* value);
    // Modal message box with one OK button. caption null: the platform's default.
    // ownedByActiveWindow: owned by the calling thread's active window, if any.
    void (*messageBox)(const char* text, const char* caption, BoxIcon icon,
                       bool ownedByActiveWindow);
    UtcTime (*utcNow)();
    void (*sleepMs)(unsigned milliseconds);

    // Answers a dialog that has just been initialised (kInitDialog handled), in place of
    // an operator; it may type into controls and post a command such as OK or CANCEL.
    // Headless backend: the dialog's own answerUnattended (the setup dialog confirms with
    // the values as loaded, the settings file being the operator's input there). Win32:
    // null, the operator answers. Tests set it on either backend.
    void (*dialogAnswer)(dialog::Dialog& dialog);
};

// The table in force. Tests may change entries; nothing else does.
Ops& ops();

// The backend's own table, for tests that restore what they changed.
const Ops& defaultOps();

} // namespace platform
