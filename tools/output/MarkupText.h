#pragma once
// Text from a log set inside markup: the SVG chart and the judge's HTML page escape it
// here, in valid UTF-8 like the other outputs.

#include <string>
#include <string_view>

namespace korvane {

// Where the text goes. An SVG file is XML 1.0, which forbids most control characters
// outright; the HTML page keeps them as they are and also escapes the apostrophe, so
// that an attribute stays closed whichever quote it uses.
enum class Markup { Svg, Html };

// Text fit for character data and quoted attribute values of the given markup.
std::string markupText(std::string_view bytes, Markup where);

} // namespace korvane
