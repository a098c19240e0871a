#include "tools/korvane/judge/Minutes.h"

#include <cmath>

namespace korvane::judge {
namespace {

constexpr Minute kPerDay = 1440;

} // namespace

std::optional<Minute> minuteOf(const COleDateTime& time)
{
    CivilDateTime c;
    if (!breakDown(time, c) || c.year < 1900)
        return std::nullopt;
    const double midnight = makeOleDate(c.year, c.month, c.day, 0, 0, 0).value;
    return static_cast<Minute>(std::llround(midnight)) * kPerDay + c.hour * 60 + c.minute;
}

COleDateTime oleOf(Minute minute)
{
    COleDateTime day;
    day.value = static_cast<double>(minute / kPerDay);
    day.status = kOleValid;
    CivilDateTime c;
    breakDown(day, c);
    const Minute inDay = minute % kPerDay;
    return makeOleDate(c.year, c.month, c.day, inDay / 60, inDay % 60, 0);
}

std::string formatMinute(Minute minute, const char* pattern)
{
    return formatOleDate(oleOf(minute), pattern);
}

} // namespace korvane::judge
