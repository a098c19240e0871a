#pragma once
// The contest's tours: the half hours of the UTC day, numbered 0 to 47. The date is no
// part of a tour, so 15:10 on one day and 15:20 on the next share tour 30.

#include "contract/OleDateTime.h"

inline constexpr int kMinutesPerTour = 30;
inline constexpr int kToursPerDay = 24 * 60 / kMinutesPerTour;
inline constexpr int kNoTour = -1; // a time without an hour

// The tour a minute of the day (0 to 1439) falls in: hour * 2, plus 1 from minute 30 on.
constexpr int tourOfDayMinute(int minuteOfDay) { return minuteOfDay / kMinutesPerTour; }

constexpr int tourOf(const CivilDateTime& time)
{
    return tourOfDayMinute(time.hour * 60 + time.minute);
}

// kNoTour for a value that cannot be broken down (see breakDown).
inline int tourOf(const COleDateTime& time)
{
    CivilDateTime t;
    return breakDown(time, t) ? tourOf(t) : kNoTour;
}
