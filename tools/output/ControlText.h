#pragma once
// Texts from a log or a file name printed for people: on a terminal, in results.txt, in
// a station's report. A control character in them would act instead of showing (ESC
// clears the screen, a line end forges a line of its own), so each is written out.

#include <string>
#include <string_view>

namespace korvane {

// The bytes with every C0 control, DEL and UTF-8 encoded C1 control written as "\xNN"
// (the code point's value); everything else, backslashes too, as it is.
std::string controlsEscaped(std::string_view bytes);

} // namespace korvane
