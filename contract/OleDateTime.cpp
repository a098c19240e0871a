#include "contract/OleDateTime.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMinDate = -657434.0;          // 1 January 100
constexpr double kMaxDate = 2958465.99999;      // 31 December 9999, end of day
constexpr long kDaysFrom1970To1899 = -25569;    // 1899-12-30 relative to 1970-01-01

// Days since 1970-01-01 to proleptic Gregorian calendar date (H. Hinnant's algorithm).
void civilFromDays(long z, int& year, int& month, int& day)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

long daysFromCivil(int year, int month, int day)
{
    year -= month <= 2;
    const long era = (year >= 0 ? year : year - 399) / 400;
    const long yoe = year - era * 400;
    const long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void appendNumber(std::string& out, int value, int width)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, value);
    out += digits;
}

} // namespace

COleDateTime copyOleDate(const COleDateTime* source)
{
    if (!source) {
        COleDateTime null;
        null.status = kOleNull;
        return null;
    }
    return *source;
}

bool breakDown(const COleDateTime& date, CivilDateTime& out)
{
    const double v = date.value;
    if (date.status != kOleValid || !std::isfinite(v) || v < kMinDate || v > kMaxDate)
        return false;
    // The whole part is the day, counted away from zero on both sides of the epoch,
    // while the fraction is always the time of day forward from midnight: -1.25 is
    // 29 Dec 1899, 06:00. So the day and its time are rounded together on a forward
    // axis, where a time that rounds up to midnight carries into the next day (for
    // -1.9999999 that is 30 Dec, not the day before the day the number names).
    long days = static_cast<long>(v); // towards zero
    const double fraction = std::fabs(v - static_cast<double>(days)); // exact
    long seconds = std::lround(fraction * 86400.0);
    if (seconds >= 86400) {
        ++days;
        seconds -= 86400;
    }
    civilFromDays(days + kDaysFrom1970To1899, out.year, out.month, out.day);
    out.hour = static_cast<int>(seconds / 3600);
    out.minute = static_cast<int>(seconds / 60 % 60);
    out.second = static_cast<int>(seconds % 60);
    return true;
}

std::string formatOleDate(const COleDateTime& date, const char* pattern)
{
    CivilDateTime t;
    if (!pattern || !breakDown(date, t))
        return std::string();
    std::string out;
    for (const char* p = pattern; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        switch (*++p) {
        case 'd': appendNumber(out, t.day, 2); break;
        case 'm': appendNumber(out, t.month, 2); break;
        case 'y': appendNumber(out, t.year % 100, 2); break;
        case 'Y': appendNumber(out, t.year, 4); break;
        case 'H': appendNumber(out, t.hour, 2); break;
        case 'M': appendNumber(out, t.minute, 2); break;
        case 'S': appendNumber(out, t.second, 2); break;
        case '%': out += '%'; break;
        default: out += '%'; out += *p; break;
        }
    }
    return out;
}

bool isCalendarDate(int year, int month, int day)
{
    if (month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    // A day past the month's end counts on into the next month: only a real date comes
    // back from its day number as itself.
    int y = 0, m = 0, d = 0;
    civilFromDays(daysFromCivil(year, month, day), y, m, d);
    return y == year && m == month && d == day;
}

COleDateTime makeOleDate(int year, int month, int day, int hour, int minute, int second)
{
    const long days = daysFromCivil(year, month, day) - kDaysFrom1970To1899;
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    COleDateTime d;
    // Before the epoch the fraction still counts forward through the day.
    d.value = days >= 0 ? days + time : days - time;
    d.status = kOleValid;
    return d;
}
