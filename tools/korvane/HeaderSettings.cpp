#include "tools/korvane/HeaderSettings.h"

#include "contract/SettingsKeys.h"
#include "contract/SettingsText.h"
#include "platform/profile/ProfileFile.h"
#include "resources/SetupDialogIds.h"
#include "tools/host/Cp1251.h"
#include "tools/korvane/TypedLineBreaks.h"

#include <stdexcept>

namespace korvane {
namespace {

bool store(const std::string& key, const char* value)
{
    return platform::profile::write(settings::kFile, settings::kSection, key.c_str(), value);
}

constexpr std::size_t kMaxCategoryBytes = 40;

} // namespace

const std::vector<StoredField>& storedFields()
{
    namespace key = settings::key;
    static const std::vector<StoredField> fields = {
        {"OPERATORS", key::kOperators, &HeaderOptions::operators, "--operators", false},
        {"NAME", key::kName, &HeaderOptions::name, "--name", false},
        {"ADDRESS", key::kAddress, &HeaderOptions::address, "--address", true},
        {"EMAIL", key::kEmail, &HeaderOptions::email, "--email", false},
        {"CLUB", key::kClub, &HeaderOptions::club, "--club", false},
        {"SOAPBOX", key::kSoapBox, &HeaderOptions::soapbox, "--soapbox", true},
        {"LOCATION", key::kLocation, &HeaderOptions::location, "--location", false},
    };
    return fields;
}

const std::vector<CategoryField>& categoryFields()
{
    static const std::vector<CategoryField> fields = {
        {"CATEGORY-OPERATOR", IDC_CATEGORY_OPERATOR, &HeaderOptions::categoryOperator,
         "--category-operator"},
        {"CATEGORY-BAND", IDC_CATEGORY_BAND, &HeaderOptions::categoryBand, "--category-band"},
        {"CATEGORY-POWER", IDC_CATEGORY_POWER, &HeaderOptions::categoryPower, "--category-power"},
        {"CATEGORY-OVERLAY", IDC_CATEGORY_OVERLAY, &HeaderOptions::categoryOverlay,
         "--category-overlay"},
    };
    return fields;
}

std::string headerTextProblem(const std::string& utf8)
{
    std::string ignored;
    return utf8ToCp1251(utf8, ignored);
}

std::string categoryProblem(const std::string& value)
{
    if (value.empty())
        return "empty";
    if (value.size() > kMaxCategoryBytes)
        return "longer than " + std::to_string(kMaxCategoryBytes) + " bytes";
    for (char c : value)
        if (c < 0x20 || c > 0x7E)
            return "not one line of printable ASCII";
    return std::string();
}

std::vector<std::pair<std::string, std::string>> headerEntries(const HeaderOptions& h)
{
    std::vector<std::pair<std::string, std::string>> entries;
    for (const StoredField& f : storedFields()) {
        const std::optional<std::string>& value = h.*f.value;
        if (!value)
            continue;
        std::string bytes;
        const std::string problem = utf8ToCp1251(*value, bytes);
        if (!problem.empty())
            throw std::invalid_argument(std::string(f.option) + ": " + problem);
        entries.emplace_back(f.key, f.multiLine ? typedToStored(bytes) : bytes);
    }
    return entries;
}

bool storeHeader(const HeaderOptions& header, std::string* error)
{
    for (const auto& [key, value] : headerEntries(header)) {
        if (!store(key, value.c_str())) {
            *error = "cannot write " + key + " to " + shownSettingsFile();
            return false;
        }
    }
    return true;
}

bool clearStoredHeader(std::string* error)
{
    namespace key = settings::key;
    std::vector<const char*> keys = {key::kCategory, key::kContest};
    for (const StoredField& f : storedFields())
        keys.push_back(f.key);
    for (const char* k : keys) {
        if (!store(k, nullptr)) {
            *error = std::string("cannot remove ") + k + " from " + shownSettingsFile();
            return false;
        }
    }
    return true;
}

std::string shownSettingsFile()
{
    std::string name = settings::kFile;
#if !defined(_WIN32)
    for (char& c : name)
        if (c == '\\')
            c = '/';
#endif
    return name;
}

} // namespace korvane
