#pragma once
// The plug-in's settings (contract/SettingsKeys.h), read and written through the
// platform's profile file, below the host's current directory. A missing file is never
// an error.

#include "contract/SettingsKeys.h"

#include <cstddef>
#include <string>

namespace settings {


// The key's value, or defaultValue when the key is missing; at most bufferSize-1
// bytes of it, as a fixed read buffer of that size would give.
std::string read(const char* key, const char* defaultValue, std::size_t bufferSize);

// Replaces one key. False when the file could not be written.
bool write(const char* key, const std::string& value);

// A value read as a decimal number the way the C library's atoi reads it: leading
// blanks skipped, an optional sign, digits up to the first other character; no
// digits give 0. Saturates instead of overflowing.
int parseDecimal(const std::string& text);

} // namespace settings
