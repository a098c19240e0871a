#pragma once
// The stored form of a settings value: the settings file holds one line per key, so a
// text of several lines keeps its line-break bytes spelt out, a carriage return as
// "<CR>" and a line feed as "<LF>" (an operator's break is "<CR><LF>").

#include <string>
#include <string_view>

namespace settings {

inline constexpr std::string_view kStoredCR = "<CR>";
inline constexpr std::string_view kStoredLF = "<LF>";

// Byte for byte: each carriage return as "<CR>", each line feed as "<LF>".
std::string toStored(std::string_view text);

// Back: each "<CR>" (exact case) a carriage return, each "<LF>" a line feed. A text that
// held "<CR>" or "<LF>" itself comes back with the byte instead.
std::string fromStored(std::string_view stored);

} // namespace settings
