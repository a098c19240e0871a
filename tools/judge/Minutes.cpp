#include "tools/judge/Minutes.h"

#include <cmath>

namespace korvane::judge {
namespace {

constexpr Minute kPerDay = 1440;

} // namespace

namespace {

std::optional<Minute> held(long long minute)
{
    if (minute >= kEndOfMinutes)
        return std::nullopt;
    return static_cast<Minute>(minute);
}

} // namespace

std::optional<Minute> minuteOf(const COleDateTime& time)
{
    // From 1900 on the day number is positive and whole seconds are exact in a double:
    // rounding to the second, as the plug-in does, then dropping the seconds.
    if (time.status == kOleValid && time.value >= 2.0 && time.value < 2958466.0)
        return held(std::llround(time.value * 86400.0) / 60);
    CivilDateTime c;
    if (!breakDown(time, c) || c.year < 1900)
        return std::nullopt;
    const double midnight = makeOleDate(c.year, c.month, c.day, 0, 0, 0).value;
    return held(std::llround(midnight) * kPerDay + c.hour * 60 + c.minute);
}

COleDateTime oleOf(Minute minute)
{
    // The same day number the readers make (days and the fraction of the day); read back
    // to the second, it gives this minute.
    COleDateTime t;
    const Minute day = minute / kPerDay;
    t.value = static_cast<double>(day) + static_cast<double>(minute % kPerDay) / kPerDay;
    t.status = kOleValid;
    return t;
}

std::string formatMinute(Minute minute, const char* pattern)
{
    return formatOleDate(oleOf(minute), pattern);
}

} // namespace korvane::judge
