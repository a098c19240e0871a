#include "tools/korvane/DateOption.h"

#include "tools/logs/QsoFields.h"
#include "tools/logs/TextUtil.h"

namespace korvane {

std::optional<COleDateTime> parseDateOption(const std::string& input)
{
    std::string text = trim(input);
    if (!text.empty() && (text.back() == 'Z' || text.back() == 'z'))
        text.pop_back();
    const std::size_t split = text.find_first_of(" T");
    std::string date = text.substr(0, split);
    std::string time = split == std::string::npos ? "0000" : trim(text.substr(split + 1));
    std::string digits;
    for (char c : time)
        if (c != ':')
            digits += c;
    if (date.size() == 10)
        return parseDashedDateTime(date, digits);
    return parseCompactDateTime(date, digits);
}

std::string dateOptionProblem(const std::string& text)
{
    return parseDateOption(text) ? std::string()
                                 : "not a UTC date and time: " + text +
                                       " (write 2026-11-21 15:00, 2026-11-21T15:00Z, "
                                       "20261121 1500 or a date alone)";
}

} // namespace korvane
