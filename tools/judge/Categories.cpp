#include "tools/judge/Categories.h"

#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <string_view>

namespace korvane::judge {
namespace {

struct CategoryTag {
    const char* kind; // after "CATEGORY-"
    std::initializer_list<const char*> values;
};

// Cabrillo 3.0's values, in the order a label lists the tags.
const CategoryTag kTags[] = {
    {"OPERATOR", {"SINGLE-OP", "MULTI-OP", "CHECKLOG"}},
    {"BAND", {"ALL", "160M", "80M", "40M", "20M", "15M", "10M", "6M", "4M", "2M", "222", "432",
              "902", "1.2G", "2.3G", "3.4G", "5.7G", "10G", "24G", "47G", "75G", "122G", "134G",
              "241G", "LIGHT", "VHF-3-BAND", "VHF-FM-ONLY"}},
    {"MODE", {"CW", "DIGI", "FM", "RTTY", "SSB", "MIXED"}},
    {"POWER", {"HIGH", "LOW", "QRP"}},
    {"ASSISTED", {"ASSISTED", "NON-ASSISTED"}},
    {"TRANSMITTER", {"ONE", "TWO", "LIMITED", "UNLIMITED", "SWL"}},
    {"STATION", {"DISTRIBUTED", "FIXED", "MOBILE", "PORTABLE", "ROVER", "ROVER-LIMITED",
                 "ROVER-UNLIMITED", "EXPEDITION", "HQ", "SCHOOL", "EXPLORER"}},
    {"TIME", {"6-HOURS", "8-HOURS", "12-HOURS", "24-HOURS"}},
    {"OVERLAY", {"CLASSIC", "ROOKIE", "TB-WIRES", "YOUTH", "NOVICE-TECH", "OVER-50"}},
};

// Words logs use for a value Cabrillo 3.0 writes otherwise.
const std::pair<const char*, const char*> kOtherWords[] = {
    {"LO", "LOW"},           {"HI", "HIGH"},           {"SINGLE", "SINGLE-OP"},
    {"SO", "SINGLE-OP"},     {"SINGLE-OPERATOR", "SINGLE-OP"}, {"MULTI", "MULTI-OP"},
    {"MULTI-OPERATOR", "MULTI-OP"}, {"CHECK", "CHECKLOG"}, {"NON ASSISTED", "NON-ASSISTED"},
    {"UNASSISTED", "NON-ASSISTED"}, {"PH", "SSB"},        {"RY", "RTTY"},
    {"DG", "DIGI"},          {"MIX", "MIXED"},
};

std::size_t tagRank(const std::string& tag)
{
    const std::string_view kind = std::string_view(tag).substr(9); // after "CATEGORY-"
    for (std::size_t i = 0; i < std::size(kTags); ++i)
        if (kind == kTags[i].kind)
            return i;
    return std::size(kTags);
}

// The value in Cabrillo 3.0's words; nothing when the tag is known and the value is not.
std::optional<std::string> standardValue(std::size_t rank, const std::string& value)
{
    if (rank == std::size(kTags))
        return value;
    std::string word = value;
    for (const auto& [other, standard] : kOtherWords)
        if (word == other)
            word = standard;
    for (const char* known : kTags[rank].values)
        if (word == known)
            return word;
    return std::nullopt;
}

std::vector<std::string> wordsOf(const std::string& label)
{
    std::vector<std::string> words;
    for (std::size_t from = 0; from < label.size();) {
        const std::size_t blank = std::min(label.find(' ', from), label.size());
        if (blank > from)
            words.push_back(label.substr(from, blank - from));
        from = blank + 1;
    }
    std::sort(words.begin(), words.end());
    return words;
}

} // namespace

std::string categoryLabel(const CabrilloHeader& header, std::vector<std::string>* notes)
{
    std::vector<std::pair<std::string, std::string>> sorted = header.categories;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
        const std::size_t ra = tagRank(a.first), rb = tagRank(b.first);
        return ra != rb ? ra < rb : (ra == std::size(kTags) && a.first < b.first);
    });
    std::string label;
    for (const auto& [tag, value] : sorted) {
        const std::optional<std::string> standard = standardValue(tagRank(tag), value);
        if (!standard) {
            if (notes)
                notes->push_back(tag + ": " + shown(value, 40) +
                                 " is no Cabrillo 3.0 value; that part of the category is unspecified");
            continue;
        }
        label += (label.empty() ? "" : " ") + *standard;
    }
    return label.empty() ? "UNSPECIFIED" : label;
}

bool isCheckLog(const CabrilloHeader& header)
{
    return std::any_of(header.categories.begin(), header.categories.end(), [](const auto& c) {
        return c.first == "CATEGORY-OPERATOR" && standardValue(0, c.second) == "CHECKLOG";
    });
}

void placeInContestCategories(ContestLogs& logs, const ContestDefinition& contest)
{
    if (contest.categories.empty())
        return;
    std::vector<std::vector<std::string>> wanted;
    for (const std::string& category : contest.categories)
        wanted.push_back(wordsOf(category));
    for (Station& s : logs.stations) {
        if (s.checkLog)
            continue;
        const std::vector<std::string> has = wordsOf(s.category);
        std::size_t k = 0;
        while (k < wanted.size() && !std::includes(has.begin(), has.end(), wanted[k].begin(), wanted[k].end()))
            ++k;
        if (k < wanted.size()) {
            s.category = contest.categories[k];
            continue;
        }
        s.notes.push_back("the category " + s.category + " is none of " + contest.name + "'s: ranked as UNSPECIFIED");
        s.category = "UNSPECIFIED";
    }
}

} // namespace korvane::judge
