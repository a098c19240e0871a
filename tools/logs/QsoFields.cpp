#include "tools/logs/QsoFields.h"

#include "contract/AsciiText.h"
#include "tools/logs/TextUtil.h"

namespace korvane {
namespace {

int number(const std::string& text, std::size_t from, std::size_t count)
{
    return std::stoi(text.substr(from, count));
}

std::optional<COleDateTime> withTime(int year, int month, int day, const std::string& time)
{
    if (!ascii::allDigits(time) || (time.size() != 4 && time.size() != 6))
        return std::nullopt;
    const int second = time.size() == 6 ? number(time, 4, 2) : 0;
    return utcDateTime(year, month, day, number(time, 0, 2), number(time, 2, 2), second);
}

} // namespace

std::optional<COleDateTime> utcDateTime(int year, int month, int day, int hour, int minute,
                                        int second)
{
    if (year < 1900 || year > 9999 || !isCalendarDate(year, month, day))
        return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return makeOleDate(year, month, day, hour, minute, second);
}

std::optional<COleDateTime> parseCompactDateTime(const std::string& date, const std::string& time)
{
    if (date.size() != 8 || !ascii::allDigits(date))
        return std::nullopt;
    return withTime(number(date, 0, 4), number(date, 4, 2), number(date, 6, 2), time);
}

std::optional<COleDateTime> parseDashedDateTime(const std::string& date, const std::string& time)
{
    if (date.size() != 10 || date[4] != '-' || date[7] != '-')
        return std::nullopt;
    const std::string digits = date.substr(0, 4) + date.substr(5, 2) + date.substr(8, 2);
    return parseCompactDateTime(digits, time);
}

std::string callsignProblem(const std::string& call)
{
    if (call.empty())
        return "no callsign";
    if (call.size() > kMaxCallLength)
        return "callsign of " + std::to_string(call.size()) + " bytes, longer than " +
               std::to_string(kMaxCallLength);
    for (char c : call) {
        const bool ok = ascii::isLetter(c) || ascii::isDigit(c) || c == '/';
        if (!ok)
            return "callsign " + shown(call) + " holds characters other than letters, digits and /";
    }
    return std::string();
}

std::optional<unsigned long long> megahertzToHertz(const std::string& mhz)
{
    const std::string text = trim(mhz);
    const std::size_t dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    std::string fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if ((whole.empty() && fraction.empty()) || (!whole.empty() && !ascii::allDigits(whole)) ||
        (!fraction.empty() && !ascii::allDigits(fraction)))
        return std::nullopt;
    if (whole.size() > 6)
        return std::nullopt;
    fraction = (fraction + "000000").substr(0, 6);
    return (whole.empty() ? 0ull : std::stoull(whole)) * 1000000ull + std::stoull(fraction);
}

std::string modeFromAdif(const std::string& mode, const std::string& submode)
{
    std::string m = ascii::upper(trim(mode));
    const std::string sub = ascii::upper(trim(submode));
    if (m == "SSB" || m == "USB" || m == "LSB" || sub == "USB" || sub == "LSB")
        return "SSB";
    return m;
}

std::string modeFromCabrillo(const std::string& code)
{
    const std::string c = ascii::upper(trim(code));
    return c == "PH" ? "SSB" : c;
}

} // namespace korvane
