#include "contract/SettingsText.h"

namespace settings {

std::string toStored(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r')
            out += kStoredCR;
        else if (c == '\n')
            out += kStoredLF;
        else
            out += c;
    }
    return out;
}

std::string fromStored(std::string_view stored)
{
    // "<CR>" and "<LF>" cannot overlap each other, so one pass finds what replacing
    // the one and then the other would.
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size();) {
        const std::string_view rest = stored.substr(i);
        if (rest.substr(0, kStoredCR.size()) == kStoredCR) {
            out += '\r';
            i += kStoredCR.size();
        } else if (rest.substr(0, kStoredLF.size()) == kStoredLF) {
            out += '\n';
            i += kStoredLF.size();
        } else {
            out += stored[i++];
        }
    }
    return out;
}

} // namespace settings
