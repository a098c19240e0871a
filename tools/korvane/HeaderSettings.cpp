#include "tools/korvane/HeaderSettings.h"

#include "platform/profile/ProfileFile.h"

namespace korvane {
namespace {

constexpr const char* kFile = "Plugins\\MOLTA.ini";
constexpr const char* kSection = "Settings";

bool store(const std::string& key, const std::string& value)
{
    return platform::profile::write(kFile, kSection, key.c_str(), value.c_str());
}

} // namespace

std::string storedForm(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool typedBreak = c == '\\' && i + 1 < text.size() && text[i + 1] == 'n';
        if (c == '\r' || c == '\n' || typedBreak) {
            out += "<CR><LF>";
            if ((c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') || typedBreak)
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> headerEntries(const HeaderOptions& h)
{
    std::vector<std::pair<std::string, std::string>> entries;
    auto add = [&](const char* key, const std::optional<std::string>& value, bool multiLine) {
        if (value)
            entries.emplace_back(key, multiLine ? storedForm(*value) : *value);
    };
    add("Operators", h.operators, false);
    add("Name", h.name, false);
    add("Address", h.address, true);
    add("Email", h.email, false);
    add("Club", h.club, false);
    add("SoapBox", h.soapbox, true);
    add("Location", h.location, false);
    return entries;
}

bool storeHeader(const HeaderOptions& header, std::string* error)
{
    for (const auto& [key, value] : headerEntries(header)) {
        if (!store(key, value)) {
            *error = "cannot write " + key + " to " + kFile;
            return false;
        }
    }
    return true;
}

bool keepWindowClosed() { return store("Start", "1"); }

} // namespace korvane
