#include "tools/judge/CabrilloHeader.h"

#include "contract/AsciiText.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <charconv>

namespace korvane::judge {
namespace {

std::optional<long long> wholeNumber(std::string_view text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || text.empty())
        return std::nullopt;
    return value;
}

} // namespace

CabrilloHeader readCabrilloHeader(std::string_view text)
{
    CabrilloHeader header;
    std::size_t number = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t lf = text.find('\n', pos);
        const std::string_view line =
            text.substr(pos, (lf == std::string_view::npos ? text.size() : lf) - pos);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
        ++number;
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string tag = ascii::upper(trim(line.substr(0, colon)));
        if (tag == "QSO" || tag == "X-QSO")
            continue;
        const std::string value = trim(line.substr(colon + 1));
        if (tag == "END-OF-LOG")
            break;
        if (tag == "START-OF-LOG" && header.version.empty())
            header.version = value;
        else if (tag == "CALLSIGN" && header.callsign.empty()) {
            header.callsign = ascii::upper(value);
            header.callsignLine = number;
        } else if (tag.rfind("CATEGORY-", 0) == 0 && !value.empty())
            header.categories.emplace_back(tag, ascii::upper(value));
        else if (tag == "CLAIMED-SCORE")
            header.claimedScore = wholeNumber(value);
        else if (tag == "OPERATORS")
            header.operators = header.operators.empty() ? value : header.operators + " " + value;
    }
    return header;
}

std::string headerProblem(const CabrilloHeader& header)
{
    if (header.version.empty())
        return "not a Cabrillo log (no START-OF-LOG: line)";
    if (header.version.rfind('3', 0) != 0)
        return "not Cabrillo 3.0 (START-OF-LOG: " + shown(header.version) + ")";
    if (header.callsign.empty())
        return "no CALLSIGN: line";
    return std::string();
}

std::string categoryLabel(const CabrilloHeader& header)
{
    static const char* const kOrder[] = {"OPERATOR", "BAND",    "MODE", "POWER",  "ASSISTED",
                                         "TRANSMITTER", "STATION", "TIME", "OVERLAY"};
    auto rank = [](const std::string& tag) {
        const std::string kind = tag.substr(9); // after "CATEGORY-"
        for (std::size_t i = 0; i < std::size(kOrder); ++i)
            if (kind == kOrder[i])
                return i;
        return std::size(kOrder);
    };
    std::vector<std::pair<std::string, std::string>> sorted = header.categories;
    std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
        const std::size_t ra = rank(a.first), rb = rank(b.first);
        return ra != rb ? ra < rb : (ra == std::size(kOrder) && a.first < b.first);
    });
    std::string label;
    for (const auto& [tag, value] : sorted)
        label += (label.empty() ? "" : " ") + value;
    return label.empty() ? "UNSPECIFIED" : label;
}

} // namespace korvane::judge
