#pragma once
// The one seam between the plug-in and the operating system.
//
// Each backend (win32/, posix/) fills the table once; the rest of the plug-in calls
// the operating system only through it. Tests swap single entries to inject faults
// (a failing settings write, a fixed clock) and put the saved table back afterwards.

#include "contract/OleDateTime.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

namespace dialog {
class Dialog;
}

enum class BoxIcon { None, Information, Error };

// An open file of bytes; what it holds is the backend's own.
struct File;

enum class FileAccess {
    Write,        // created when missing, emptied when present; others may open it too
    ReadCreating, // read; created empty when missing
};

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
    CivilDateTime (*utcNow)();
    // Milliseconds since some fixed moment, never going back (not the time of day). The
    // headless dialogs' timers run on it; tests hold it and move it by hand.
    std::uint64_t (*monotonicMs)();
    void (*sleepMs)(unsigned milliseconds);

    // Answers a dialog that has just been initialised (kInitDialog handled), in place of
    // an operator; it may type into controls and post a command such as OK or CANCEL.
    // Headless backend: the dialog's own answerUnattended (the setup dialog confirms with
    // the values as loaded, the settings file being the operator's input there). Win32:
    // null, the operator answers. Tests set it on either backend.
    void (*dialogAnswer)(dialog::Dialog& dialog);

    // Files of bytes, without line-end translation, named relative to the current
    // directory. On failure each call puts the system's reason, in words, into *reason.
    // Null when the file cannot be opened (or created).
    File* (*fileOpen)(const char* path, FileAccess access, std::string* reason);
    // Writes all size bytes; false when they could not all be written.
    bool (*fileWrite)(File* file, const char* data, std::size_t size, std::string* reason);
    // Up to size bytes into buffer: the count read, 0 at the end, -1 on failure.
    long (*fileRead)(File* file, char* buffer, std::size_t size, std::string* reason);
    // Closes and releases file in every case; false when written data may be lost.
    bool (*fileClose)(File* file, std::string* reason);
};

// The table in force. Tests may change entries; nothing else does.
Ops& ops();

// The backend's own table, for tests that restore what they changed.
const Ops& defaultOps();

} // namespace platform
