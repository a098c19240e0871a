#pragma once
// A multi-line header text as typed on a command line, in the settings file's stored form.

#include <string>
#include <string_view>

namespace korvane {

// Each line break, whether CR LF, LF, CR or the two characters \n, stored as one
// "<CR><LF>": the break the plug-in's own dialog writes between lines.
std::string typedToStored(std::string_view typed);

} // namespace korvane
