#pragma once
// Windows profile files ("ini" files) with the semantics of GetPrivateProfileStringA
// and WritePrivateProfileStringA, for platforms that lack them.
//
// Names with backslashes ("Plugins\MOLTA.ini") are taken as relative paths with the
// backslash as separator. Writers in several threads of one process lose nothing.

#include <cstddef>

namespace platform::profile {

// Copies the value (or defaultValue when file, section or key is missing) into buffer,
// cut to size-1 bytes, NUL-terminated; returns the bytes copied. size 0 copies nothing.
std::size_t read(const char* file, const char* section, const char* key,
                 const char* defaultValue, char* buffer, std::size_t size);

// Sets one key, keeping every other line of the file. Creates the file and section when
// missing. Returns false, changing nothing, when the file cannot be written: a file this
// process may not write (read-only to it, or on a read-only file system) keeps every byte.
// A symbolic link stays a link; the file it leads to gets the new text and keeps its mode.
bool write(const char* file, const char* section, const char* key, const char* value);

} // namespace platform::profile
