#include "tools/logs/TextUtil.h"

#include "contract/AsciiText.h"

#include <sstream>

namespace korvane {
namespace {

bool isSpaceOrLineEnd(char c) { return ascii::isBlank(c) || c == '\r' || c == '\n'; }

} // namespace

std::string trim(std::string_view text)
{
    return std::string(ascii::trimmed(text, isSpaceOrLineEnd));
}

std::size_t findNoCase(std::string_view text, std::string_view needle, std::size_t from)
{
    for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
        std::size_t k = 0;
        while (k < needle.size() && ascii::toLower(text[i + k]) == needle[k])
            ++k;
        if (k == needle.size())
            return i;
    }
    return std::string_view::npos;
}

std::string shown(std::string_view value, std::size_t maxBytes)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < value.size() && i < maxBytes; ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        out += (c < 0x20 || c == 0x7f) ? '?' : static_cast<char>(c);
    }
    out += '"';
    if (value.size() > maxBytes)
        out += "... (" + std::to_string(value.size()) + " bytes)";
    return out;
}

std::vector<std::string> textLines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

} // namespace korvane
