#pragma once
// The plug-in's texts are Windows-1251 bytes (it is an ANSI program on a Cyrillic
// Windows); terminals and command lines speak UTF-8.

#include <string>
#include <string_view>

namespace korvane {

std::string cp1251ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1251. Empty problem with the bytes in out, or what stops it: a byte
// sequence that is not UTF-8, or a character that Windows-1251 cannot hold, named with
// its code point ("\"\xC3\xA9\" (U+00E9) has no Windows-1251 form").
std::string utf8ToCp1251(std::string_view utf8, std::string& out);

} // namespace korvane
