#include "tools/korvane/HeaderSettings.h"

#include "contract/SettingsKeys.h"
#include "contract/SettingsText.h"
#include "platform/profile/ProfileFile.h"

namespace korvane {
namespace {

bool store(const std::string& key, const std::string& value)
{
    return platform::profile::write(settings::kFile, settings::kSection, key.c_str(),
                                    value.c_str());
}

} // namespace

std::vector<std::pair<std::string, std::string>> headerEntries(const HeaderOptions& h)
{
    namespace key = settings::key;
    std::vector<std::pair<std::string, std::string>> entries;
    auto add = [&](const char* key, const std::optional<std::string>& value, bool multiLine) {
        if (value)
            entries.emplace_back(key, multiLine ? settings::typedToStored(*value) : *value);
    };
    add(key::kOperators, h.operators, false);
    add(key::kName, h.name, false);
    add(key::kAddress, h.address, true);
    add(key::kEmail, h.email, false);
    add(key::kClub, h.club, false);
    add(key::kSoapBox, h.soapbox, true);
    add(key::kLocation, h.location, false);
    return entries;
}

bool storeHeader(const HeaderOptions& header, std::string* error)
{
    for (const auto& [key, value] : headerEntries(header)) {
        if (!store(key, value)) {
            *error = "cannot write " + key + " to " + settings::kFile;
            return false;
        }
    }
    return true;
}

bool keepWindowClosed() { return store(settings::key::kStart, "1"); }

} // namespace korvane
