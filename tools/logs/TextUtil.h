#pragma once
// Small text helpers the readers share; letter case and character classes are in
// contract/AsciiText.h.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

std::string trim(std::string_view text); // blanks, tabs, CR, LF

// The text's lines, each without its CR or LF.
std::vector<std::string> textLines(const std::string& text);

// Position of needle (lower case) in text from from on, letter case ignored; npos if none.
std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from);

// A value fit for a one-line message: control bytes as '?', cut to maxBytes with "...",
// and its full length named when cut, so a 10 MB field never floods the terminal.
std::string shown(std::string_view value, std::size_t maxBytes = 24);

} // namespace korvane
