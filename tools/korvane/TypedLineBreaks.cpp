#include "tools/korvane/TypedLineBreaks.h"

#include "contract/SettingsText.h"

namespace korvane {

std::string typedToStored(std::string_view typed)
{
    std::string out;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        const char c = typed[i];
        const bool next = i + 1 < typed.size();
        const bool typedBreak = c == '\\' && next && typed[i + 1] == 'n';
        if (c == '\r' || c == '\n' || typedBreak) {
            out += settings::kStoredCR;
            out += settings::kStoredLF;
            if (typedBreak || (c == '\r' && next && typed[i + 1] == '\n'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace korvane
