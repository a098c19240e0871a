#include "cabrillo/ReportText.h"

#include "contract/AsciiText.h"
#include "contract/SettingsText.h"

#include <algorithm>

namespace cabrillo {

std::string replaceAll(const std::string& source, const std::string& search,
                       const std::string& replacement)
{
    if (search == replacement || search.empty())
        return source;
    std::string result;
    std::size_t from = 0;
    for (std::size_t at; (at = source.find(search, from)) != std::string::npos;
         from = at + search.size()) {
        result.append(source, from, at - from);
        result += replacement;
    }
    result.append(source, from, std::string::npos);
    return result;
}

namespace {

bool refusedInFileNames(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 1 && u <= 31) || std::string("<>:\"|?*").find(c) != std::string::npos;
}

// Windows decides that a name is a device from the part before its first dot, with the
// blanks and dots at that part's end ignored: "NUL .x" and "AUX ." open devices too.
bool isReservedDeviceName(const std::string& stem)
{
    std::string upper = ascii::upper(stem);
    while (!upper.empty() && (upper.back() == ' ' || upper.back() == '.'))
        upper.pop_back();
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (upper == device)
            return true;
    return upper.size() == 4 && (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

} // namespace

std::string fileBaseName(const std::string& ownCall)
{
    const std::string slashesReplaced = replaceAll(replaceAll(ownCall, "/", "_"), "\\", "_");
    std::string name(ascii::trimmed(slashesReplaced, ascii::isSpace));
    for (char& c : name) {
        if (refusedInFileNames(c))
            c = '_';
    }
    if (name.empty())
        return "MOLTA";
    // Windows opens the device for "CON.cbr", and also for "CON.x.cbr" and "CON .x.cbr".
    // The "_" goes right before the first dot, after any blanks: "NUL _.x" ends in a
    // letter that is no blank, so the part before the dot is no device name any more.
    const std::size_t stemEnd = std::min(name.find('.'), name.size());
    if (isReservedDeviceName(name.substr(0, stemEnd)))
        name.insert(stemEnd, "_");
    return name;
}

std::string storedToWriter(const std::string& stored, const std::string& tag)
{
    const std::string cr(settings::kStoredCR), lf(settings::kStoredLF);
    return replaceAll(replaceAll(stored, cr, "\r\n" + tag + ": "), lf, "");
}

} // namespace cabrillo
