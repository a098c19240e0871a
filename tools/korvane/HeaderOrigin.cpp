#include "tools/korvane/HeaderOrigin.h"

#include "contract/AsciiText.h"
#include "contract/SettingsKeys.h"
#include "platform/profile/ProfileFile.h"
#include "resources/SetupDialogIds.h"
#include "tools/logs/TextUtil.h"
#include "tools/host/Cp1251.h"

#include <algorithm>

namespace korvane {
namespace {

constexpr std::size_t kValueBufferBytes = 10000;

// Two reads with different defaults tell a key that is absent from one stored empty.
std::optional<std::string> storedValue(const char* key)
{
    char a[kValueBufferBytes], b[kValueBufferBytes];
    platform::profile::read(settings::kFile, settings::kSection, key, "a", a, sizeof a);
    platform::profile::read(settings::kFile, settings::kSection, key, "b", b, sizeof b);
    if (std::string(a) != b)
        return std::nullopt;
    return std::string(a);
}

// "K1ABC K2DEF, @W1AW": blank- or comma-separated, '@' marks the host station.
bool listsCall(const std::string& operators, const std::string& call)
{
    std::string text = operators;
    std::replace(text.begin(), text.end(), ',', ' ');
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        std::string one = text.substr(at, end - at);
        if (!one.empty() && one.front() == '@')
            one.erase(0, 1);
        if (!one.empty() && ascii::equalNoCase(one, call))
            return true;
        at = end + 1;
    }
    return false;
}

// The plug-in's own lines, which no setting or option changes.
bool pluginsOwn(const std::string& tag)
{
    return tag == "START-OF-LOG" || tag == "CONTEST" || tag == "CREATED-BY" || tag == "CLAIMED-SCORE";
}

std::string sourceOf(const std::string& tag, const std::string& value, const HeaderSources& s)
{
    if (tag == "CALLSIGN")
        return s.callGiven ? "--call" : "the log";
    for (const CategoryChoice& c : s.categories)
        if (tag == c.field->tag)
            return value == c.value ? c.source
                                    : "the plug-in's; " + c.value + " from " + c.source + " was not taken";
    if (tag.rfind("CATEGORY-", 0) == 0)
        return "the plug-in's default";
    for (const StoredField& f : storedFields()) {
        if (tag != f.tag)
            continue;
        if (s.given.*f.value)
            return f.option;
        if (s.stored.count(f.key))
            return value.empty() ? "empty, stored in " + shownSettingsFile()
                                 : "stored in " + shownSettingsFile();
        if (tag == "OPERATORS")
            return "the plug-in's default, the own call";
        return "empty";
    }
    return "cabrillo.ini";
}

} // namespace

StoredHeader readStoredHeader()
{
    StoredHeader stored;
    for (const StoredField& f : storedFields())
        if (std::optional<std::string> value = storedValue(f.key))
            stored[f.key] = *value;
    return stored;
}

std::vector<CategoryChoice> chooseCategories(const HeaderOptions& given, const ReadLog& log,
                                             std::vector<std::string>& notes)
{
    std::vector<CategoryChoice> chosen;
    for (const CategoryField& f : categoryFields()) {
        if (const std::optional<std::string>& value = given.*f.value) {
            chosen.push_back({&f, ascii::upper(*value), f.option});
            continue;
        }
        const auto inLog = std::find_if(log.categories.begin(), log.categories.end(),
                                        [&](const auto& c) { return c.first == f.tag; });
        if (inLog == log.categories.end())
            continue;
        const std::string problem = categoryProblem(inLog->second);
        if (problem.empty())
            chosen.push_back({&f, inLog->second, "the log's header"});
        else
            notes.push_back(std::string("the log's ") + f.tag + " is not taken: " + problem);
    }
    return chosen;
}

std::vector<headless_input::TypedText> typedCategories(const std::vector<CategoryChoice>& chosen)
{
    std::vector<headless_input::TypedText> typed;
    typed.reserve(chosen.size());
    for (const CategoryChoice& c : chosen)
        typed.push_back({IDD_CABRILLO_SETUP, c.field->controlId, c.value});
    return typed;
}

std::string operatorsWarning(const StoredHeader& stored, const HeaderOptions& given,
                             const std::string& ownCall)
{
    const auto at = stored.find(settings::key::kOperators);
    if (given.operators || at == stored.end() || listsCall(at->second, ownCall))
        return std::string();
    return "OPERATORS stored in " + shownSettingsFile() + " by an earlier run, \"" +
           cp1251ToUtf8(at->second) + "\", do not include the own call " + ownCall +
           ": give --operators, or --clear-header for the plug-in's defaults";
}

std::string headerOrigins(const std::string& reportText, const HeaderSources& sources)
{
    std::string out;
    for (std::size_t pos = 0; pos < reportText.size();) {
        const std::size_t lf = reportText.find('\n', pos);
        std::string line = reportText.substr(pos, lf == std::string::npos ? std::string::npos : lf - pos);
        pos = lf == std::string::npos ? reportText.size() : lf + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::size_t colon = line.find(':');
        const std::string tag = colon == std::string::npos ? std::string() : ascii::upper(trim(line.substr(0, colon)));
        if (tag == "QSO" || tag == "END-OF-LOG")
            break;
        if (tag.empty() || pluginsOwn(tag))
            continue;
        const std::string value = cp1251ToUtf8(trim(line.substr(colon + 1)));
        std::string shown = "  ";
        shown.append(tag).append(": ").append(value);
        shown.resize(std::max<std::size_t>(shown.size() + 2, 36), ' ');
        out.append(shown).append(sourceOf(tag, value, sources)).append("\n");
    }
    for (const CategoryChoice& c : sources.categories)
        if (c.field->controlId == IDC_CATEGORY_OVERLAY)
            out.append("  (").append(c.field->tag).append(" ").append(c.value).append(", from ")
                .append(c.source).append(", was typed into the dialog; the plug-in writes no such line)\n");
    return out;
}

} // namespace korvane
