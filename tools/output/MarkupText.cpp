#include "tools/output/MarkupText.h"

#include "tools/output/OutputFormat.h"

namespace korvane {
namespace {

bool forbiddenInXml(char c)
{
    const unsigned char b = static_cast<unsigned char>(c);
    return b < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

} // namespace

std::string markupText(std::string_view bytes, Markup where)
{
    std::string out;
    for (char c : validUtf8(bytes)) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else if (c == '\'' && where == Markup::Html)
            out += "&#39;";
        else if (forbiddenInXml(c) && where == Markup::Svg)
            out += '?';
        else
            out += c;
    }
    return out;
}

} // namespace korvane
