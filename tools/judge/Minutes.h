#pragma once
// QSO times as whole minutes: Cabrillo logs give no seconds, and a plain integer makes
// the time windows of the matching exact and the record small.

#include "contract/OleDateTime.h"
#include "scoring/Tour.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::judge {

// Minutes since 30 December 1899 00:00 UTC, the host's epoch.
using Minute = std::int32_t;

// The first minute of the year 5000, past every date the judge holds: minutes stay far
// inside their 32 bits, so that clock offsets and periods added to them never wrap.
inline constexpr Minute kEndOfMinutes = 1132254 * 1440;

// Empty for a value without a date (invalid, null, before 1900, from the year 5000 on);
// seconds are dropped.
std::optional<Minute> minuteOf(const COleDateTime& time);

// The host's value for the minute, as the log readers build it.
COleDateTime oleOf(Minute minute);

// The half-hour tour of the day, 0 to 47, as the plug-in's tour check counts it.
inline int tourOfDay(Minute minute) { return tourOfDayMinute(minute % 1440); }

// strftime-style, as formatOleDate ("%Y-%m-%d %H%M").
std::string formatMinute(Minute minute, const char* pattern);

} // namespace korvane::judge
