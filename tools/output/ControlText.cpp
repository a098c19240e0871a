#include "tools/output/ControlText.h"

#include <cstdio>

namespace korvane {
namespace {

void appendEscape(std::string& out, unsigned code)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", code);
    out += hex;
}

} // namespace

std::string controlsEscaped(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0u;
        if (c < 0x20 || c == 0x7f) {
            appendEscape(out, c);
        } else if (c == 0xc2 && next >= 0x80 && next <= 0x9f) {
            // U+0080 to U+009F: CSI (U+009B) alone starts a terminal command.
            appendEscape(out, next);
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace korvane
