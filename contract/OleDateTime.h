#pragma once
// The host's date-time value, laid out exactly as the host passes it on i686: a day
// number counted from 30 December 1899 (the fraction is the time of day) followed by
// a status. The host packs it to 4 bytes, so it is 12 bytes long; reading 16 would
// run past the host's object.

#include <cstddef>
#include <cstdint>
#include <string>

#pragma pack(push, 4)
struct COleDateTime {
    double value = 0.0;
    std::int32_t status = 0;
};
#pragma pack(pop)

static_assert(sizeof(COleDateTime) == 12, "the host's date-time value is 12 bytes");
static_assert(offsetof(COleDateTime, status) == 8, "the status follows the day number");

enum OleDateStatus : std::int32_t { kOleValid = 0, kOleInvalid = 1, kOleNull = 2 };

struct CivilDateTime {
    int year = 0, month = 0, day = 0;
    int hour = 0, minute = 0, second = 0;
};

// Copies the host's value; a null pointer reads as a null date.
COleDateTime copyOleDate(const COleDateTime* source);

// Calendar date and time of day after rounding to the nearest second. False for a
// status other than valid, NaN, infinity, or a value outside the years 100 to 9999.
bool breakDown(const COleDateTime& date, CivilDateTime& out);

// strftime-style formatting of %d %m %y %Y %H %M %S and %%; other characters are
// copied. A date that cannot be broken down formats as the empty text.
std::string formatOleDate(const COleDateTime& date, const char* pattern);

// Whether the date exists in the (proleptic Gregorian) calendar the day numbers count:
// months 1 to 12, no 31 April, 29 February only in a leap year.
bool isCalendarDate(int year, int month, int day);

// The valid value for a calendar date and time (no range checks: callers pass real
// dates). Used by hosts and tests that build values to pass in.
COleDateTime makeOleDate(int year, int month, int day, int hour, int minute, int second);
