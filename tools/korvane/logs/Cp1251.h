#pragma once
// The plug-in's messages are Windows-1251 bytes; terminals want UTF-8.

#include <string>
#include <string_view>

namespace korvane {

std::string cp1251ToUtf8(std::string_view bytes);

} // namespace korvane
