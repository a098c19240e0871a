#include "tools/logs/CabrilloHeader.h"

#include "contract/AsciiText.h"
#include "tools/logs/CabrilloLayout.h"
#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

#include <algorithm>
#include <charconv>

namespace korvane {
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

std::string headerTag(std::string_view line)
{
    const std::size_t colon = line.find(':');
    return colon == std::string_view::npos ? std::string() : ascii::upper(trim(line.substr(0, colon)));
}

void takeHeaderLine(std::string_view tag, std::string_view line, std::size_t number,
                    CabrilloHeader& header)
{
    const std::string value = trim(line.substr(line.find(':') + 1));
    if (tag == "START-OF-LOG" && header.version.empty())
        header.version = value;
    else if (tag == "CALLSIGN" && header.callsign.empty()) {
        header.callsign = ascii::upper(value);
        header.callsignLine = number;
    } else if (tag.rfind("CATEGORY-", 0) == 0 && !value.empty())
        header.categories.emplace_back(std::string(tag), ascii::upper(value));
    else if (tag == "CLAIMED-SCORE")
        header.claimedScore = wholeNumber(value);
    else if (tag == "OPERATORS")
        header.operators = header.operators.empty() ? value : header.operators + " " + value;
}

std::vector<std::string> operatorCalls(const std::string& operators)
{
    std::string text = ascii::upper(operators);
    std::replace(text.begin(), text.end(), ',', ' ');
    std::vector<std::string> calls;
    for (const cabrillo::Token& t : cabrillo::tokenize(text)) {
        std::string call(t.text);
        if (!call.empty() && call.front() == '@')
            call.erase(0, 1);
        if (callsignProblem(call).empty() && std::find(calls.begin(), calls.end(), call) == calls.end())
            calls.push_back(call);
    }
    return calls;
}

} // namespace korvane
